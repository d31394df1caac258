#pragma once
// The process-wide list of live hook components. For every hooked window the
// components on it, taken in list order, form its chain: the oldest is
// innermost (next to the window's own procedure), the newest outermost. The
// chain is always rebuilt from the list, never restored from one hook's saved
// state, so components may go in any order.

#include <windows.h>

#include <memory>
#include <vector>

#include "chrome/UtilityWindow.h"

namespace plx {

class TacFormHookComponent;

class TacHookList {
 public:
  // The one list, or nullptr while no hook component exists.
  static TacHookList* Instance();

  // Appends the component and hooks it on its parent's window.
  void AddComponent(TacFormHookComponent* component);
  // Takes the component out and chains the window's remaining hooks again.
  void RemoveComponent(TacFormHookComponent* component);
  // Hooks the component on its parent's current window (creating it if needed).
  void HookComponent(TacFormHookComponent* component);
  // Marks the component unhooked, keeping the handle it was hooked on.
  void ReleaseComponent(TacFormHookComponent* component);
  // Chains every hooked component of window, in list order. Only a window
  // our chain is already on is touched, unless install is set: a window that
  // is gone may have handed its handle to a window that is not ours.
  void RebuildChain(HWND window, bool install = false);
  // The hooks of old_window go to the window their parent has now, in their
  // list order, each told by FormRecreate right after its own re-attachment.
  void Reattach(HWND oldWindow);

  bool Contains(const TacFormHookComponent* component) const;
  int Count() const { return static_cast<int>(components_.size()); }
  TacFormHookComponent* Items(int index) const { return components_.at(static_cast<std::size_t>(index)); }
  // The oldest hooked component on window, or nullptr.
  TacFormHookComponent* InnermostOn(HWND window) const;
  HWND ListWindow() const { return list_window_.Handle(); }

 private:
  friend class TacFormHookComponent;
  TacHookList();
  static std::unique_ptr<TacHookList>& Slot();
  void ListWndProc(TMessage& message);

  std::vector<TacFormHookComponent*> components_;  // borrowed, in order of addition
  TUtilityWindow list_window_;
};

}  // namespace plx
