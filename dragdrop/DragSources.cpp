#include "dragdrop/DragSources.h"

#include "framework/ScopedState.h"

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
      // A copy: the handler may destroy the source, and with it the event.
      if (const TNotifyEvent onCancelDrop = source_->OnCancelDrop) onCancelDrop(source_);
      return DRAGDROP_S_CANCEL;
    }
    if (keyState & MK_XButtonFromTMouseButton(source_->mouse_button_)) return S_OK;
    // Over nothing that accepts, the loop cancels on its own after a drop
    // answer: the before-drop step is only for drops that will happen.
    const TDropEffects effect = source_->feedback_effect_;
    if (effect.Empty() || effect == TDropEffects{deNone}) return DRAGDROP_S_DROP;
    // The step answers no when its handler destroyed the source.
    return source_->doBeforeDrop() ? DRAGDROP_S_DROP : DRAGDROP_S_CANCEL;
  });
}

STDMETHODIMP TDropSourceObject::GiveFeedback(DWORD effect) {
  return ComGuard([&]() -> HRESULT {
    if (!source_) return DRAGDROP_S_USEDEFAULTCURSORS;
    source_->feedback_effect_ = setFromDropEffect(effect);
    source_->returned_effect_ = source_->feedback_effect_;
    bool defCursors = true;
    // A copy: the handler may destroy the source, and with it the event.
    if (const TQXGiveFeedbackType onGiveFeedback = source_->OnGiveFeedback)
      onGiveFeedback(source_, source_->getReturnedEffect(), defCursors);
    return defCursors ? DRAGDROP_S_USEDEFAULTCURSORS : S_OK;
  });
}

TQXDragSource::TQXDragSource(TComponent* owner)
    : TQXBaseComponent(owner), drop_source_(new TDropSourceObject(this)) {}

TQXDragSource::~TQXDragSource() {
  // A handler may destroy us mid-drag: the loop still holds the drop-source
  // object, and what outlives us sees the token expire.
  alive_.reset();
  drop_source_->DetachSource();
}

bool TQXDragSource::RefuseExecute() {
  returned_effect_ = {deNone};
  return false;
}

bool TQXDragSource::RunDragLoop(IDataObject* dataObject) {
  // The last drag's effect must not decide this drag's first button release.
  returned_effect_ = {};
  feedback_effect_ = {};
  // The loop's own reference: the component's goes if a handler destroys it.
  const TComPtr<TDropSourceObject> dropSource = drop_source_;
  const std::weak_ptr<const void> alive = alive_;
  busy_ = true;
  const TScopeExit endBusy([this, &alive] {
    if (!alive.expired()) busy_ = false;
  });
  DWORD effect = DROPEFFECT_NONE;
  const HRESULT result = DoDragDrop(dataObject, dropSource.Get(), dropEffectFromSet(drop_effects_), &effect);
  const bool ended = result == DRAGDROP_S_DROP || result == DRAGDROP_S_CANCEL;
  // Destroyed during the loop: nothing is left to report to.
  if (alive.expired()) return ended;
  if (result == DRAGDROP_S_DROP) {
    returned_effect_ = setFromDropEffect(effect);
    doAfterDrop(!returned_effect_.Empty() && returned_effect_ != TDropEffects{deNone});
  } else {
    returned_effect_ = {deNone};
  }
  return ended;
}

}  // namespace plx
