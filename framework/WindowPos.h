#pragma once
// Moving, sizing and reordering a window where the caller keeps its own idea
// of the result (stored bounds, a stored always-on-top state): a refusal
// must be known, or that idea drifts from the window itself.

#include <windows.h>

namespace plx {

// SetWindowPos; raises EOSError naming the call with GetLastError's code
// (a window that is gone: ERROR_INVALID_WINDOW_HANDLE) when the system
// refuses.
void SetWindowPosFor(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);
// The same without raising, for paths that must not throw because the
// window may already be gone (teardown, re-creation): true when done.
bool TrySetWindowPosFor(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags);

}  // namespace plx
