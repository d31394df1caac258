#pragma once
// For tests that show windows in their own process: waiting while the
// message loop runs, and reading what the screen shows.

#include <windows.h>

#include <chrono>
#include <functional>
#include <thread>

#include "framework/Application.h"
#include "framework/GdiHandles.h"

namespace plx::test {

// Runs the message loop until condition holds; false when the time is up
// (five seconds unless given).
inline bool PumpUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    Application().ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// The colour the screen shows at a client point of window.
inline COLORREF ScreenPixel(HWND window, int x, int y) {
  POINT p{x, y};
  ClientToScreen(window, &p);
  const TWindowDC screen(nullptr);
  return GetPixel(screen.Get(), p.x, p.y);
}

}  // namespace plx::test
