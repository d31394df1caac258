#pragma once
// Shared by the chrome tests: a message recorder, recording hook components,
// a form that records its own procedure, a foreign subclass, and pumping.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chrome/HookComponents.h"
#include "framework/Forms.h"

namespace plx::test {

// The probe: a message nobody else sends.
inline constexpr UINT kProbe = WM_APP + 0x77;

// Who saw a message, in the order they saw it.
struct TMessageRecorder {
  std::vector<std::string> seen;
  void Add(const std::string& entry) { seen.push_back(entry); }
  void Clear() { seen.clear(); }
};

// A hook component that records the probe before and after the inner
// procedures, and each re-attachment.
class TRecordingHook : public TacFormHookComponent {
 public:
  TRecordingHook(TComponent* owner, std::string name, TMessageRecorder& recorder)
      : TacFormHookComponent(owner), name_(std::move(name)), recorder_(recorder) {}
  ~TRecordingHook() override = default;

  bool handle_probe = false;
  int recreations = 0;

 protected:
  void MessageBefore(TMessage& message, bool& handled) override {
    if (message.Msg != kProbe) return;
    recorder_.Add(name_ + " before");
    handled = handle_probe;
    if (handle_probe) message.Result = 7;
  }
  void MessageAfter(TMessage& message) override {
    if (message.Msg == kProbe) recorder_.Add(name_ + " after");
  }
  void FormRecreate() override {
    TacFormHookComponent::FormRecreate();
    ++recreations;
    recorder_.Add(name_ + " recreate");
  }

 private:
  std::string name_;
  TMessageRecorder& recorder_;
};

// A plain form with its native caption whose own procedure records the probe.
class TRecordingForm : public TForm {
 public:
  TRecordingForm(TMessageRecorder& recorder) : TForm(nullptr), recorder_(recorder) {
    SetBorderStyle(TFormBorderStyle::bsSizeable);
    SetBounds(100, 100, 320, 200);
    SetCaption("Chrome test");
  }

 protected:
  void WndProc(TMessage& message) override {
    if (message.Msg == kProbe) {
      recorder_.Add("form");
      message.Result = 42;
      return;
    }
    TForm::WndProc(message);
  }

 private:
  TMessageRecorder& recorder_;
};

// A subclass made by other code, not through the hook list: it records the
// probe around the procedure it replaced.
class TForeignSubclass {
 public:
  TForeignSubclass(HWND window, TMessageRecorder& recorder) : window_(window), recorder_(recorder) {
    previous_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
    SetPropA(window, kProperty, this);
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Procedure));
  }
  TForeignSubclass(const TForeignSubclass&) = delete;
  TForeignSubclass& operator=(const TForeignSubclass&) = delete;
  ~TForeignSubclass() { Remove(); }

  // Gives the slot back, as a well-behaved subclass does when it sits on top.
  void Remove() {
    if (!window_) return;
    if (IsWindow(window_)) {
      SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
      RemovePropA(window_, kProperty);
    }
    window_ = nullptr;
  }
  static WNDPROC Entry() { return Procedure; }

 private:
  static constexpr char kProperty[] = "ChromeTestForeign";
  static LRESULT CALLBACK Procedure(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
    auto* self = static_cast<TForeignSubclass*>(GetPropA(window, kProperty));
    if (msg == kProbe) self->recorder_.Add("foreign before");
    const LRESULT result = CallWindowProcA(self->previous_, window, msg, wparam, lparam);
    if (msg == kProbe) self->recorder_.Add("foreign after");
    if (msg == WM_NCDESTROY) {
      RemovePropA(window, kProperty);
      self->window_ = nullptr;
    }
    return result;
  }

  HWND window_;
  TMessageRecorder& recorder_;
  WNDPROC previous_ = nullptr;
};

// Dispatches everything waiting in this thread's queue (posted re-attachment
// and caption notices).
inline void PumpMessages() {
  MSG msg{};
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

inline std::string Joined(const std::vector<std::string>& entries) {
  std::string text;
  for (const auto& e : entries) text += (text.empty() ? "" : ", ") + e;
  return text;
}

}  // namespace plx::test
