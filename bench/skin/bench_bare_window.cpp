// The floor for the skinned window's start-up: a bare Win32 window of the
// main window's size (251 x 529 at 731, 341) that initialises OLE and the
// common controls, as the program does, and paints its client area.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

namespace {

LRESULT CALLBACK WindowProcedure(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      HDC dc = BeginPaint(window, &paint);
      HBRUSH brush = CreateSolidBrush(RGB(0xF0, 0xF0, 0xF0));
      FillRect(dc, &paint.rcPaint, brush);
      DeleteObject(brush);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, msg, wparam, lparam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  OleInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProcedure;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.lpszClassName = "PlexoriaBareWindow";
  RegisterClassExA(&wc);
  HWND window = CreateWindowExA(WS_EX_DLGMODALFRAME, wc.lpszClassName, "Plexoria",
                                WS_POPUP | WS_CAPTION | WS_SYSMENU, 731, 341, 251, 529, nullptr, nullptr, instance,
                                nullptr);
  ShowWindow(window, SW_SHOW);
  MSG msg{};
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  OleUninitialize();
  return 0;
}
