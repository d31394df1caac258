#pragma once
// The hook component class chain: non-visual components that see the native
// messages of a form's window before and after the form's own procedure
// (through the process-wide hook list, chrome/HookList.h), keep the form's
// always-on-top state, own a utility window for deferred work, may hook the
// application window, and may watch the form's caption.

#include <windows.h>

#include <memory>
#include <string>

#include "chrome/NativeHooks.h"
#include "chrome/UtilityWindow.h"
#include "framework/Component.h"
#include "framework/Controls.h"
#include "framework/Forms.h"

namespace plx {

class TacHookList;

class TacComponent : public TComponent {
 public:
  // The served control is the owner when the owner is a windowed control.
  explicit TacComponent(TComponent* owner);

  // Shown in the designer only; never stored.
  const std::string& About() const { return about_; }
  void SetAbout(const std::string&) {}

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* control);
  virtual TForm* GetParentForm() const;
  virtual void SetParentForm(TForm* form);

  // Restores the parent form's window and brings it to the front.
  void ShowParentForm();
  std::string GetParentFormCaption() const;
  void SetParentFormCaption(const std::string& text);

 protected:
  // A message hook for subclasses; the base does nothing.
  virtual void MessageHookProc(TMessage&) {}
  void StoreParent(TWinControl* control) { parent_ = control; }

 private:
  std::string about_;
  TWinControl* parent_ = nullptr;  // borrowed
};

// Hooked on its parent's native window from construction to destruction.
// TacComponent comes first: the component's address is its TComponent's,
// which the framework's destroying delete relies on.
class TacFormHookComponent : public TacComponent, public TNativeHook {
 public:
  // owner must be a windowed control (EInvalidOperation otherwise); it is the
  // served control. Creates the control's window if it has none yet.
  explicit TacFormHookComponent(TComponent* owner);
  // Serves control, whatever the owner is.
  TacFormHookComponent(TComponent* owner, TWinControl* control);
  ~TacFormHookComponent() override;

  // Moving to another control unhooks and hooks again, last in the list.
  void SetParent(TWinControl* control) override;
  // A parent that goes before us takes our hook with it.
  void Notification(TComponent* component, TOperation operation) override;

  HWND WindowHandle() const { return window_handle_; }
  bool Hooked() const { return hooked_; }

  virtual HMENU GetSystemMenuHandle();
  LONG_PTR GetWindowStyle() const;
  void SetWindowStyle(LONG_PTR value);
  LONG_PTR GetWindowExStyle() const;
  void SetWindowExStyle(LONG_PTR value);
  // Makes the system recompute and repaint the frame.
  void RefreshNCArea();
  void SetZOrder(HWND insertAfter);

  // The window's real WS_EX_TOPMOST state, whoever set it.
  bool GetTopmost() const;
  // Moves the window in the z-order and sends AC_TOPMOSTCHANGED, unless it
  // already has the requested state.
  void SetTopmost(bool value);
  bool TopmostValue() const { return topmost_value_; }

 protected:
  // Before the inner procedures: set handled to stop the message there.
  virtual void MessageBefore(TMessage&, bool& /*handled*/) {}
  // After them (also for a message a hook has handled).
  virtual void MessageAfter(TMessage&) {}
  // The served window was destroyed and created again, and this hook now
  // sits on the new one.
  virtual void FormRecreate();
  // AC_TOPMOSTCHANGED reached this hook.
  virtual void TopmostChanged(bool topmost);

 private:
  friend class TacHookList;
  void HookMessage(HWND window, TMessage& message, const TNativeHookNext& next) final;
  void AttachToList();
  void WatchParentHandle();
  void StopWatchingParentHandle();

  HWND window_handle_ = nullptr;  // borrowed: the window hooked last
  TWinControl* watched_parent_ = nullptr;  // borrowed: whose handle events we hear
  THookToken handle_events_token_ = 0;
  bool hooked_ = false;
  bool topmost_value_ = false;
};

// With a hidden utility window whose messages reach WndProc.
class TacHFormHookComponent : public TacFormHookComponent {
 public:
  explicit TacHFormHookComponent(TComponent* owner);
  TacHFormHookComponent(TComponent* owner, TWinControl* control);
  ~TacHFormHookComponent() override;

  HWND UtilityWindow() const { return utility_window_ ? utility_window_->Handle() : nullptr; }

 protected:
  virtual void WndProc(TMessage& message);

 private:
  std::unique_ptr<TUtilityWindow> utility_window_;
};

// The window that stands for the application: the main form's window (the
// framework has no separate hidden application window); nullptr while there
// is none.
HWND ApplicationWindow();

// Can subclass the application window too, once the form is first shown. A
// subclass that overrides MessageBefore without calling this class's version
// never does.
class TacCustomAppHookComponent : public TacHFormHookComponent {
 public:
  using TacHFormHookComponent::TacHFormHookComponent;
  ~TacCustomAppHookComponent() override;

  bool AppHooked() const { return app_hooked_window_ != nullptr; }

 protected:
  void MessageBefore(TMessage& message, bool& handled) override;
  virtual void AppMessageBefore(TMessage&, bool& /*handled*/) {}
  virtual void AppMessageAfter(TMessage&) {}
  virtual void HookAppMessages();
  virtual void UnhookAppMessages();

 private:
  class TAppHook final : public TNativeHook {
   public:
    explicit TAppHook(TacCustomAppHookComponent& owner) : owner_(owner) {}
    void HookMessage(HWND window, TMessage& message, const TNativeHookNext& next) override;

   private:
    TacCustomAppHookComponent& owner_;
  };
  std::unique_ptr<TAppHook> app_hook_;
  HWND app_hooked_window_ = nullptr;  // borrowed
};

// Tells OwnerCaptionChanged, through the utility window, after the served
// form's caption text has changed and the change has been fully handled.
class TacHFormHookComponentWatchCaption : public TacCustomAppHookComponent {
 public:
  using TacCustomAppHookComponent::TacCustomAppHookComponent;

  const std::wstring& LastCaption() const { return last_caption_; }

 protected:
  void MessageAfter(TMessage& message) override;
  void WndProc(TMessage& message) override;
  virtual void OwnerCaptionChanged() = 0;

 private:
  std::wstring last_caption_;
};

}  // namespace plx
