#include "dragdrop/DropTargets.h"

#include <cstdio>
#include <utility>

namespace plx {

namespace {

std::string AcceptorConflictMessage(const std::string& control, const std::string& other, const std::string& self) {
  const char* format =
      "Each OLE target component must have a unique TWinControl designated as its AcceptorControl.\r\n\r\n"
      "%s has already been designated as %s.AcceptorControl.  If you want to designate %s instead as "
      "%s.AcceptorControl, %s.AcceptorControl must first be set to nil.\r\n\r\n Do you want to do this?";
  const int length = std::snprintf(nullptr, 0, format, control.c_str(), other.c_str(), control.c_str(),
                                   self.c_str(), other.c_str());
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  std::snprintf(text.data(), text.size(), format, control.c_str(), other.c_str(), control.c_str(), self.c_str(),
                other.c_str());
  text.resize(static_cast<std::size_t>(length));
  return text;
}

}  // namespace

TQXGenericTarget::TQXGenericTarget(TComponent* owner) : TQXBaseComponent(owner) {}

TQXGenericTarget::~TQXGenericTarget() {
  // The derived targets unbind in their destructors; this is the last guard
  // against leaving a hook that points at a destroyed component.
  if (acceptor_) BindAcceptor(nullptr, nullptr, false);
}

void TQXGenericTarget::setAcceptor(TWinControl*) {}

bool TQXGenericTarget::OkToSetAcceptorControl(TWinControl* control) {
  if (!control || !Owner()) return true;
  for (int i = 0; i < Owner()->ComponentCount(); ++i) {
    auto* other = dynamic_cast<TQXGenericTarget*>(Owner()->Components(i));
    if (!other || other == this || other->AcceptorControl() != control) continue;
    if (!IsDesigning()) return false;
    const std::string text = AcceptorConflictMessage(control->Name(), other->Name(), Name());
    if (MessageBoxA(nullptr, text.c_str(), "Error", MB_YESNO | MB_ICONERROR) != IDYES) return false;
    other->setAcceptor(nullptr);
    return true;
  }
  return true;
}

bool IsRichEditWindow(HWND window) {
  char name[64] = {};
  if (GetClassNameA(window, name, sizeof name) == 0) return false;
  return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, name, 8, "RICHEDIT", 8) == CSTR_EQUAL;
}

void TQXGenericTarget::BindAcceptor(TWinControl* control, IDropTarget* target, bool revokeRichEditRegistration) {
  if (acceptor_ && !IsDesigning()) {
    if (registered_ && acceptor_window_ && IsWindow(acceptor_window_)) RevokeDragDrop(acceptor_window_);
    registered_ = false;
    acceptor_->RemoveWindowProcHook(std::exchange(window_proc_hook_, 0));
    acceptor_window_ = nullptr;
  }
  if (acceptor_) RemoveFreeNotification(acceptor_);
  acceptor_ = control;
  if (!acceptor_) return;
  FreeNotification(acceptor_);
  if (IsDesigning()) return;

  window_proc_hook_ = acceptor_->AddWindowProcHook(
      [this](TMessage& message, const TWndMethod& next) { HookedWindowProc(message, next); });
  acceptor_window_ = acceptor_->Handle();
  if (revokeRichEditRegistration && IsRichEditWindow(acceptor_window_)) RevokeDragDrop(acceptor_window_);
  registered_ = target && RegisterDragDrop(acceptor_window_, target) == S_OK;
}

bool TQXGenericTarget::HandleAcceptorMessage(TMessage&) { return false; }

void TQXGenericTarget::HookedWindowProc(TMessage& message, const TWndMethod& next) {
  if (message.Msg == WM_DESTROY && acceptor_window_ && IsWindow(acceptor_window_)) {
    // OLE must let go of the window before it is gone. A window the control
    // gets later is not registered: binding again (to none and back) does.
    if (registered_) RevokeDragDrop(acceptor_window_);
    registered_ = false;
  }
  if (HandleAcceptorMessage(message)) return;
  // The framework still needs WM_DESTROY to save the control's state.
  next(message);
}

void TQXGenericTarget::Notification(TComponent* component, TOperation operation) {
  TQXBaseComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component && component == acceptor_) setAcceptor(nullptr);
}

}  // namespace plx
