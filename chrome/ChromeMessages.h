#pragma once
// Private window messages of the chrome components. They travel only between
// the hook list, the hook components and their utility windows.

#include <windows.h>

#include "framework/Controls.h"

namespace plx {

// Posted to the hook list's window: lParam is a hooked window that is being
// destroyed; its hooks are re-attached to the window that replaces it.
inline constexpr UINT AC_REHOOK = 0x052D;
// Posted to a component's utility window: the owner form's caption changed.
inline constexpr UINT AC_CAPTIONCHANGED = 0x3A59;
// Sent to a hooked form: rebuild the caption buttons' window-menu items.
inline constexpr UINT AC_UPDATESYSMENU = 0x3A60;
// Sent to a hooked form: wParam is the new always-on-top state (0 or 1).
inline constexpr UINT AC_TOPMOSTCHANGED = 0x3A62;

namespace msg {
// AC_REHOOK: the window going away, and its packing for the post.
inline HWND RehookedWindow(const TMessage& message) { return reinterpret_cast<HWND>(message.LParam); }
inline LPARAM PackRehookedWindow(HWND window) { return reinterpret_cast<LPARAM>(window); }
// AC_TOPMOSTCHANGED: the new always-on-top state.
inline bool TopmostState(const TMessage& message) { return message.WParam != 0; }
}  // namespace msg

}  // namespace plx
