#pragma once
// The application object: title, main form, message loop and the display of
// exceptions that escape event handlers.

#include <windows.h>

#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "framework/Component.h"
#include "framework/OwnedHandle.h"

namespace plx {

class TForm;

// A window of our own that nothing else destroys; released by DestroyWindow.
struct TOwnedWindowTraits {
  using Handle = HWND;
  static void Release(HWND window) { DestroyWindow(window); }
};
using TOwnedWindow = TOwnedHandle<TOwnedWindowTraits>;

class TApplication : public TComponent {
 public:
  TApplication();
  ~TApplication() override;

  // Prepares the thread: COM and the common controls.
  void Initialize();

  const std::string& Title() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }

  // Creates a form owned by the application; the first becomes MainForm.
  // OnCreate runs once the form is fully constructed.
  template <class Form>
  Form* CreateForm() {
    auto* form = new Form(this);
    RegisterCreatedForm(form);
    return form;
  }
  TForm* MainForm() const { return main_form_; }

  // Shows the main form and dispatches messages until it has closed.
  void Run();
  // Dispatches every message waiting in the queue, then returns.
  void ProcessMessages();
  // Ends the message loop after the current message.
  void Terminate();
  bool Terminated() const { return terminated_; }

  // Sees every message before it is dispatched; answer true to swallow it.
  std::function<bool(MSG&)> OnMessage;

  // Reports the exception being handled (the current one), unless it is the
  // silent EAbort. Call from a catch block.
  //
  // Reports never show from inside the code that failed: that may be a
  // paint, non-client or hook procedure, where a modal box's own message
  // loop would re-enter the failing window. A report is queued and shown
  // once the message being processed has returned (a private message posted
  // to a hidden window of the application), one box at a time. While one is
  // up, further reports wait behind it; a report whose text is already
  // waiting or showing is coalesced into it, and at most kMaxPendingReports
  // different ones wait (later ones are dropped).
  void HandleException(TObject* sender);
  // The error boundary of a window procedure: a failed WM_PAINT validates
  // the window, so the same failure does not come back at once in a loop.
  void HandleMessageException(HWND window, UINT msg, TObject* sender);
  // Queues the report of error, like HandleException.
  void ShowException(const std::exception& error);
  // Shows the waiting reports now; for the end of the run, when no message
  // loop is left to do it. Does nothing while a report is already up.
  void ShowPendingExceptions();
  // Replaces the message box, for tests: receives the text and caption.
  std::function<void(const std::string& text, const std::string& caption)> OnShowMessage;

  static constexpr std::size_t kMaxPendingReports = 8;

  // Called when a form is destroyed, so a dangling MainForm is never used.
  void FormDestroyed(TForm* form);

 private:
  void RegisterCreatedForm(TForm* form);
  bool ProcessMessage(MSG& msg);
  void QueueReport(std::string text);
  void ShowReport(const std::string& text);
  static LRESULT CALLBACK ReportWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  std::string title_;
  TForm* main_form_ = nullptr;  // owned as a component
  bool terminated_ = false;
  bool com_initialized_ = false;
  std::deque<std::string> pending_reports_;
  std::string report_showing_;  // the text of the box that is up, if any
  bool showing_reports_ = false;
  // The hidden window the show-reports message is posted to: it exists
  // while reports wait, and going away discards a message still posted.
  TOwnedWindow report_window_;
};

// The process's one application object.
TApplication& Application();

}  // namespace plx
