#pragma once
// A hidden message-only window whose messages go to a handler: the target of
// the chrome components' posted, deferred work.

#include <windows.h>

#include <functional>

#include "framework/Controls.h"

namespace plx {

class TUtilityWindow {
 public:
  // The handler sees every message; its Result is the window's answer.
  // Exceptions it raises go to the application's handler.
  explicit TUtilityWindow(std::function<void(TMessage&)> handler);
  TUtilityWindow(const TUtilityWindow&) = delete;
  TUtilityWindow& operator=(const TUtilityWindow&) = delete;
  ~TUtilityWindow();

  HWND Handle() const { return window_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT msg, WPARAM wparam, LPARAM lparam);

  std::function<void(TMessage&)> handler_;
  HWND window_ = nullptr;
};

}  // namespace plx
