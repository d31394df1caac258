#pragma once
// Native window-procedure subclassing shared by the chrome components.
//
// Each subclassed window gets ONE native entry point per hook group, written
// into its GWL_WNDPROC slot once. The entry point runs the group's hooks in
// C++ (the newest outermost) and ends in the procedure the window had before
// (its "base"). Because the group's chain lives here and not in the window's
// slot, hooks can be added and removed in any order without rewriting the
// slot, and a foreign subclass installed on top of the entry point is never
// cut out: when the last hook goes and the entry point is no longer the
// outermost procedure, it stays installed as a pass-through until the window
// is destroyed or the foreign subclass gives the slot back.
//
// Message order on a window, outermost first:
//   native GWL_WNDPROC hooks (this file: the chrome components)
//   -> the framework's window procedure (StandardWindowProc)
//   -> the control's WindowProc hook chain (skinned frame, drop target)
//   -> the virtual WndProc
//   -> the native class procedure or DefWindowProc.

#include <windows.h>

#include <vector>

#include "framework/Controls.h"

namespace plx {

// Passes a message on to the next procedure inward.
class TNativeHookNext {
 public:
  virtual void operator()(TMessage& message) const = 0;

 protected:
  ~TNativeHookNext() = default;
};

// One hook on a window. While a hook is alive its address identifies it; the
// chain checks liveness before each call, so a hook destroyed while one of
// the window's messages is being dispatched is simply skipped.
class TNativeHook {
 public:
  TNativeHook();
  TNativeHook(const TNativeHook&) = delete;
  TNativeHook& operator=(const TNativeHook&) = delete;
  virtual ~TNativeHook();

  // Runs for every message of a window this hook is chained on. Call next to
  // pass the message on; not calling it stops the message here.
  virtual void HookMessage(HWND window, TMessage& message, const TNativeHookNext& next) = 0;

  // Whether hook is a live object (compares addresses only).
  static bool Alive(const TNativeHook* hook);
};

// Independent chains on one window: the form hook list and the
// application-window hooks each own a group.
enum class TNativeHookGroup { FormHooks = 0, AppHooks = 1 };

// Sets the hooks of group on window, innermost (oldest) first. The first
// non-empty chain installs the group's entry point; an empty chain takes it
// out again, or leaves it as a pass-through under a foreign subclass.
// Does nothing for a window that no longer exists.
void SetNativeHookChain(HWND window, TNativeHookGroup group, const std::vector<TNativeHook*>& chain);

// The procedure a window had before the group's entry point was installed,
// or its current procedure when the group is not installed.
WNDPROC NativeBaseProcedure(HWND window, TNativeHookGroup group);

// Whether the group's entry point is installed on window (also as a
// pass-through). Windows that are gone are forgotten at WM_NCDESTROY.
bool NativeHooksInstalled(HWND window, TNativeHookGroup group);

// GWL_WNDPROC and the window longs, read and written with the wide or the
// ANSI function according to IsWindowUnicode, so the system does not wrap
// procedures in character-set thunks.
LONG_PTR GetWindowLongFor(HWND window, int index);
// Answers the previous value; raises EOSError when the system refuses (a
// window that is gone, or one of another process), so the caller's idea of
// the window never drifts from the window itself.
LONG_PTR SetWindowLongFor(HWND window, int index, LONG_PTR value);
// The same without raising, for paths that must not throw (unhooking while
// a window or its owner goes away): true when the value was written.
bool TrySetWindowLongFor(HWND window, int index, LONG_PTR value, LONG_PTR* previous = nullptr);
LRESULT CallWindowProcFor(bool unicode, WNDPROC procedure, HWND window, UINT msg, WPARAM wparam, LPARAM lparam);

}  // namespace plx
