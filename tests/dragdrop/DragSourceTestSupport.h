#pragma once
// What the drag-source tests share: a drop target that records what OLE's
// drag loop asks of it and reads what a drop delivers, a stage with a donor
// list box and a target panel on a form, and the mouse buttons pressed and
// released with real input.

#include <windows.h>
#include <ole2.h>

#include <functional>
#include <string>
#include <vector>

#include "dragdrop/DataObjectUtils.h"
#include "framework/Com.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

namespace plx::test {

// Holds (or lets go of) a key in this thread's keyboard state, which the
// drag loop reads for the key state of a drag.
inline void SetKeyDown(int virtualKey, bool down) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[virtualKey] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}

// Presses or releases a mouse button with real input, as a hand on the
// mouse would: the system's own button state follows, so the drag loop sees
// the same state however it asks.
inline void SetMouseButtonDown(int virtualButton, bool down) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  switch (virtualButton) {
    case VK_RBUTTON:
      input.mi.dwFlags = down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
      break;
    case VK_MBUTTON:
      input.mi.dwFlags = down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
      break;
    default:
      input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
      break;
  }
  SendInput(1, &input, sizeof input);
}

inline void ReleaseAllButtonsAndKeys() {
  for (int button : {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON})
    if (GetAsyncKeyState(button) & 0x8000) SetMouseButtonDown(button, false);
  for (int key : {VK_CONTROL, VK_SHIFT, VK_ESCAPE}) SetKeyDown(key, false);
  // Let this thread see the releases before anything else starts.
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

// A drop target that proposes `propose` (limited to what the source allows)
// at every DragEnter and DragOver, calls `during_drag` after each of them
// with the number of rounds so far, and on Drop reads `read` (CF_TEXT on a
// global block unless changed), keeping the block's bytes. Every medium it
// gets is released; a global block is freed by hand so that a block the
// receiver cannot free shows.
class TRecordingDropTarget : public TInterfacedObject<IDropTarget> {
 public:
  DWORD propose = DROPEFFECT_MOVE;
  FORMATETC read{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  std::function<void(int round)> during_drag;
  // Keeps the data object after the drop (see held).
  bool keep_data_object = false;

  int enters = 0, overs = 0, leaves = 0, drops = 0;
  DWORD allowed = 0;        // what the source offered at DragEnter
  HRESULT read_result = E_FAIL;
  HRESULT text_offered = E_FAIL;  // QueryGetData for CF_TEXT at DragEnter
  bool block_freed = false;  // GlobalFree succeeded on the dropped block
  std::string dropped;       // all GlobalSize bytes of the dropped block
  std::size_t dropped_size = 0;
  TComPtr<IDataObject> held;

  STDMETHODIMP DragEnter(IDataObject* dataObject, DWORD, POINTL, DWORD* effect) override {
    ++enters;
    allowed = *effect;
    FORMATETC text{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    text_offered = dataObject->QueryGetData(&text);
    if (keep_data_object) held = TComPtr<IDataObject>(dataObject);
    *effect &= propose;
    Round();
    return S_OK;
  }
  STDMETHODIMP DragOver(DWORD, POINTL, DWORD* effect) override {
    ++overs;
    *effect &= propose;
    Round();
    return S_OK;
  }
  STDMETHODIMP DragLeave() override {
    ++leaves;
    return S_OK;
  }
  STDMETHODIMP Drop(IDataObject* dataObject, DWORD, POINTL, DWORD* effect) override {
    ++drops;
    *effect &= propose;
    STGMEDIUM medium{};
    FORMATETC request = read;
    read_result = dataObject->GetData(&request, &medium);
    if (read_result == S_OK && medium.tymed == TYMED_HGLOBAL) {
      dropped = GetHandleDataToString(medium.hGlobal);
      dropped_size = medium.hGlobal ? GlobalSize(medium.hGlobal) : 0;
      // What ReleaseStgMedium would do, checked: the block is ours to free.
      if (!medium.pUnkForRelease) {
        block_freed = medium.hGlobal == nullptr || GlobalFree(medium.hGlobal) == nullptr;
        medium.hGlobal = nullptr;
      }
    }
    if (read_result == S_OK) ReleaseStgMedium(&medium);
    return S_OK;
  }

  int Rounds() const { return enters + overs; }

  // Forgets what the last drag did and how to answer, for the next test.
  void Reset() {
    propose = DROPEFFECT_MOVE;
    read = FORMATETC{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    during_drag = nullptr;
    keep_data_object = false;
    enters = overs = leaves = drops = 0;
    allowed = 0;
    read_result = E_FAIL;
    text_offered = E_FAIL;
    block_freed = false;
    dropped.clear();
    dropped_size = 0;
    held.Reset();
  }

 private:
  void Round() {
    if (during_drag) during_drag(Rounds());
  }
};

// Moves the pointer to a screen point and presses a mouse button there; a
// drag started next starts with it down.
inline void PressButtonAt(TPoint screen, int button = VK_LBUTTON) {
  ReleaseAllButtonsAndKeys();
  SetCursorPos(screen.X, screen.Y);
  SetMouseButtonDown(button, true);
  // This thread's view of the button changes when it takes the press from
  // its queue; the drag loop must start with it down.
  const DWORD deadline = GetTickCount() + 5000;
  MSG message;
  while (GetKeyState(button) >= 0 && GetTickCount() < deadline) {
    if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageA(&message);
    else
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

// A form with a donor list box on the left and a target panel on the right
// that is registered with OLE for target. The form is shown (the drag loop
// finds targets under the pointer); destroying a shown window waits for the
// display, so a test suite makes one stage and shares it.
class TDragStage {
 public:
  explicit TDragStage(IDropTarget* target) {
    form = new TForm(nullptr);
    form->SetBounds(100, 100, 420, 240);
    donor = new TListBox(form);
    donor->SetParent(form);
    donor->SetBounds(10, 10, 150, 150);
    panel = new TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(200, 10, 180, 150);
    form->Show();
    registered = RegisterDragDrop(panel->Handle(), target) == S_OK;
  }
  ~TDragStage() {
    if (registered) RevokeDragDrop(panel->Handle());
    delete form;
    ReleaseAllButtonsAndKeys();
  }
  TDragStage(const TDragStage&) = delete;
  TDragStage& operator=(const TDragStage&) = delete;

  // Puts the pointer over the target panel with `button` held: the next
  // drag starts there.
  void HoldButtonOverTarget(int button = VK_LBUTTON) {
    PressButtonAt(panel->ClientToScreen({panel->Width() / 2, panel->Height() / 2}), button);
  }

  TForm* form = nullptr;
  TListBox* donor = nullptr;
  TPanel* panel = nullptr;
  bool registered = false;
};

}  // namespace plx::test
