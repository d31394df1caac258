#pragma once
// The hint of the markup list: a tracking tooltip that shows one text at a
// screen point until it is cancelled.

#include <windows.h>

#include <commctrl.h>

#include <string>

namespace plx {

class THTMListBoxHint {
 public:
  THTMListBoxHint() = default;
  THTMListBoxHint(const THTMListBoxHint&) = delete;
  THTMListBoxHint& operator=(const THTMListBoxHint&) = delete;
  ~THTMListBoxHint() { Destroy(); }

  // Shows text with its top-left corner at the screen point; the tooltip
  // window is made on first use, owned by owner.
  void Show(HWND owner, const std::string& text, POINT screen);
  void Cancel();
  // Destroys the tooltip window; call before the owner's window goes.
  void Destroy();

  bool Showing() const { return showing_; }
  const std::string& Text() const { return text_; }
  // The tooltip window, for tests; nullptr until the first hint.
  HWND Window() const { return tooltip_; }

 private:
  TTTOOLINFOA ToolInfo();

  HWND tooltip_ = nullptr;  // owned
  HWND owner_ = nullptr;    // borrowed
  std::string text_;        // kept alive for the tooltip, which reads it by pointer
  bool showing_ = false;
};

}  // namespace plx
