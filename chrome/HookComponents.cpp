#include "chrome/HookComponents.h"

#include <vector>

#include "chrome/ChromeMessages.h"
#include "chrome/HookList.h"
#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/MessageDecoders.h"
#include "framework/ScopedState.h"
#include "framework/WindowPos.h"

namespace plx {

// ------------------------------------------------------------ TacComponent

TacComponent::TacComponent(TComponent* owner) : TComponent(owner), parent_(dynamic_cast<TWinControl*>(owner)) {}

void TacComponent::SetParent(TWinControl* control) { parent_ = control; }

TForm* TacComponent::GetParentForm() const { return dynamic_cast<TForm*>(parent_); }

void TacComponent::SetParentForm(TForm* form) { SetParent(form); }

void TacComponent::ShowParentForm() {
  TForm* form = GetParentForm();
  if (!form) return;
  ShowWindow(form->Handle(), SW_RESTORE);
  SetForegroundWindow(form->Handle());
  BringWindowToTop(form->Handle());
}

std::string TacComponent::GetParentFormCaption() const {
  const TForm* form = GetParentForm();
  return form ? form->Caption() : std::string();
}

void TacComponent::SetParentFormCaption(const std::string& text) {
  if (TForm* form = GetParentForm()) form->SetCaption(text);
}

// ---------------------------------------------------- TacFormHookComponent

namespace {
TWinControl* RequireWindowedOwner(TComponent* owner) {
  auto* control = dynamic_cast<TWinControl*>(owner);
  if (!control) throw EInvalidOperation("Owner must be TWinControl or its descendant!");
  return control;
}
}  // namespace

TacFormHookComponent::TacFormHookComponent(TComponent* owner) : TacComponent(owner) {
  StoreParent(RequireWindowedOwner(owner));
  AttachToList();
}

TacFormHookComponent::TacFormHookComponent(TComponent* owner, TWinControl* control) : TacComponent(owner) {
  StoreParent(control);
  AttachToList();
}

void TacFormHookComponent::AttachToList() {
  auto& list = TacHookList::Slot();
  if (!list) list.reset(new TacHookList());
  // Not constructed after all: leave no entry and no empty list behind.
  TScopeExit undo([&] {
    StopWatchingParentHandle();
    list->RemoveComponent(this);
    if (list->Count() == 0) list.reset();
  });
  list->AddComponent(this);
  WatchParentHandle();
  undo.Dismiss();
}

// The parent's window may be destroyed and created again while we live:
// once the new one exists, every hook of the old one moves over at once, in
// list order. (The AC_REHOOK posted at WM_DESTROY then finds nothing left to
// do; it still serves windows re-created behind the framework's back.)
void TacFormHookComponent::WatchParentHandle() {
  TWinControl* parent = Parent();
  if (!parent) return;
  watched_parent_ = parent;
  handle_events_token_ = parent->SubscribeHandleEvents([this](THandleEvent event) {
    if (event != THandleEvent::Created || !window_handle_) return;
    TacHookList* list = TacHookList::Instance();
    TWinControl* current = Parent();
    if (list && current && current->HandleAllocated() && current->Handle() != window_handle_)
      list->Reattach(window_handle_);
  });
  parent->FreeNotification(this);
}

void TacFormHookComponent::StopWatchingParentHandle() {
  if (!watched_parent_) return;
  watched_parent_->UnsubscribeHandleEvents(handle_events_token_);
  watched_parent_->RemoveFreeNotification(this);
  watched_parent_ = nullptr;
}

TacFormHookComponent::~TacFormHookComponent() {
  StopWatchingParentHandle();
  auto& list = TacHookList::Slot();
  if (!list) return;
  list->RemoveComponent(this);
  if (list->Count() == 0) list.reset();
}

void TacFormHookComponent::SetParent(TWinControl* control) {
  if (control == Parent()) return;
  StopWatchingParentHandle();
  TacHookList* list = TacHookList::Instance();
  if (list) list->RemoveComponent(this);
  TacComponent::SetParent(control);
  window_handle_ = nullptr;
  if (list) {
    list->components_.push_back(this);
    list->HookComponent(this);
  }
  WatchParentHandle();
}

void TacFormHookComponent::Notification(TComponent* component, TOperation operation) {
  TacComponent::Notification(component, operation);
  if (operation != TOperation::opRemove || !component || component != watched_parent_) return;
  // The served control is going (it is still whole now): unhook from its
  // window and forget it.
  StopWatchingParentHandle();
  if (TacHookList* list = TacHookList::Instance()) list->RemoveComponent(this);
  window_handle_ = nullptr;
  StoreParent(nullptr);
}

HMENU TacFormHookComponent::GetSystemMenuHandle() { return GetSystemMenu(window_handle_, FALSE); }

LONG_PTR TacFormHookComponent::GetWindowStyle() const { return GetWindowLongFor(window_handle_, GWL_STYLE); }

void TacFormHookComponent::SetWindowStyle(LONG_PTR value) { SetWindowLongFor(window_handle_, GWL_STYLE, value); }

LONG_PTR TacFormHookComponent::GetWindowExStyle() const { return GetWindowLongFor(window_handle_, GWL_EXSTYLE); }

void TacFormHookComponent::SetWindowExStyle(LONG_PTR value) {
  SetWindowLongFor(window_handle_, GWL_EXSTYLE, value);
}

void TacFormHookComponent::RefreshNCArea() {
  // Nothing of ours depends on it: a window that is gone has no frame left
  // to recompute.
  TrySetWindowPosFor(window_handle_, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TacFormHookComponent::SetZOrder(HWND insertAfter) {
  SetWindowPosFor(window_handle_, insertAfter, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

bool TacFormHookComponent::GetTopmost() const {
  if (IsDesigning()) return topmost_value_;
  return window_handle_ && (GetWindowExStyle() & WS_EX_TOPMOST) != 0;
}

void TacFormHookComponent::SetTopmost(bool value) {
  if (!IsDesigning() && !IsWindow(window_handle_)) {
    // No window yet, or between a window's end and its re-creation: the
    // value waits for the next window, where FormRecreate applies it.
    topmost_value_ = value;
    return;
  }
  if (value == GetTopmost()) return;
  // The window moves first: a refusal raises before the stored value
  // claims a state the window does not have.
  if (!IsDesigning()) SetZOrder(value ? HWND_TOPMOST : HWND_NOTOPMOST);
  topmost_value_ = value;
  // Sent, not posted: every view follows before this returns.
  SendMessageA(window_handle_, AC_TOPMOSTCHANGED, value ? 1 : 0, 0);
}

void TacFormHookComponent::FormRecreate() { SetTopmost(topmost_value_); }

void TacFormHookComponent::TopmostChanged(bool topmost) { SetTopmost(topmost); }

// Runs on this component for every message of its window; see
// chrome/NativeHooks.h for where this sits in the window's message order.
// After the inner procedures have run, this object may be gone (a handler
// destroyed it): nothing of it is touched before checking.
void TacFormHookComponent::HookMessage(HWND, TMessage& message, const TNativeHookNext& next) {
  bool handled = false;
  try {
    if (message.Msg == WM_DESTROY) {
      // The innermost hook of a window that is going while its parent lives
      // on asks for re-attachment to the window that will replace it.
      TacHookList* list = TacHookList::Instance();
      const bool parent_going = Parent() && Parent()->IsDestroying();
      if (list && !IsDestroying() && !parent_going && list->InnermostOn(window_handle_) == this)
        PostMessageA(list->ListWindow(), AC_REHOOK, 0, msg::PackRehookedWindow(window_handle_));
    } else if (message.Msg == AC_TOPMOSTCHANGED) {
      TopmostChanged(msg::TopmostState(message));
    }
    MessageBefore(message, handled);
  } catch (...) {
    Application().HandleException(this);
  }
  // A failing hook does not swallow the message: the window still gets it.
  if (!handled) next(message);
  TacHookList* list = TacHookList::Instance();
  if (!list || !list->Contains(this)) return;
  try {
    MessageAfter(message);
  } catch (...) {
    Application().HandleException(this);
  }
}

// --------------------------------------------------- TacHFormHookComponent

TacHFormHookComponent::TacHFormHookComponent(TComponent* owner) : TacFormHookComponent(owner) {
  utility_window_ = std::make_unique<TUtilityWindow>([this](TMessage& message) { WndProc(message); });
}

TacHFormHookComponent::TacHFormHookComponent(TComponent* owner, TWinControl* control)
    : TacFormHookComponent(owner, control) {
  utility_window_ = std::make_unique<TUtilityWindow>([this](TMessage& message) { WndProc(message); });
}

TacHFormHookComponent::~TacHFormHookComponent() { utility_window_.reset(); }

void TacHFormHookComponent::WndProc(TMessage& message) {
  if (message.Msg == WM_QUERYENDSESSION) {
    message.Result = 1;
    return;
  }
  message.Result = DefWindowProcA(UtilityWindow(), message.Msg, message.WParam, message.LParam);
}

// ----------------------------------------------- TacCustomAppHookComponent

HWND ApplicationWindow() {
  TForm* main = Application().MainForm();
  return main && main->HandleAllocated() ? main->Handle() : nullptr;
}

TacCustomAppHookComponent::~TacCustomAppHookComponent() { UnhookAppMessages(); }

void TacCustomAppHookComponent::MessageBefore(TMessage& message, bool&) {
  if (message.Msg == WM_SHOWWINDOW && !IsDesigning() && !AppHooked()) HookAppMessages();
}

void TacCustomAppHookComponent::HookAppMessages() {
  if (AppHooked() || IsDesigning() || IsDestroying()) return;
  const HWND window = ApplicationWindow();
  if (!window) return;
  app_hook_ = std::make_unique<TAppHook>(*this);
  app_hooked_window_ = window;
  SetNativeHookChain(window, TNativeHookGroup::AppHooks, {app_hook_.get()});
}

void TacCustomAppHookComponent::UnhookAppMessages() {
  if (!AppHooked()) return;
  // A plain single subclass: one application hook per window at a time.
  SetNativeHookChain(app_hooked_window_, TNativeHookGroup::AppHooks, {});
  app_hooked_window_ = nullptr;
  app_hook_.reset();
}

void TacCustomAppHookComponent::TAppHook::HookMessage(HWND, TMessage& message, const TNativeHookNext& next) {
  TacCustomAppHookComponent& owner = owner_;
  bool handled = false;
  message.Result = 1;
  try {
    owner.AppMessageBefore(message, handled);
  } catch (...) {
    Application().HandleException(&owner);
  }
  if (!handled) next(message);
  if (!Alive(this) || owner.IsDestroying()) return;
  try {
    owner.AppMessageAfter(message);
  } catch (...) {
    Application().HandleException(&owner);
  }
}

// ---------------------------------------- TacHFormHookComponentWatchCaption

void TacHFormHookComponentWatchCaption::MessageAfter(TMessage& message) {
  TacCustomAppHookComponent::MessageAfter(message);
  if (message.Msg != WM_SETTEXT) return;
  const void* data = msg::SetTextData(message);
  if (!data) return;
  std::wstring text;
  if (IsWindowUnicode(WindowHandle())) {
    text = static_cast<const wchar_t*>(data);
  } else {
    const char* ansi = static_cast<const char*>(data);
    const int length = MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
    if (length > 0) {
      text.resize(static_cast<std::size_t>(length));
      MultiByteToWideChar(CP_ACP, 0, ansi, -1, text.data(), length);
      text.resize(static_cast<std::size_t>(length - 1));
    }
  }
  if (text == last_caption_) return;
  last_caption_ = std::move(text);
  PostMessageA(UtilityWindow(), AC_CAPTIONCHANGED, 0, 0);
}

void TacHFormHookComponentWatchCaption::WndProc(TMessage& message) {
  TacCustomAppHookComponent::WndProc(message);
  if (message.Msg == AC_CAPTIONCHANGED) OwnerCaptionChanged();
}

}  // namespace plx
