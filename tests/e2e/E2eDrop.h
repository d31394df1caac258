#pragma once
// Drags data into the running program with OLE's own DoDragDrop: the cursor
// is put over the target (and seen there) before the drag starts, the drop
// source answers "drop" once the target under the cursor has answered
// DragEnter (OLE then asks the source for feedback on the target's effect),
// and Ctrl is held through the thread's keyboard state, which is what OLE
// reads for the key state of a drag.
#include <windows.h>

#include <ole2.h>

#include <string>

namespace plx::e2e {

struct TDragResult {
  HRESULT result;
  DWORD effect;
};

// Drops one format, offered as a global block, on the centre of target's
// client area; E_FAIL when the cursor could not be put over target. The
// calling thread must have initialised OLE.
TDragResult DragOnto(HWND target, UINT format, const std::string& data, bool control, bool shift = false,
                     DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE);

}  // namespace plx::e2e
