#pragma once
// Typed views of the messages that components decode. Every WPARAM/LPARAM
// cast lives here, once, with the packing rule it relies on; call sites read
// named fields. Points are signed: on a multi-monitor desktop screen
// coordinates left of or above the primary monitor are negative, so they are
// unpacked as signed 16-bit values, never through LOWORD/HIWORD alone.

#include <windows.h>

#include <optional>

#include "framework/Controls.h"

namespace plx::msg {

// Signed x and y packed into an LPARAM (mouse, hit-test and context-menu
// messages).
inline POINT PointOf(LPARAM lParam) {
  return POINT{static_cast<short>(LOWORD(static_cast<DWORD_PTR>(lParam))),
               static_cast<short>(HIWORD(static_cast<DWORD_PTR>(lParam)))};
}
inline LPARAM PackPoint(POINT point) {
  return MAKELPARAM(static_cast<WORD>(static_cast<short>(point.x)), static_cast<WORD>(static_cast<short>(point.y)));
}

// Client mouse messages (WM_MOUSEMOVE, WM_xBUTTONDOWN/UP/DBLCLK): the point is
// in client coordinates, the key state is MK_* bits.
struct TMouse {
  POINT Point;
  UINT Keys;
};
inline TMouse Mouse(const TMessage& message) {
  return TMouse{PointOf(message.LParam), static_cast<UINT>(message.WParam)};
}

// Non-client mouse messages (WM_NCMOUSEMOVE, WM_NCxBUTTONDOWN/UP/DBLCLK): the
// point is in screen coordinates, WPARAM is the hit-test code.
struct TNcMouse {
  POINT ScreenPoint;
  int HitTest;
};
inline TNcMouse NcMouse(const TMessage& message) {
  return TNcMouse{PointOf(message.LParam), static_cast<int>(message.WParam)};
}

// WM_NCHITTEST: the point asked about, in screen coordinates.
inline POINT NcHitTestPoint(const TMessage& message) { return PointOf(message.LParam); }

// WM_NCCALCSIZE: with WPARAM TRUE the first rectangle of NCCALCSIZE_PARAMS,
// otherwise a lone RECT; either way the window rectangle on entry and the
// client rectangle the handler leaves there on return.
struct TNcCalcSize {
  bool CalcValidRects;
  RECT* ProposedRect;
};
inline TNcCalcSize NcCalcSize(const TMessage& message) {
  const bool valid = message.WParam != 0;
  RECT* rect = valid ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(message.LParam)->rgrc[0]
                     : reinterpret_cast<RECT*>(message.LParam);
  return TNcCalcSize{valid, rect};
}

// WM_SYSCOMMAND: the low four bits of the command are the system's own.
struct TSysCommand {
  UINT Command;
  LPARAM Detail;  // the key for SC_KEYMENU, the packed screen point for mouse commands
};
inline TSysCommand SysCommand(const TMessage& message) {
  return TSysCommand{static_cast<UINT>(message.WParam & 0xFFF0), message.LParam};
}
// The command id a menu item carries in WM_SYSCOMMAND, in full.
inline UINT SysCommandId(const TMessage& message) { return static_cast<UINT>(message.WParam); }

// WM_COMMAND: the id of the menu item, accelerator or control.
inline UINT CommandId(const TMessage& message) { return LOWORD(static_cast<DWORD_PTR>(message.WParam)); }

// WM_COMMAND (and its reflection to the control, CN_COMMAND) in full: the id,
// the control's notification code (0 for a menu, 1 for an accelerator) and
// the control's window (null for a menu or an accelerator).
struct TCommand {
  UINT Id;
  UINT Notification;
  HWND Control;
};
inline TCommand Command(const TMessage& message) {
  const auto packed = static_cast<DWORD_PTR>(message.WParam);
  return TCommand{LOWORD(packed), HIWORD(packed), reinterpret_cast<HWND>(message.LParam)};
}

// WM_DRAWITEM / WM_MEASUREITEM (and their reflections): the item to draw or
// measure.
inline DRAWITEMSTRUCT& DrawItem(const TMessage& message) {
  return *reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam);
}
inline MEASUREITEMSTRUCT& MeasureItem(const TMessage& message) {
  return *reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam);
}

// WM_NOTIFY: the header every notification starts with (null if none came).
inline const NMHDR* NotifyHeader(const TMessage& message) { return reinterpret_cast<const NMHDR*>(message.LParam); }

// WM_CTLCOLOR* (and their reflections): the control's DC and its window.
struct TControlColor {
  HDC Dc;
  HWND Control;
};
inline TControlColor ControlColor(const TMessage& message) {
  return TControlColor{reinterpret_cast<HDC>(message.WParam), reinterpret_cast<HWND>(message.LParam)};
}

// WM_VKEYTOITEM / WM_CHARTOITEM: the list box the key was typed in.
inline HWND KeyToItemList(const TMessage& message) { return reinterpret_cast<HWND>(message.LParam); }

// WM_ERASEBKGND: the DC to erase on.
inline HDC EraseDC(const TMessage& message) { return reinterpret_cast<HDC>(message.WParam); }

