#pragma once
// Private window messages of the chrome components. They travel only between
// the hook list, the hook components and their utility windows.

#include <windows.h>

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

}  // namespace plx
