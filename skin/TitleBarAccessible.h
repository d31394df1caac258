#pragma once
// What the skinned title bar tells a screen reader: a title bar named by the
// caption, whose children are the buttons a click reaches, left to right (the
// control box, then the caption buttons), each a push button named by what it
// does, with "Press" doing what a click does.

#include <windows.h>

namespace plx {

class TAccessibleObject;
class TkivTitleBar;

// A new accessible object for the title bar window (no reference taken yet).
TAccessibleObject* NewTitleBarAccessible(HWND titleBar);

// Tells readers that every button's state changed (the title bar was
// enabled or disabled).
void NotifyTitleBarButtonsStateChanged(TkivTitleBar& titleBar);

}  // namespace plx
