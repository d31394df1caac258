#pragma once
// The common ground of the drop-target components: the acceptor binding.
//
// A target component is given an acceptor control. Binding hooks the
// control's WindowProc slot (to see WM_DESTROY and the family's own
// messages) and registers the control's window with OLE, which from then on
// calls the component's IDropTarget on this thread for every drag over the
// window. OLE keeps a reference to the IDropTarget while the window is
// registered; RevokeDragDrop gives it back, so the registration is revoked
// before the window goes (WM_DESTROY) and whenever the binding ends.

#include <windows.h>
#include <ole2.h>

#include <string>

#include "dragdrop/DragDropUnit.h"
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
  void HookedWindowProc(TMessage& message);

  TWinControl* acceptor_ = nullptr;  // borrowed; cleared when it is removed
  bool registered_ = false;
  HWND acceptor_window_ = nullptr;  // borrowed: the window as registered
  TWndMethod saved_window_proc_;
};

}  // namespace plx
