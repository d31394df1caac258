#pragma once
// Typed views of the messages that components decode. Every WPARAM/LPARAM
// cast lives here, once, with the packing rule it relies on; call sites read
// named fields. Points are signed: on a multi-monitor desktop screen
// coordinates left of or above the primary monitor are negative, so they are
// unpacked as signed 16-bit values, never through LOWORD/HIWORD alone.

#include <windows.h>

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

}  // namespace plx::msg
