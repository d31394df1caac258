#pragma once
// Controls: TControl (bounds, visibility, font, events) and TWinControl, which
// owns a native window created on demand. Every message of the window passes
// through the replaceable WindowProc slot, which defaults to the virtual
// WndProc and ends in the native class procedure (DefaultHandler).
//
// Windows sends some notifications to a parent about a child (WM_COMMAND,
// WM_DRAWITEM, WM_MEASUREITEM, WM_CTLCOLOR*). The parent reflects them to the
// child's object as CN_BASE + message, so each control handles its own.

#include <windows.h>

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

// Reflected notifications: CN_BASE + the original message number.
inline constexpr UINT CN_BASE = 0xBC00;
inline constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
inline constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
inline constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
inline constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
inline constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
inline constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
inline constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;

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

  // The message slot: replace it to see every message first; call the
  // previous slot to pass a message on.
  TWndMethod WindowProc;

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
  void ApplyFont();
  HBRUSH BackgroundBrush();

  HWND handle_ = nullptr;
  WNDPROC class_default_proc_ = nullptr;  // the native class's procedure
  std::vector<TControl*> controls_;       // children (borrowed)
  TOwnedBrush background_brush_;          // in Color, for WM_CTLCOLOR answers
  TColor background_brush_color_ = clNone;
  bool recreating_ = false;
};

// The framework's window procedure, shared by every window class it
// registers. It finds the object bound to the window and sends the message
// through its WindowProc; exceptions go to the application's handler.
LRESULT CALLBACK StandardWindowProc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam);

}  // namespace plx
