#pragma once
// What the drop-target tests share: the window they drop on and the calls OLE
// makes for a drop.

#include <windows.h>
#include <ole2.h>

#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

namespace plx::test {

// A 300 x 300 form at (100, 100) holding a 200 x 150 list box at (10, 20),
// the acceptor. The form owns the list box: deleting it frees both.
inline TForm* MakeAcceptorForm(TListBox*& acceptor) {
  TForm* form = new TForm(nullptr);
  form->SetBounds(100, 100, 300, 300);
  acceptor = new TListBox(form);
  acceptor->SetParent(form);
  acceptor->SetBounds(10, 20, 200, 150);
  return form;
}

// OLE hands the drop targets screen points; tests think in client points.
inline POINTL ScreenPoint(TWinControl* control, int x, int y) {
  const TPoint screen = control->ClientToScreen({x, y});
  return POINTL{screen.X, screen.Y};
}

// DragEnter then Drop with the same keys and point, as OLE calls them; answers
// Drop's result and leaves the final effect in *effect when it is given.
inline HRESULT EnterAndDrop(IDropTarget* target, IDataObject* object, DWORD keys, POINTL point, DWORD allowed,
                            DWORD* effect = nullptr) {
  DWORD local = allowed;
  DWORD* e = effect ? effect : &local;
  *e = allowed;
  target->DragEnter(object, keys, point, e);
  *e = allowed;
  return target->Drop(object, keys, point, e);
}

// Collects what the application shows instead of opening message boxes,
// for as long as it lives.
class TShownMessages {
 public:
  TShownMessages() {
    Application().OnShowMessage = [this](const std::string& text, const std::string&) { texts.push_back(text); };
  }
  ~TShownMessages() {
    Application().ShowPendingExceptions();  // nothing left over for a real box
    Application().OnShowMessage = nullptr;
  }
  TShownMessages(const TShownMessages&) = delete;
  TShownMessages& operator=(const TShownMessages&) = delete;

  std::vector<std::string> texts;
};

}  // namespace plx::test
