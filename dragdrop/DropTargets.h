#pragma once
// The common ground of the drop-target components: the acceptor binding.
//
// A target component is given an acceptor control. Binding hooks the
// control's message chain (to see WM_DESTROY and the family's own messages)
// and registers the control's window with OLE, which from then on calls the
// component's IDropTarget on this thread for every drag over the window. OLE
// keeps a reference to the IDropTarget while the window is registered;
// RevokeDragDrop gives it back, so the registration is revoked before the
// window goes (WM_DESTROY) and whenever the binding ends.
//
// The registration is made once, for the window the control has when it is
// bound: a window the control gets later (after RecreateWnd) is not
// registered, so nothing may re-create an acceptor's window. Binding again
// (to none and back) registers the new window.

#include <windows.h>
#include <ole2.h>

#include <functional>
#include <string>

#include "dragdrop/DragDropUnit.h"
#include "dragdrop/DropEffects.h"
#include "framework/Application.h"
#include "framework/Com.h"
#include "framework/Component.h"
#include "framework/Controls.h"

namespace plx {

// The common base of the drag-and-drop components.
// Whether the window is a rich edit control (by its window class).
bool IsRichEditWindow(HWND window);

class TQXBaseComponent : public TComponent {
 public:
  using TComponent::TComponent;
};

class TQXGenericTarget : public TQXBaseComponent {
 public:
  explicit TQXGenericTarget(TComponent* owner);
  ~TQXGenericTarget() override;

  TWinControl* AcceptorControl() const { return acceptor_; }
  virtual void setAcceptor(TWinControl* control);

  // Whether the acceptor's window is registered with OLE right now.
  bool Registered() const { return registered_; }
  HWND AcceptorWindow() const { return acceptor_window_; }

 protected:
  // Yes unless another target of the same owner already has the control as
  // its acceptor. At run time the answer is then no, without a message; in
  // the designer the user is asked whether to take it from the other.
  bool OkToSetAcceptorControl(TWinControl* control);

  // The binding steps shared by the targets: unhook and revoke the old
  // acceptor, store the new one, hook it and register it with target.
  // revokeRichEditRegistration: a rich edit control registers itself with
  // OLE, and that registration must go before ours can be made.
  void BindAcceptor(TWinControl* control, IDropTarget* target, bool revokeRichEditRegistration);

  // The hook sees every message of the acceptor first; a target answers
  // true for messages of its own that must not go on.
  virtual bool HandleAcceptorMessage(TMessage& message);

  void Notification(TComponent* component, TOperation operation) override;

 private:
  void HookedWindowProc(TMessage& message, const TWndMethod& next);

  TWinControl* acceptor_ = nullptr;  // borrowed; cleared when it is removed
  bool registered_ = false;
  HWND acceptor_window_ = nullptr;  // borrowed: the window as registered
  THookToken window_proc_hook_ = 0;  // our hook on the acceptor's message chain
};

// OnDragEnter, OnDragOver of every target: the effect being reported and the
// pointer in the acceptor's client coordinates.
using TQXDragEnterOverType = std::function<void(TObject* sender, TDropEffect effect, int x, int y)>;

// The OLE drop-target object of one target component, less its Drop. OLE
// calls it on the GUI thread in the order DragEnter, DragOver..., then
// DragLeave or Drop.
//
// Derived supplies `bool AcceptsCurrentFormats()` (whether the held data
// object offers a kind the owner accepts), `static constexpr bool
// kProposesLink` (whether LINK may ever be proposed) and Drop. Owner offers
// override_drop_effect_ (to this class), AcceptorControl(), OnDragEnter,
// OnDragOver and OnDragLeave.
template <class Derived, class Owner>
class TDropTargetObject : public TInterfacedObject<IDropTarget> {
 public:
  explicit TDropTargetObject(Owner* owner) : owner_(owner) {}

