#pragma once
// What a skinned push button tells a screen reader: a push button named by
// its caption as read, its state, and "Press", which clicks it.

#include <windows.h>

namespace plx {

class TAccessibleObject;

// A new accessible object for the button window (no reference taken yet).
TAccessibleObject* NewSkinButtonAccessible(HWND button);

}  // namespace plx
