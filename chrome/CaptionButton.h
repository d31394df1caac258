#pragma once
// A push button painted into the native title bar of its form, left of the
// system buttons. It repaints itself after every frame repaint, claims the
// mouse in its rectangle by answering hit tests with its command id, tracks
// a press like a real button, shows a tooltip, and can mirror itself as an
// item of the form's window menu. Nothing is painted and no hit test is
// claimed while the window lacks a full native caption; the window-menu item
// keeps working then.

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "chrome/CaptionButtonShared.h"
#include "chrome/HookComponents.h"
#include "framework/Bitmap.h"
#include "framework/Graphics.h"

namespace plx {

enum class TacCaptionButtonStyle { cbsAuto, cbsWin9x, cbsWinXP };
using TacBtnOrder = short;  // -1 ... 32767

enum TacMenuSeparator : unsigned char { seBefore = 1, seAfter = 2 };
using TacMenuSeparators = unsigned char;  // a set of TacMenuSeparator bits

class TacCustomCaptionButton;

// The window-menu item of one caption button (with its separators).
class TacSystemMenu : public TPersistent {
 public:
  explicit TacSystemMenu(TacCustomCaptionButton& button) : button_(button) {}
  ~TacSystemMenu() override;

  bool ApplyToMenu() const { return apply_to_menu_; }
  void SetApplyToMenu(bool value);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  unsigned short Position() const { return position_; }
  void SetPosition(unsigned short value);
  TacMenuSeparators Separators() const { return separators_; }
  void SetSeparators(TacMenuSeparators value);
  bool ItemApplied() const { return item_applied_; }

  void ApplyMenuItem();
  void RemoveMenuItem();
  void UpdateMenuItem();
  void CheckMenuItem(bool checked);

 private:
  TacCustomCaptionButton& button_;
  bool apply_to_menu_ = false;
  std::string caption_;
  unsigned short position_ = 0;
  TacMenuSeparators separators_ = 0;
  bool item_applied_ = false;
};

// The button's published properties, grouped as one object of the layout.
class TacACaptionButton : public TPersistent {
 public:
  explicit TacACaptionButton(TacCustomCaptionButton& button) : button_(button) {}

  TacBtnOrder BtnOrder() const;
  void SetBtnOrder(TacBtnOrder value);
  short Cursor() const;
  void SetCursor(short value);
  short CursorDown() const;
  void SetCursorDown(short value);
  bool Enabled() const;
  void SetEnabled(bool value);
  const std::string& Hint() const;
  void SetHint(const std::string& value);
  int SeparatorWidth() const;
  void SetSeparatorWidth(int value);
  bool ShowHint() const;
  void SetShowHint(bool value);
  TacCaptionButtonStyle Style() const;
  void SetStyle(TacCaptionButtonStyle value);
  bool Visible() const;
  void SetVisible(bool value);
  TacCaptionButtonXPStyleColor XPStyleColor() const;
  void SetXPStyleColor(TacCaptionButtonXPStyleColor value);

 private:
  TacCustomCaptionButton& button_;
};

// Where the face was last computed, in window coordinates: Left and Right
// are the face's first and one-past-last columns, Top its first row, Extent
// its height less one.
struct TacButtonRect {
  int Left = 0, Top = 0, Right = 0, Extent = 0;
};

class TacCustomCaptionButton : public TacHFormHookComponentWatchCaption {
 public:
  explicit TacCustomCaptionButton(TComponent* owner);
  ~TacCustomCaptionButton() override;

  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

