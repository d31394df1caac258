#include "app/WindowPlacement.h"

#include <algorithm>

namespace plx {
namespace {

// One axis: shift left just enough for the far edge to come inside, then
// right for the near edge; the near edge is applied last so it wins.
LONG FitAxis(LONG start, LONG end, LONG areaStart, LONG areaEnd) {
  const long long overshoot = static_cast<long long>(end) - areaEnd;
  long long fitted = start;
  if (overshoot > 0) fitted -= overshoot;
  fitted = std::max<long long>(fitted, areaStart);
  return static_cast<LONG>(fitted);
}

}  // namespace

POINT FitIntoWorkArea(const RECT& window, const RECT& workArea) {
  return POINT{FitAxis(window.left, window.right, workArea.left, workArea.right),
               FitAxis(window.top, window.bottom, workArea.top, workArea.bottom)};
}

POINT PlaceOnNearestMonitor(const RECT& window) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  const HMONITOR monitor = MonitorFromRect(&window, MONITOR_DEFAULTTONEAREST);
  if (!monitor || !GetMonitorInfoA(monitor, &info)) return POINT{window.left, window.top};
  return FitIntoWorkArea(window, info.rcWork);
}

}  // namespace plx
