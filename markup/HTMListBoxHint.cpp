#include "markup/HTMListBoxHint.h"

#include <commctrl.h>

namespace plx {

TTTOOLINFOA THTMListBoxHint::ToolInfo() {
  TTTOOLINFOA info{};
  info.cbSize = sizeof(info);
  info.uFlags = TTF_TRACK | TTF_ABSOLUTE;
  info.hwnd = owner_;
  info.uId = 1;
  info.lpszText = text_.data();
  return info;
}

void THTMListBoxHint::Show(HWND owner, const std::string& text, POINT screen) {
  if (tooltip_ && owner != owner_) Destroy();
  if (!tooltip_) {
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0,
                               0, 0, owner, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!tooltip_) return;
    owner_ = owner;
    text_.clear();
    TTTOOLINFOA info = ToolInfo();
    SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    // Entries may hold line breaks: let the tip wrap them.
    SendMessageA(tooltip_, TTM_SETMAXTIPWIDTH, 0, 600);
  }
  // The tooltip reads a zero-terminated text: it ends at a zero byte.
  text_.assign(text, 0, text.find('\0'));
  TTTOOLINFOA info = ToolInfo();
  SendMessageA(tooltip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
  SendMessageA(tooltip_, TTM_TRACKPOSITION, 0, MAKELPARAM(screen.x, screen.y));
  SendMessageA(tooltip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
  showing_ = true;
}

void THTMListBoxHint::Cancel() {
  if (!tooltip_ || !showing_) return;
  TTTOOLINFOA info = ToolInfo();
  SendMessageA(tooltip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
  showing_ = false;
}

void THTMListBoxHint::Destroy() {
  if (tooltip_) DestroyWindow(tooltip_);
  tooltip_ = nullptr;
  owner_ = nullptr;
  showing_ = false;
}

}  // namespace plx
