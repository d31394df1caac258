#include "framework/Application.h"

#include <commctrl.h>
#include <objbase.h>

#include <new>

#include "framework/Exception.h"
#include "framework/FocusNavigation.h"
#include "framework/Forms.h"

namespace plx {

TApplication& Application() {
  static TApplication application;
  return application;
}

TApplication::TApplication() : TComponent(nullptr) {}

TApplication::~TApplication() {
  DestroyComponents();
  if (com_initialized_) CoUninitialize();
}

void TApplication::Initialize() {
  // S_FALSE (already initialised, e.g. by OLE) still needs its matching call.
  if (!com_initialized_) com_initialized_ = SUCCEEDED(CoInitialize(nullptr));
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
}

void TApplication::RegisterCreatedForm(TForm* form) {
  if (!main_form_) main_form_ = form;
  form->AfterConstruction();
}

void TApplication::FormDestroyed(TForm* form) {
  if (main_form_ == form) main_form_ = nullptr;
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  bool handled = false;
  if (OnMessage) {
    try {
      handled = OnMessage(msg);
    } catch (...) {
      HandleException(this);
    }
  }
  if (!handled) handled = HandleTabKey(msg);
  if (!handled) {
    HWND dialog = main_form_ && main_form_->HandleAllocated() ? main_form_->Handle() : nullptr;
    // Enter, Escape, accelerators and the arrow keys of dialogs.
    if (!dialog || !IsDialogMessageA(dialog, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return true;
}

void TApplication::ProcessMessages() {
  MSG msg{};
  while (!terminated_ && ProcessMessage(msg)) {
  }
}

void TApplication::Run() {
  if (!main_form_) return;
  main_form_->Show();
  while (!terminated_) {
    MSG msg{};
    if (!ProcessMessage(msg)) WaitMessage();
  }
}

void TApplication::Terminate() {
  PostQuitMessage(0);
}

void TApplication::HandleException(TObject*) {
  try {
    throw;
  } catch (const EAbort&) {
    // The silent exception: unwinding was its whole purpose.
  } catch (const std::bad_alloc&) {
    ShowException(Exception("Out of memory"));
  } catch (const std::exception& error) {
    ShowException(error);
  } catch (...) {
    // Not an exception object at all: shown with an empty message.
    ShowException(Exception());
  }
}

void TApplication::ShowException(const std::exception& error) {
  const auto* framework_error = dynamic_cast<const Exception*>(&error);
  const std::string text = ExceptionDisplayText(framework_error ? framework_error->Message() : error.what());
  if (OnShowMessage) {
    OnShowMessage(text, title_);
    return;
  }
  HWND owner = main_form_ && main_form_->HandleAllocated() ? main_form_->Handle() : nullptr;
  MessageBoxA(owner, text.c_str(), title_.c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace plx
