#pragma once
// Skinned push buttons. TkivCustomButton draws itself entirely from a face
// strip of three frames (normal, mouse on, pressed) nine-sliced to its size,
// over its parent's background when Transparent, with a centred caption; it
// handles the keyboard (Space, Enter, default and cancel), a modal result
// and an auto-repeat event while the left mouse button is held. TkivButton
// adds a glyph beside the caption.

#include <memory>
#include <string>
#include <vector>

#include "framework/Bitmap.h"
#include "framework/StdCtrls.h"
#include "skin/SkinDraw.h"
#include "skin/UIStyle.h"

namespace plx {

class TkivFileTheme;

enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
using enum TButtonLayout;

class TkivCustomButton : public TCustomControl {
 public:
  explicit TkivCustomButton(TComponent* owner);
  ~TkivCustomButton() override;

  // The look: built-in style or, with FromThemeFile and a ready theme, the
  // skin. A style change also sets Transparent and the caption colour.
  TkivUIStyle UIStyle() const { return ui_style_; }
  void SetUIStyle(TkivUIStyle value);
  TkivFileTheme* FileTheme() const { return file_theme_; }
  void SetFileTheme(TkivFileTheme* value);

  // The size follows the style's face strip: one frame wide, as high.
  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool value);
  // Escape clicks a Cancel button; Enter clicks a Default button while no
  // other skinned push button has the focus.
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  bool Default() const { return default_; }
  void SetDefault(bool value);
  // The parent's background shows around the face, and the face strip's
  // magenta is see-through.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  // Written to the parent form on every click (0 too).
  int ModalResult() const { return modal_result_; }
  void SetModalResult(int value) { modal_result_ = value; }
  // Inset of the dotted focus rectangle.
  int FocusedRectMargin() const { return focused_rect_margin_; }
  void SetFocusedRectMargin(int value);
  // Milliseconds between OnMouseContinuouslyDown events; 0 or less: none.
  int MouseContinuouslyDownInterval() const { return repeat_interval_; }
  void SetMouseContinuouslyDownInterval(int value) { repeat_interval_ = value; }
  bool TabStop() const { return tab_stop_; }
  void SetTabStop(bool value);
  // Always 0; writing does nothing.
  unsigned ResHandle() const { return 0; }
  void SetResHandle(unsigned) {}

  void SetCaption(std::string value) override;
  void SetEnabled(bool value) override;

  // What the button shows now.
  bool MouseOn() const { return mouse_on_; }
  bool Pressed() const { return pressed_; }
  bool RepeatTimerRunning() const { return repeat_timer_ != 0; }

  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseExit;
  TNotifyEvent OnMouseContinuouslyDown;

  void Notification(TComponent* component, TOperation operation) override;
  const TPropertyTable* PublishedProperties() const override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;
  void Paint() override;
  void MouseEnter() override;
  void MouseLeave() override;
  void Click() override;
  void FontChanged() override;

  // One face frame each, into bitmap.
  virtual void PaintButtonNormal(TBitmap& bitmap);
  virtual void PaintButtonMouseOn(TBitmap& bitmap);
  virtual void PaintButtonMouseDown(TBitmap& bitmap);
  virtual void PaintButtonDisabled(TBitmap& bitmap);
  // The face over the whole client area (and, in TkivButton, the glyph).
  virtual void PaintPic(TCanvas& canvas, TBitmap& face);
  virtual void PaintFocus(TCanvas& canvas);
  virtual void PaintText(TCanvas& canvas);
  virtual void UIStyleChanged();
  virtual void AutoSizeChanged();
  virtual void CaptionChanged() { Invalidate(); }
  virtual void EnableChanged() { Invalidate(); }
  virtual void TransparentChanged() { Invalidate(); }

  // Frame index of count of the face strip: the skin's SKIN2_BUTTON, or the
  // built-in item of the effective style.
  void PaintButton(int item, int count, TBitmap& bitmap, int index);

  // Whether this paint draws the caption bold (the focus mark of MacOS and
  // BlueGlass) and whether the dotted rectangle marks the focus instead.
  bool BoldCaption() const { return bold_once_; }
  // The caption's font for this paint on canvas.
  void PrepareCaptionFont(TCanvas& canvas);
  // Draws text at its place, pressed and disabled looks included.
  void DrawCaptionText(TCanvas& canvas, const std::string& text, TRect rect, UINT format);

 private:
  void ComposeFace(TCanvas& canvas);
  void PaintBackground(TCanvas& canvas);
  void StartRepeat();
  void StopRepeat();
  void SetLook(bool mouseOn, bool pressed);
  bool CanFocusNow();
  bool HandleDialogKey(UINT key);
  // Inside the client area, the right and bottom edges counted as inside.
  static bool InsideCountingEdges(POINT point, int width, int height);

  TkivUIStyle ui_style_;
  TkivFileTheme* file_theme_ = nullptr;  // borrowed
  // The built-in faces cut from their strip, kept for the style and strip
  // they were cut from (loading the strip is the costly part of a paint);
  // a face of another style or strip drops them all.
  struct TFaceKey {
    TkivUIStyle style{};
    int item = -1;
    int count = 0;
    bool operator==(const TFaceKey&) const = default;
  };
  TFaceKey faces_for_;
  std::vector<std::unique_ptr<TBitmap>> strip_faces_;  // by frame index
  bool auto_size_ = false;
  bool cancel_ = false;
  bool default_ = false;
  bool transparent_ = false;
  int modal_result_ = 0;
  int focused_rect_margin_ = 2;
  int repeat_interval_ = 100;
  bool tab_stop_ = true;

  bool mouse_on_ = false;
  bool pressed_ = false;
  bool click_armed_ = false;     // a left press began on the button
  bool key_pressed_ = false;     // pressed by Space or Enter
  bool bold_once_ = false;
  TSpitDrawCache faces_;
  UINT_PTR repeat_timer_ = 0;
};

class TkivButton : public TkivCustomButton {
 public:
  explicit TkivButton(TComponent* owner);
  ~TkivButton() override;

  // A picture beside the caption; twice as wide as high it holds an enabled
  // and a disabled image. Owned by the button.
  TBitmap& Glyph() { return *glyph_; }
  void SetGlyph(const TBitmap& value);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout value);
  int Spacing() const { return spacing_; }
  void SetSpacing(int value);

  const TPropertyTable* PublishedProperties() const override;

 protected:
  void PaintPic(TCanvas& canvas, TBitmap& face) override;
  void PaintText(TCanvas& canvas) override;

 private:
  // Where glyph and caption go for the present layout.
  void PlaceGlyphAndCaption(TCanvas& canvas, TPoint& glyphAt, TPoint& captionAt);

  std::unique_ptr<TBitmap> glyph_;
  TButtonLayout layout_ = blGlyphLeft;
  int spacing_ = 4;
  // The caption's place, computed with the glyph's in the same paint (in the
  // caption's normal weight): a caption drawn bold for the focus keeps it.
  TPoint caption_at_;
};

}  // namespace plx
