#pragma once
// A drop source for tests that drag with OLE's own DoDragDrop: it answers
// "drop" as soon as the target at the intended point has answered. OLE asks
// the source for feedback only after the target under the cursor has
// returned its effect from DragEnter or DragOver, so feedback given while
// the cursor is at the point means that target has been entered.

#include <windows.h>
#include <ole2.h>

#include "framework/Com.h"

namespace plx::test {

class TDropWhenAnswered : public TInterfacedObject<IDropSource> {
 public:
  explicit TDropWhenAnswered(POINT point) : point_(point) {}

  STDMETHODIMP QueryContinueDrag(BOOL escape, DWORD) override {
    if (escape) return DRAGDROP_S_CANCEL;
    return answered_ ? DRAGDROP_S_DROP : S_OK;
  }
  STDMETHODIMP GiveFeedback(DWORD) override {
    POINT at{};
    if (GetCursorPos(&at) && at.x == point_.x && at.y == point_.y) answered_ = true;
    return DRAGDROP_S_USEDEFAULTCURSORS;
  }

 private:
  POINT point_;
  bool answered_ = false;
};

}  // namespace plx::test
