#pragma once
// Controls: TControl (bounds, visibility, font, events) and TWinControl, which
// owns a native window created on demand. Every message of the window passes
// through WindowProc: a chain of hooks that other components add and remove
// by token, ending in the virtual WndProc and the native class procedure
// (DefaultHandler).
//
// Message order on a window, outermost first:
//   1. native GWL_WNDPROC subclasses (installed by anyone, in any order),
//   2. StandardWindowProc, the framework's procedure for its window classes,
//   3. the WindowProc hooks, the one added last first,
//   4. the virtual WndProc of the most derived class, down to TWinControl,
//   5. the native class procedure (superclassed controls) or DefWindowProc.
// A native subclass therefore sees every message before any framework hook,
// and removing either kind of hook never disturbs the other chain.
//
// Windows sends some notifications to a parent about a child (WM_COMMAND,
// WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_VKEYTOITEM, WM_CHARTOITEM,
// WM_CTLCOLOR*). The parent reflects them to the child's object as
// CN_BASE + message, so each control handles its own.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/GdiHandles.h"
#include "framework/Types.h"

namespace plx {

class TFont;
class TWinControl;

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

using TWndMethod = std::function<void(TMessage&)>;
// A hook on a control's message chain: handle the message, or pass it on by
// calling next (any number of times, or not at all).
using TWndHook = std::function<void(TMessage& message, const TWndMethod& next)>;
// Identifies a hook or a subscription for its removal; never 0.
using THookToken = std::uint64_t;

// The two moments in a native window's life that attachments follow.
enum class THandleEvent {
  Created,     // the window exists, its object is bound, its state is restored
  Destroying,  // the window still exists and is about to be destroyed
};
using THandleListener = std::function<void(THandleEvent event)>;

// Reflected notifications: CN_BASE + the original message number.
inline constexpr UINT CN_BASE = 0xBC00;
inline constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
inline constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
inline constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
inline constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
inline constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
inline constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
inline constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
inline constexpr UINT CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR;
inline constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
// A list box with LBS_WANTKEYBOARDINPUT asks about keys; answer -1 for the
// list's own handling, -2 for "done", or the index of an entry to act on.
inline constexpr UINT CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM;
inline constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM;

// What a control asks of CreateWindowEx. ClassName is the framework's own
// window class; NativeClass, when set, is the system class it extends
// ("EDIT", "LISTBOX", ...), whose procedure ends every message.
struct TCreateParams {
  std::string Caption;
  DWORD Style = WS_CHILD | WS_CLIPSIBLINGS;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;  // borrowed
  std::string ClassName;
  std::string NativeClass;
  UINT ClassStyle = CS_DBLCLKS;
};

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int value) { SetBounds(value, top_, width_, height_); }
  void SetTop(int value) { SetBounds(left_, value, width_, height_); }
  void SetWidth(int value) { SetBounds(left_, top_, value, height_); }
  void SetHeight(int value) { SetBounds(left_, top_, width_, value); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
  virtual TRect ClientRect();
  int ClientWidth() { return ClientRect().Width(); }
  int ClientHeight() { return ClientRect().Height(); }

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool value);
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool value);
  const std::string& Caption() const { return caption_; }
  virtual void SetCaption(std::string value);
  TColor Color() const { return color_; }
  virtual void SetColor(TColor value);
  TFont& Font() { return *font_; }
  bool ParentFont() const { return parent_font_; }
  void SetParentFont(bool value);
  int TabOrder() const { return tab_order_; }
  void SetTabOrder(int value) { tab_order_ = value; }

  // Sends a message through WindowProc and answers its result.
  LRESULT Perform(UINT msg, WPARAM wparam = 0, LPARAM lparam = 0);

  // Runs a message through the hooks, the hook added last first, and then
  // through WndProc.
  void WindowProc(TMessage& message);
  // Hooks may be added and removed in any order, also while a message is
  // passing through them: a removed hook is skipped from then on, and the
  // message goes on to the next older one.
  THookToken AddWindowProcHook(TWndHook hook);
  void RemoveWindowProcHook(THookToken token);

  TNotifyEvent OnClick;

  const TPropertyTable* PublishedProperties() const override;

 protected:
  virtual void WndProc(TMessage& message);
  // The end of the chain: the native class procedure, or nothing.
  virtual void DefaultHandler(TMessage& message);
  virtual void Click();
  virtual void FontChanged();
  virtual void Invalidate() {}

 private:
  friend class TWinControl;
  struct THookEntry {
    THookToken token;
    std::shared_ptr<const TWndHook> hook;
  };
  // Passes message to the newest hook older than `below` (0: the newest),
  // or to WndProc when there is none.
  void CallHooksBelow(TMessage& message, THookToken below);
  std::vector<THookEntry> hooks_;  // oldest first
  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  bool parent_font_ = true;
  std::string caption_;
  TColor color_ = clBtnFace;
  std::unique_ptr<TFont> font_;
  int tab_order_ = -1;
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  // The native window, created (with the parent's) when first asked for.
  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  void HandleNeeded() { Handle(); }
  // Destroys the native window and creates it again; the object's state
  // (bounds, text, items) lives on.
  void RecreateWnd();
  void DestroyHandle();

  // Called with Created after every creation of the native window (also
  // after RecreateWnd) and with Destroying before every destruction, while
  // the window is still valid. Whatever a component attaches to the native
  // window (a subclass, a property, z-order, a timer) it attaches on Created
  // and takes away on Destroying, so a re-created window carries it again.
  THookToken SubscribeHandleEvents(THandleListener listener);
  void UnsubscribeHandleEvents(THookToken token);

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const { return controls_.at(static_cast<std::size_t>(index)); }

  void SetBounds(int left, int top, int width, int height) override;
  TRect ClientRect() override;
  void SetVisible(bool value) override;
  void SetEnabled(bool value) override;
  void SetCaption(std::string value) override;
  void SetColor(TColor value) override;

  void SetFocus();
  bool Focused();
  void Invalidate() override;
  void Update();
  void Repaint() { Invalidate(); Update(); }
  TPoint ScreenToClient(TPoint point);
  TPoint ClientToScreen(TPoint point);

  // The object bound to a native window by the framework, or nullptr.
  static TWinControl* FromHandle(HWND window);

 protected:
  virtual void CreateParams(TCreateParams& params);
  virtual void CreateWnd();
  virtual void DestroyWnd();
  // After the window exists: the place to push state into it.
  virtual void CreateHandleDone() {}
  // Before the window goes: the place to save state out of it.
  virtual void SaveStateBeforeDestroy() {}
  // The window goes here, while every part of the object is alive.
  void BeforeDestruction() override;
  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;
  // Fills the background in Color; answers whether it painted.
  virtual bool EraseBackground(HDC dc);
  void FontChanged() override;

 private:
  friend class TControl;
  friend LRESULT CALLBACK StandardWindowProc(HWND, UINT, WPARAM, LPARAM);
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  bool ReflectToChild(TMessage& message);
  void BindNativeWindow(HWND window);
  void HandleNcDestroy();
  void NotifyHandleEvent(THandleEvent event);
  void ApplyFont();
  HBRUSH BackgroundBrush();

  HWND handle_ = nullptr;
  WNDPROC class_default_proc_ = nullptr;  // the native class's procedure
  std::vector<TControl*> controls_;       // children (borrowed)
  TOwnedBrush background_brush_;          // in Color, for WM_CTLCOLOR answers
  TColor background_brush_color_ = clNone;
  bool destroying_announced_ = false;  // Destroying sent for this window
  std::vector<std::pair<THookToken, std::shared_ptr<const THandleListener>>> handle_listeners_;
};

// The framework's window procedure, shared by every window class it
// registers. It finds the object bound to the window and sends the message
// through its WindowProc; exceptions go to the application's handler.
LRESULT CALLBACK StandardWindowProc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam);

}  // namespace plx
