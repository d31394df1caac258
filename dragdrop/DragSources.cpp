#include "dragdrop/DragSources.h"

namespace plx {

DWORD MK_XButtonFromTMouseButton(TMouseButton button) {
  switch (button) {
    case TMouseButton::mbRight:
      return MK_RBUTTON;
    case TMouseButton::mbMiddle:
      return MK_MBUTTON;
    case TMouseButton::mbLeft:
      break;
  }
  return MK_LBUTTON;
}

STDMETHODIMP TDropSourceObject::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
  return ComGuard([&]() -> HRESULT {
    // A source that went away mid-drag has nothing left to drop.
    if (!source_) return DRAGDROP_S_CANCEL;
    if (escapePressed) {
      if (source_->OnCancelDrop) source_->OnCancelDrop(source_);
      return DRAGDROP_S_CANCEL;
    }
    if (keyState & MK_XButtonFromTMouseButton(source_->mouse_button_)) return S_OK;
    // Over nothing that accepts, the loop cancels on its own after a drop
    // answer: the before-drop step is only for drops that will happen.
    const TDropEffects effect = source_->returned_effect_;
    if (effect.Empty() || effect == TDropEffects{deNone}) return DRAGDROP_S_DROP;
    return source_->doBeforeDrop() ? DRAGDROP_S_DROP : DRAGDROP_S_CANCEL;
  });
}

STDMETHODIMP TDropSourceObject::GiveFeedback(DWORD effect) {
  return ComGuard([&]() -> HRESULT {
    if (!source_) return DRAGDROP_S_USEDEFAULTCURSORS;
    source_->returned_effect_ = setFromDropEffect(effect);
    bool defCursors = true;
    if (source_->OnGiveFeedback) source_->OnGiveFeedback(source_, source_->getReturnedEffect(), defCursors);
    return defCursors ? DRAGDROP_S_USEDEFAULTCURSORS : S_OK;
  });
}

TQXDragSource::TQXDragSource(TComponent* owner)
    : TQXBaseComponent(owner), drop_source_(new TDropSourceObject(this)) {}

TQXDragSource::~TQXDragSource() {
  // OLE may still hold the object if a handler destroys us mid-drag.
  drop_source_->DetachSource();
}

bool TQXDragSource::RunDragLoop(IDataObject* dataObject) {
  // The last drag's effect must not decide this drag's first button release.
  returned_effect_ = {};
  busy_ = true;
  DWORD effect = DROPEFFECT_NONE;
  HRESULT result = E_UNEXPECTED;
  try {
    result = DoDragDrop(dataObject, drop_source_.Get(), dropEffectFromSet(drop_effects_), &effect);
    if (result == DRAGDROP_S_DROP) {
      returned_effect_ = setFromDropEffect(effect);
      doAfterDrop(!returned_effect_.Empty() && returned_effect_ != TDropEffects{deNone});
    } else {
      returned_effect_ = {deNone};
    }
  } catch (...) {
    busy_ = false;
    throw;
  }
  busy_ = false;
  return result == DRAGDROP_S_DROP || result == DRAGDROP_S_CANCEL;
}

}  // namespace plx
