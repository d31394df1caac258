#include "chrome/UtilityWindow.h"

#include "chrome/NativeHooks.h"
#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/OSError.h"
#include "framework/ScopedState.h"

namespace plx {
namespace {
constexpr char kClassName[] = "PlexoriaUtilityWindow";

void RegisterUtilityClass(WNDPROC procedure) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExA(GetModuleHandleA(nullptr), kClassName, &wc)) return;
  wc.lpfnWndProc = procedure;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kClassName;
  if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    RaiseLastOSError("RegisterClassExA", "Cannot register the utility window class");
}
}  // namespace

TUtilityWindow::TUtilityWindow(std::function<void(TMessage&)> handler) : handler_(std::move(handler)) {
  RegisterUtilityClass(Procedure);
  window_ = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                            nullptr);
  if (!window_) RaiseLastOSError("CreateWindowExA", "Cannot create a utility window");
  // A window that cannot be told its object would never reach the handler.
  TScopeExit destroy([this] { DestroyWindow(window_); });
  SetWindowLongFor(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  destroy.Dismiss();
}

TUtilityWindow::~TUtilityWindow() {
  SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
}

LRESULT CALLBACK TUtilityWindow::Procedure(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<TUtilityWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self || !self->handler_) return DefWindowProcA(window, msg, wparam, lparam);
  TMessage message{msg, wparam, lparam, 0};
  try {
    self->handler_(message);
  } catch (...) {
    Application().HandleException(nullptr);
  }
  return message.Result;
}

}  // namespace plx