  STDMETHODIMP DragEnter(IDataObject* dataObject, DWORD keyState, POINTL point, DWORD* effect) override {
    if (!effect) return E_INVALIDARG;
    return ComGuard([&] {
      data_object_ = TComPtr<IDataObject>(dataObject);
      accepts_ = Self().AcceptsCurrentFormats();
      offered_ = setFromDropEffect(*effect);
      QueryDrop(keyState, effect);
      ReportEffect(effect);
      if (owner_ && owner_->OnDragEnter) {
        const TPoint client = ClientPoint(point);
        RaiseEvent([&] { owner_->OnDragEnter(owner_, singleEffectFromSet(current_effect_), client.X, client.Y); });
      }
      return S_OK;
    });
  }

  STDMETHODIMP DragOver(DWORD keyState, POINTL point, DWORD* effect) override {
    if (!effect) return E_INVALIDARG;
    return ComGuard([&] {
      QueryDrop(keyState, effect);
      ReportEffect(effect);
      if (owner_ && owner_->OnDragOver) {
        const TPoint client = ClientPoint(point);
        RaiseEvent([&] { owner_->OnDragOver(owner_, singleEffectFromSet(current_effect_), client.X, client.Y); });
      }
      return S_OK;
    });
  }

  STDMETHODIMP DragLeave() override {
    const HRESULT result = ComGuard([&] {
      accepts_ = false;
      if (owner_ && owner_->OnDragLeave) RaiseEvent([&] { owner_->OnDragLeave(owner_); });
      return S_OK;
    });
    // OLE calls nothing more for this drag: the data object goes whatever
    // happened above.
    EndDrag();
    return result;
  }

  // The effect query: proposes an effect in *effect (the allowed effects on
  // entry), or refuses with DROPEFFECT_NONE; answers whether it accepted.
  bool QueryDrop(DWORD keyState, DWORD* effect) {
    *effect = QueryDropEffect(accepts_ && owner_, keyState, *effect, Derived::kProposesLink);
    current_effect_ = setFromDropEffect(*effect);
    return *effect != DROPEFFECT_NONE;
  }

  void RecheckAcceptance() { accepts_ = Self().AcceptsCurrentFormats(); }
  // The owner is going: every later call from OLE is refused.
  void DetachOwner() { owner_ = nullptr; }
  // Lets go of the data object; the drag is over.
  void EndDrag() {
    data_object_.Reset();
    offered_ = {};
  }

  TDropEffects OfferedEffects() const { return offered_; }
  TDropEffects CurrentEffect() const { return current_effect_; }
  IDataObject* DataObject() const { return data_object_.Get(); }

 protected:
  // Reports the queried effect after the overrides and what was offered.
  void ReportEffect(DWORD* effect) {
    const TOverrideDropEffect& overrides = owner_ ? owner_->override_drop_effect_ : kIdentityDropEffects;
    const TDropEffect reported = ReportedDropEffect(*effect, overrides, offered_);
    current_effect_ = {reported};
    *effect = dropEffectFromEnum(reported);
  }

  // Raises one of the owner's events. What the handler throws is the
  // application's to show, as for any event; OLE still gets the answer the
  // drag calls for.
  template <class Raise>
  void RaiseEvent(Raise&& raise) {
    try {
      raise();
    } catch (...) {
      Application().HandleException(owner_);
    }
  }

  TPoint ClientPoint(POINTL point) const {
    const TPoint screen{static_cast<int>(point.x), static_cast<int>(point.y)};
    TWinControl* acceptor = owner_ ? owner_->AcceptorControl() : nullptr;
    return acceptor ? acceptor->ScreenToClient(screen) : screen;
  }

  TDropEffects offered_;
  TComPtr<IDataObject> data_object_;
  Owner* owner_;  // borrowed; the owner detaches itself before it goes
  bool accepts_ = false;
  TDropEffects current_effect_{deNone};

 private:
  Derived& Self() { return static_cast<Derived&>(*this); }
};

}  // namespace plx
