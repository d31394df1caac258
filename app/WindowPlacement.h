#pragma once
// Where a top-level window opens: at its designed place when that lies inside
// the work area of the monitor nearest to it, else moved just enough to lie
// inside (its left and top edges win when the window is larger than the work
// area, so its caption stays reachable).

#include <windows.h>

namespace plx {

// The top-left corner for a window of bounds `window` (screen coordinates)
// inside `workArea`. Pure: the same answer for the same rectangles.
POINT FitIntoWorkArea(const RECT& window, const RECT& workArea);

// FitIntoWorkArea with the work area of the monitor nearest to `window`;
// the designed corner when the system cannot tell the monitor.
POINT PlaceOnNearestMonitor(const RECT& window);

}  // namespace plx
