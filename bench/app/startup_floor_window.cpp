// The floor of the start-up benchmark: a bare window of the main window's
// size that initialises OLE and the common controls, paints its background
// and waits to be closed.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

namespace {

LRESULT CALLBACK FloorWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  OleInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = FloorWindowProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  window_class.lpszClassName = "PlexoriaStartupFloor";
  RegisterClassA(&window_class);
  // The main window's client area, 243 x 520, inside a one-pixel border.
  RECT bounds{0, 0, 243, 520};
  AdjustWindowRectEx(&bounds, WS_POPUP | WS_BORDER, FALSE, 0);
  HWND window = CreateWindowExA(0, window_class.lpszClassName, "Plexoria floor", WS_POPUP | WS_BORDER, 731, 341,
                                bounds.right - bounds.left, bounds.bottom - bounds.top, nullptr, nullptr, instance,
                                nullptr);
  ShowWindow(window, SW_SHOWNORMAL);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  OleUninitialize();
  return 0;
}
