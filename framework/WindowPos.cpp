#include "framework/WindowPos.h"

#include "framework/OSError.h"

namespace plx {

bool TrySetWindowPosFor(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
  return SetWindowPos(window, insertAfter, x, y, width, height, flags) != FALSE;
}

void SetWindowPosFor(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
  if (!TrySetWindowPosFor(window, insertAfter, x, y, width, height, flags))
    RaiseLastOSError("SetWindowPos", "Cannot move or size a window");
}

}  // namespace plx
