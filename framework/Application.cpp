#include "framework/Application.h"

#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <new>

#include "framework/Exception.h"
#include "framework/FocusNavigation.h"
#include "framework/Forms.h"
#include "framework/ScopedState.h"

namespace plx {

namespace {

constexpr char kReportWindowClass[] = "PlexoriaApplicationReports";
constexpr UINT kShowReports = WM_APP + 0x3A1;

}  // namespace

TApplication& Application() {
  static TApplication application;
  return application;
}

TApplication::TApplication() : TComponent(nullptr) {}

TApplication::~TApplication() {
  DestroyComponents();
  report_window_.Reset();
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
  // The last message's report has no loop left to show it.
  ShowPendingExceptions();
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

void TApplication::HandleMessageException(HWND window, UINT msg, TObject* sender) {
  // A paint that never reached BeginPaint leaves its update region behind,
  // and the next look at the queue would bring the same WM_PAINT at once.
  if (msg == WM_PAINT && window) ValidateRect(window, nullptr);
  HandleException(sender);
}

void TApplication::ShowException(const std::exception& error) {
  const auto* frameworkError = dynamic_cast<const Exception*>(&error);
  QueueReport(ExceptionDisplayText(frameworkError ? frameworkError->Message() : error.what()));
}

void TApplication::QueueReport(std::string text) {
  if (showing_reports_ && text == report_showing_) return;
  if (std::find(pending_reports_.begin(), pending_reports_.end(), text) != pending_reports_.end()) return;
  if (pending_reports_.size() >= kMaxPendingReports) return;
  pending_reports_.push_back(std::move(text));
  // While reports are being shown the loop that shows them takes this one
  // too; otherwise the message posted with the first waiting report is
  // still on its way.
  if (showing_reports_ || report_window_) return;
  static const ATOM registered = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ReportWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kReportWindowClass;
    return RegisterClassA(&windowClass);
  }();
  if (registered)
    report_window_.Reset(CreateWindowExA(0, kReportWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                         GetModuleHandleA(nullptr), nullptr));
  // Without a window (or a queue) the reports wait for ShowPendingExceptions.
  if (report_window_ && !PostMessageA(report_window_.Get(), kShowReports, 0, 0)) report_window_.Reset();
}

LRESULT CALLBACK TApplication::ReportWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != kShowReports) return DefWindowProcA(window, msg, wParam, lParam);
  Application().ShowPendingExceptions();
  return 0;
}

void TApplication::ShowPendingExceptions() {
  if (showing_reports_) return;  // the box that is up shows the rest after it
  {
    TAutoReset<bool> showing(showing_reports_, true);
    while (!pending_reports_.empty()) {
      std::string text = std::move(pending_reports_.front());
      pending_reports_.pop_front();
      TAutoReset<std::string> current(report_showing_, text);
      ShowReport(text);
    }
  }
  // Nothing waits any more: a show-reports message still posted goes with
  // the window.
  report_window_.Reset();
}

void TApplication::ShowReport(const std::string& text) {
  try {
    if (OnShowMessage) {
      OnShowMessage(text, title_);
      return;
    }
    HWND owner = main_form_ && main_form_->HandleAllocated() ? main_form_->Handle() : nullptr;
    MessageBoxA(owner, text.c_str(), title_.c_str(), MB_OK | MB_ICONERROR);
    // What the box covered repaints now, while its text still counts as
    // showing: a paint that fails the same way again is not a new report,
    // so closing the box does not bring it straight back.
    if (owner && IsWindow(owner)) RedrawWindow(owner, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  } catch (...) {  // NOLINT(bugprone-empty-catch): a report that cannot be shown has nowhere left to go
  }
}

}  // namespace plx
