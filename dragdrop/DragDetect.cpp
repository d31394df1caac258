#include "dragdrop/DragDetect.h"

namespace plx {

namespace {

// Releases the capture on every way out.
class TMouseCapture {
 public:
  explicit TMouseCapture(HWND window) { SetCapture(window); }
  TMouseCapture(const TMouseCapture&) = delete;
  TMouseCapture& operator=(const TMouseCapture&) = delete;
  ~TMouseCapture() { ReleaseCapture(); }
};

}  // namespace

bool DragDetectEx(HWND window, POINT point, TMouseButton button) {
  if (button == TMouseButton::mbLeft) return DragDetect(window, point) != FALSE;
  const WPARAM held = button == TMouseButton::mbRight ? MK_RBUTTON : MK_MBUTTON;
  const UINT released = button == TMouseButton::mbRight ? WM_RBUTTONUP : WM_MBUTTONUP;
  const int half_width = GetSystemMetrics(SM_CXDRAG);
  const int half_height = GetSystemMetrics(SM_CYDRAG);
  const RECT drag{point.x - half_width, point.y - half_height, point.x + half_width, point.y + half_height};

  const TMouseCapture capture(window);
  MSG message;
  while (true) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));  // the loop above must see it too
      return false;
    }
    if (message.message == WM_MOUSEMOVE && message.hwnd == window) {
      if ((message.wParam & held) == 0) return false;
      POINT at{static_cast<short>(LOWORD(message.lParam)), static_cast<short>(HIWORD(message.lParam))};
      ClientToScreen(window, &at);
      if (!PtInRect(&drag, at)) return true;
      continue;
    }
    if (message.message == released && message.hwnd == window) return false;
    if (message.message == WM_CAPTURECHANGED && message.hwnd == window) return false;
    if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) return false;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace plx
