#include "chrome/HookList.h"

#include <algorithm>

#include "chrome/ChromeMessages.h"
#include "chrome/HookComponents.h"
#include "chrome/NativeHooks.h"
#include "framework/Application.h"

namespace plx {

std::unique_ptr<TacHookList>& TacHookList::Slot() {
  static std::unique_ptr<TacHookList> list;
  return list;
}

TacHookList* TacHookList::Instance() { return Slot().get(); }

TacHookList::TacHookList() : list_window_([this](TMessage& message) { ListWndProc(message); }) {}

void TacHookList::AddComponent(TacFormHookComponent* component) {
  components_.push_back(component);
  HookComponent(component);
}

void TacHookList::RemoveComponent(TacFormHookComponent* component) {
  const HWND window = component->window_handle_;
  components_.erase(std::remove(components_.begin(), components_.end(), component), components_.end());
  component->hooked_ = false;
  if (window && window != reinterpret_cast<HWND>(-1)) RebuildChain(window);
  ReleaseComponent(component);
}

void TacHookList::HookComponent(TacFormHookComponent* component) {
  TWinControl* parent = component->Parent();
  if (!parent) return;
  component->window_handle_ = parent->Handle();
  component->hooked_ = true;
  RebuildChain(component->window_handle_, true);
}

void TacHookList::ReleaseComponent(TacFormHookComponent* component) { component->hooked_ = false; }

void TacHookList::RebuildChain(HWND window, bool install) {
  if (!install && !NativeHooksInstalled(window, TNativeHookGroup::FormHooks)) return;
  std::vector<TNativeHook*> chain;
  for (TacFormHookComponent* component : components_)
    if (component->window_handle_ == window && component->hooked_) chain.push_back(component);
  SetNativeHookChain(window, TNativeHookGroup::FormHooks, chain);
}

void TacHookList::Reattach(HWND oldWindow) {
  std::vector<TacFormHookComponent*> moving;
  for (auto it = components_.rbegin(); it != components_.rend(); ++it)
    if ((*it)->window_handle_ == oldWindow) ReleaseComponent(*it);
  // Whatever is left of the old window (if it still exists) loses our chain.
  RebuildChain(oldWindow);
  for (TacFormHookComponent* component : components_)
    if (component->window_handle_ == oldWindow) moving.push_back(component);
  for (TacFormHookComponent* component : moving) {
    if (!Contains(component) || component->window_handle_ != oldWindow) continue;
    TWinControl* parent = component->Parent();
    // A parent on its way out gets no new window made for it.
    if (!parent || parent->IsDestroying() || component->IsDestroying()) continue;
    try {
      // Creating the new window may already have moved every hook over,
      // through the control's handle-created moment.
      parent->HandleNeeded();
      if (Instance() != this) return;
      if (!Contains(component) || component->window_handle_ != oldWindow) continue;
      HookComponent(component);
      component->FormRecreate();
    } catch (...) {
      Application().HandleException(component);
    }
    if (Instance() != this) return;  // the last component went in FormRecreate
  }
}

bool TacHookList::Contains(const TacFormHookComponent* component) const {
  return std::find(components_.begin(), components_.end(), component) != components_.end();
}

TacFormHookComponent* TacHookList::InnermostOn(HWND window) const {
  for (TacFormHookComponent* component : components_)
    if (component->hooked_ && component->window_handle_ == window) return component;
  return nullptr;
}

void TacHookList::ListWndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_QUERYENDSESSION:
      message.Result = 1;
      return;
    case AC_REHOOK:
      if (!components_.empty()) Reattach(msg::RehookedWindow(message));
      return;
    default:
      message.Result = DefWindowProcA(list_window_.Handle(), message.Msg, message.WParam, message.LParam);
      return;
  }
}

}  // namespace plx
