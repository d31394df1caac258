#include "chrome/CaptionButtonShared.h"

#include <commctrl.h>

#include <array>
#include <memory>

namespace plx {
namespace {

// The tooltip and the faces are made on first use: a top-level tooltip
// window costs a program's start-up several milliseconds, and most windows
// with caption buttons are never pointed at or drawn in the themed style.
// The tooltip window lives exactly as long as some button has a tool in it:
// a window left for a static destructor would be destroyed after the
// window manager's own clean-up of the thread, from a thread that may no
// longer pump messages.
struct TSharedParts {
  HWND tooltip = nullptr;  // owned; destroyed when its last user lets go
  int tooltip_users = 0;
  bool tooltip_failed = false;  // a system without tooltips is not asked again
  std::array<std::unique_ptr<TBitmap>, 5> faces;
  UINT next_command_id = kFirstCaptionCommandId;
  UINT next_tool_id = 0;
};

TSharedParts& Shared() {
  static TSharedParts parts;
  return parts;
}

}  // namespace

HWND CaptionTooltipWindow() { return Shared().tooltip; }

HWND AcquireCaptionTooltip() {
  TSharedParts& shared = Shared();
  if (!shared.tooltip && !shared.tooltip_failed) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    shared.tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                     0, 0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    shared.tooltip_failed = shared.tooltip == nullptr;
  }
  if (shared.tooltip) ++shared.tooltip_users;
  return shared.tooltip;
}

void ReleaseCaptionTooltip() {
  TSharedParts& shared = Shared();
  if (shared.tooltip_users <= 0 || --shared.tooltip_users > 0) return;
  DestroyWindow(shared.tooltip);
  shared.tooltip = nullptr;
}

TBitmap& XPButtonBitmap(TacCaptionButtonXPStyleColor color) {
  static const char* const kFaceNames[] = {"ACCB_XP_BLUE", "ACCB_XP_GREEN", "ACCB_XP_RED", "ACCB_XP_YELLOW",
                                           "ACCB_XP_BROWN"};
  const auto index = static_cast<std::size_t>(color);
  std::unique_ptr<TBitmap>& face = Shared().faces.at(index);
  if (!face) {
    face = std::make_unique<TBitmap>();
    try {
      face->LoadFromResourceName(GetModuleHandleA(nullptr), kFaceNames[index]);
    } catch (...) {
      // A module without the faces draws the themed style without them.
    }
  }
  return *face;
}

UINT TakeNextCommandId() { return Shared().next_command_id++; }
UINT TakeNextToolId() { return Shared().next_tool_id++; }

HCURSOR CursorForIndex(short index) {
  LPCSTR shape = IDC_ARROW;
  switch (index) {
    case -1: return nullptr;  // crNone
    case -3: shape = IDC_CROSS; break;
    case -4: shape = IDC_IBEAM; break;
    case -5: shape = IDC_SIZEALL; break;
    case -6: shape = IDC_SIZENESW; break;
    case -7: shape = IDC_SIZENS; break;
    case -8: shape = IDC_SIZENWSE; break;
    case -9: shape = IDC_SIZEWE; break;
    case -10: shape = IDC_UPARROW; break;
    case -11: shape = IDC_WAIT; break;
    case -12: shape = IDC_NO; break;
    case -19: shape = IDC_APPSTARTING; break;
    case -20: shape = IDC_HELP; break;
    case -21: shape = IDC_HAND; break;
    default: break;
  }
  return LoadCursorA(nullptr, shape);
}

}  // namespace plx
