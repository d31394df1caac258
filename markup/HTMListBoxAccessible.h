#pragma once
// What the markup list tells a screen reader: a list with one item per
// entry, each named by the text the entry shows (markup removed, entities
// decoded), selectable by the reader as by the user.

#include <windows.h>

namespace plx {

class TAccessibleObject;

// A new accessible object for the list window (no reference taken yet).
TAccessibleObject* NewHTMListBoxAccessible(HWND list);

// Tells readers that the selected entry changed: the selection, and the
// focus that moves with it while the list has the focus.
void NotifyListSelectionChanged(HWND list);

}  // namespace plx