  bool AllowPress() const { return allow_press_; }
  void SetAllowPress(bool value);
  TacBtnOrder BtnOrder() const;  // index in its window's list
  void SetBtnOrder(TacBtnOrder value);
  TacACaptionButton& CaptionButton() { return *caption_button_; }
  short Cursor() const { return cursor_; }
  void SetCursor(short value) { cursor_ = value; }
  short CursorDown() const { return cursor_down_; }
  void SetCursorDown(short value) { cursor_down_ = value; }
  bool Down() const { return down_; }
  void SetDown(bool value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  TBitmap& Glyph() { return *glyph_; }
  void SetGlyph(const TBitmap& value);
  TBitmap& GlyphDown() { return *glyph_down_; }
  void SetGlyphDown(const TBitmap& value);
  bool GlyphTransparent() const { return glyph_transparent_; }
  void SetGlyphTransparent(bool value);
  bool GlyphUseBtnTextColor() const { return glyph_use_btn_text_color_; }
  void SetGlyphUseBtnTextColor(bool value);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& value);
  unsigned char SeparatorWidth() const { return separator_width_; }
  void SetSeparatorWidth(unsigned char value);
  bool ShowHint() const { return show_hint_; }
  void SetShowHint(bool value);
  char Sign() const { return sign_; }
  void SetSign(char value);
  TFont& SignFont() { return sign_font_; }
  void SetSignFont(const TFont& value);
  int SignLeft() const { return sign_left_; }
  void SetSignLeft(int value);
  int SignTop() const { return sign_top_; }
  void SetSignTop(int value);
  TacCaptionButtonStyle Style() const { return style_; }
  void SetStyle(TacCaptionButtonStyle value);
  TacSystemMenu& SystemMenu() { return *system_menu_; }
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  TacCaptionButtonXPStyleColor XPStyleColor() const { return xp_style_color_; }
  void SetXPStyleColor(TacCaptionButtonXPStyleColor value);

  TNotifyEvent OnButtonClick, OnMenuClick, OnClick, OnPressed, OnReleased, OnCaptionDblClick;

  // The button's hit-test code and window-menu command id.
  UINT CommandId() const { return command_id_; }
  int RightOffset() const { return right_offset_; }
  bool Tracking() const { return tracking_; }
  bool DrawnDown() const { return drawn_down_; }
  const TacButtonRect& ButtonRect() const { return button_rect_; }
  bool TooltipAdded() const { return tooltip_added_; }

  void UpdateBtnOrder(TacBtnOrder order);
  void RecalculatePlacements(bool refresh);
  void RefreshButton() { RefreshButtonState(down_); }
  void RefreshButtonState(bool down);
  void CreateTooltip();
  void DestroyTooltip();
  void SetToolTipInfo();

 protected:
  virtual void BeforeButtonClick() {}
  virtual void ButtonClick();
  virtual void BeforeMenuClick() {}
  virtual void MenuClick();
  virtual void Click();
  virtual void Pressed();
  virtual void Released();

  void MessageBefore(TMessage& message, bool& handled) override;
  void MessageAfter(TMessage& message) override;
  void FormRecreate() override;
  void OwnerCaptionChanged() override { RefreshButton(); }

 private:
  void FontChanged();
  void HitTest(TMessage& message);
  void ButtonDown(TMessage& message);
  void ButtonUp();
  void MouseMove(TMessage& message);
  void SystemCommand(TMessage& message);
  void RelayToTooltip(const TMessage& message);
  bool IsToolWindow() const;
  bool HasMenuBar() const;
  // The window wears the platform's full caption, where the buttons live.
  bool HasFullCaption() const;
  void Fire(const TNotifyEvent& event) {
    if (event) event(this);
  }

  bool allow_press_ = false;
  TacBtnOrder loaded_btn_order_ = -1;
  std::unique_ptr<TacACaptionButton> caption_button_;
  short cursor_ = 0, cursor_down_ = 0;
  bool down_ = false;
  bool enabled_ = true;
  std::unique_ptr<TBitmap> glyph_, glyph_down_;
  bool glyph_transparent_ = true;
  bool glyph_use_btn_text_color_ = true;
  std::string hint_;
  unsigned char separator_width_ = 0;
  bool show_hint_ = true;
  char sign_ = 'A';
  TFont sign_font_;
  int sign_left_ = 0, sign_top_ = 0;
  TacCaptionButtonStyle style_ = TacCaptionButtonStyle::cbsAuto;
  std::unique_ptr<TacSystemMenu> system_menu_;
  bool visible_ = true;
  TacCaptionButtonXPStyleColor xp_style_color_ = TacCaptionButtonXPStyleColor::xpcBlue;
  bool tooltip_added_ = false;
  UINT command_id_ = 0;
  int right_offset_ = 0;
  bool tracking_ = false;
  bool drawn_down_ = false;
  TacButtonRect button_rect_;
  TTTOOLINFOA tool_info_{};
};

// The caption button with its properties published.
class TacCaptionButton : public TacCustomCaptionButton {
 public:
  using TacCustomCaptionButton::TacCustomCaptionButton;
};

// The caption buttons of one window, index 0 nearest the system buttons
// (for tests and placement).
int CaptionButtonCount(HWND window);
TacCustomCaptionButton* CaptionButtonAt(HWND window, int index);

}  // namespace plx
