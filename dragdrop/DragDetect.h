#pragma once
// Telling a drag from a click for any mouse button.

#include <windows.h>

namespace plx {

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Left button: the system's own detection. Right or middle: captures the
// mouse and handles messages until the pointer leaves the drag rectangle
// (the system's drag width and height around point, in screen coordinates)
// with the button still down: true; false when the button is released or
// the capture is lost first.
bool DragDetectEx(HWND window, POINT point, TMouseButton button);

}  // namespace plx
