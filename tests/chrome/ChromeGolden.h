#pragma once
// Golden images of the chrome tests, kept in tests/chrome/golden, and the
// screen capture they are taken from.

#include <windows.h>

#include "framework/Bitmap.h"
#include "framework/GdiHandles.h"
#include "tests/support/GoldenImage.h"

namespace plx::test {

inline ::testing::AssertionResult MatchesChromeGolden(TBitmap& picture, const std::string& name) {
  return MatchesGoldenIn(picture, "chrome", name);
}

// What the screen shows in a rectangle given in a window's coordinates.
inline void CaptureWindowRect(HWND window, const RECT& area, TBitmap& into) {
  RECT frame{};
  GetWindowRect(window, &frame);
  into.SetSize(area.right - area.left, area.bottom - area.top);
  const TWindowDC screen(nullptr);
  BitBlt(into.Canvas().Handle(), 0, 0, into.Width(), into.Height(), screen.Get(), frame.left + area.left,
         frame.top + area.top, SRCCOPY);
}

}  // namespace plx::test
