#pragma once
// Keyboard focus among a form's controls: the tab order over nested
// containers, Tab and Shift+Tab, and where the focus goes when the form
// itself is given it (at start and when the form is activated again).
//
// The dialog manager's own Tab handling is not used for this: it only walks
// the direct children of containers marked as control parents, in creation
// order, and it lets a multi-line edit take Tab as text. Here the order is
// each control's TabOrder, across panels, and Tab always moves on.

#include <windows.h>

#include <vector>

namespace plx {

class TForm;
class TWinControl;

// The windows Tab visits, in order: windowed controls whose window is a
// visible, enabled tab stop. Containers are walked depth first, each
// container's children in TabOrder (equal orders in the order the children
// were added); the children of a hidden or disabled container are skipped
// with it.
std::vector<HWND> TabStops(TWinControl& root);

// The tab stop after (forward) or before the window that has the focus,
// wrapping around; from a window that is no tab stop, the first or the last.
// nullptr when the root has no tab stop.
HWND NextTabStop(TWinControl& root, HWND focused, bool forward);

// The control of form that should get the focus the form was given:
// remembered when it is still one of the form's visible, enabled windows,
// otherwise the first tab stop. nullptr when there is neither.
HWND FocusTarget(TForm& form, HWND remembered);

// Gives a window the focus the way a dialog does when Tab reaches it: an
// edit control gets all of its text selected, so that typing replaces it.
void FocusByKeyboard(HWND window);

// Tab and Shift+Tab (without Ctrl or Alt) pressed on a window of a
// framework form move the focus along the form's tab order. The message
// loop asks before dispatching: a control that would take Tab as text (a
// multi-line edit) never sees it. Answers whether the key was used.
bool HandleTabKey(const MSG& msg);

}  // namespace plx
