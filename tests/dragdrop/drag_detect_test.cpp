// Drag detection for the right and middle buttons, driven by real mouse input.
#include "dragdrop/DragDetect.h"

#include <gtest/gtest.h>

#include <vector>

namespace plx {
namespace {

// Moves the cursor to a screen point as hardware input does.
INPUT MoveTo(POINT p) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = p.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = p.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  return input;
}

INPUT Button(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  return input;
}

// A safety net: should the expected input never arrive, taking the capture
// away ends the detection (as "no drag") instead of hanging the test.
void CALLBACK TakeCaptureAway(HWND, UINT, UINT_PTR, DWORD) { ReleaseCapture(); }

struct DragDetectFixture : ::testing::Test {
  void SetUp() override {
    window = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 200, 200, 300, 300, nullptr,
                             nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    SetForegroundWindow(window);
    UpdateWindow(window);
    start = {350, 350};
    SetCursorPos(start.x, start.y);
    FlushQueue();
  }
  void TearDown() override { DestroyWindow(window); }

  static void FlushQueue() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }

  bool Detect(std::vector<INPUT> inputs, TMouseButton button) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    const UINT_PTR timer = SetTimer(nullptr, 0, 3000, TakeCaptureAway);
    const bool dragged = DragDetectEx(window, start, button);
    KillTimer(nullptr, timer);
    return dragged;
  }

  HWND window = nullptr;
  POINT start{};
};

TEST_F(DragDetectFixture, LeavingTheDragRectangleWithTheButtonHeldIsADrag) {
  struct Case {
    TMouseButton button;
    DWORD down, up;
  } cases[] = {{TMouseButton::mbRight, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP},
               {TMouseButton::mbMiddle, MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.button == TMouseButton::mbRight ? "right" : "middle");
    EXPECT_TRUE(Detect({Button(c.down), MoveTo({start.x + 40, start.y})}, c.button));
    SendInput(1, std::vector<INPUT>{Button(c.up)}.data(), sizeof(INPUT));
    FlushQueue();
    // Released inside the rectangle, then moved far away: a click, no drag.
    EXPECT_FALSE(Detect({Button(c.down), MoveTo({start.x + 1, start.y}), Button(c.up), MoveTo({start.x + 60, start.y})},
                        c.button));
    SetCursorPos(start.x, start.y);
    FlushQueue();
  }
}

}  // namespace
}  // namespace plx