// WM_GETOBJECT: the flags to hand back to the system as they came, and the
// object asked for. The id travels in the low 32 bits of LPARAM, sign-extended
// or not, so it is read from those alone.
struct TGetObject {
  WPARAM Flags;
  LONG ObjectId;
};
inline TGetObject ObjectRequest(const TMessage& message) {
  return TGetObject{message.WParam, static_cast<LONG>(static_cast<DWORD>(message.LParam))};
}

// The answer to LB_ITEMFROMPOINT: the nearest item, and whether the point
// lies outside every item's rectangle.
struct TItemFromPoint {
  int Index;
  bool Outside;
};
inline TItemFromPoint ItemFromPoint(LRESULT answer) {
  const auto packed = static_cast<DWORD_PTR>(answer);
  return TItemFromPoint{LOWORD(packed), HIWORD(packed) != 0};
}

// WM_WINDOWPOSCHANGING / WM_WINDOWPOSCHANGED: the position being set; the
// handler of WM_WINDOWPOSCHANGING may change it.
inline WINDOWPOS& WindowPos(const TMessage& message) { return *reinterpret_cast<WINDOWPOS*>(message.LParam); }

// WM_GETMINMAXINFO: the limits the handler may tighten.
inline MINMAXINFO& MinMaxInfo(const TMessage& message) { return *reinterpret_cast<MINMAXINFO*>(message.LParam); }

// WM_SETCURSOR: the window under the cursor, the hit-test code and the mouse
// message that caused the question.
struct TSetCursor {
  HWND Window;
  int HitTest;
  UINT MouseMessage;
};
inline TSetCursor SetCursor(const TMessage& message) {
  const auto packed = static_cast<DWORD_PTR>(message.LParam);
  return TSetCursor{reinterpret_cast<HWND>(message.WParam), static_cast<short>(LOWORD(packed)), HIWORD(packed)};
}

// WM_ACTIVATE: whether the window becomes active (by click or otherwise).
inline bool Activating(const TMessage& message) {
  return LOWORD(static_cast<DWORD_PTR>(message.WParam)) != WA_INACTIVE;
}
// WM_NCACTIVATE: whether the caption is drawn active.
inline bool NcActive(const TMessage& message) { return message.WParam != 0; }

// WM_SIZE: the kind of change and the new client size.
struct TSize {
  UINT Kind;  // SIZE_RESTORED, SIZE_MINIMIZED, ...
  int Width;
  int Height;
};
inline TSize Size(const TMessage& message) {
  const auto packed = static_cast<DWORD_PTR>(message.LParam);
  return TSize{static_cast<UINT>(message.WParam), LOWORD(packed), HIWORD(packed)};
}

// WM_STYLECHANGING / WM_STYLECHANGED: which style word and its old and new
// values.
struct TStyleChange {
  int Which;  // GWL_STYLE or GWL_EXSTYLE
  STYLESTRUCT* Styles;
};
inline TStyleChange StyleChange(const TMessage& message) {
  return TStyleChange{static_cast<int>(message.WParam), reinterpret_cast<STYLESTRUCT*>(message.LParam)};
}

// WM_KEYDOWN / WM_KEYUP / WM_CHAR and the system variants: the virtual key or
// character code.
inline UINT Key(const TMessage& message) { return static_cast<UINT>(message.WParam); }

// WM_GETDLGCODE: the key message being asked about, or null when the dialog
// manager asks in general.
inline const MSG* DialogCodeQuery(const TMessage& message) { return reinterpret_cast<const MSG*>(message.LParam); }

// WM_TIMER: the timer's id.
inline UINT_PTR TimerId(const TMessage& message) { return static_cast<UINT_PTR>(message.WParam); }

// WM_CAPTURECHANGED: the window that takes the capture (may be null).
inline HWND CaptureTaker(const TMessage& message) { return reinterpret_cast<HWND>(message.LParam); }

// WM_SETTEXT: the new text, in the character set the window was sent it in.
inline const void* SetTextData(const TMessage& message) { return reinterpret_cast<const void*>(message.LParam); }

// WM_PAINT sent with a DC in WPARAM (WM_PRINTCLIENT, or a parent painting a
// child into its own DC): that DC, or null for an ordinary paint.
inline HDC PaintDC(const TMessage& message) { return reinterpret_cast<HDC>(message.WParam); }

// LB_DELETESTRING: the index of the entry to delete (may be out of range;
// the system list answers LB_ERR then).
inline int DeletedEntry(const TMessage& message) { return static_cast<int>(message.WParam); }

// WM_SETREDRAW: whether drawing is turned back on.
inline bool RedrawOn(const TMessage& message) { return message.WParam != FALSE; }

// A private message whose WPARAM carries an index anyone may have posted:
// std::nullopt when it lies outside [0, count).
inline std::optional<int> PostedIndex(const TMessage& message, int count) {
  if (count <= 0 || message.WParam >= static_cast<WPARAM>(count)) return std::nullopt;
  return static_cast<int>(message.WParam);
}

}  // namespace plx::msg
