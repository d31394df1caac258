#include "skin/SkinButton.h"

#include <algorithm>

#include "framework/Accessible.h"
#include "framework/Forms.h"
#include "framework/MessageDecoders.h"
#include "framework/Properties.h"
#include "skin/FileTheme.h"
#include "skin/SkinButtonAccessible.h"
#include "skin/SkinDraw.h"

namespace plx {

namespace {

constexpr UINT_PTR kRepeatTimerId = 1;
constexpr int kFaceFrames = 3;
constexpr int kFrameNormal = 1, kFrameMouseOn = 2, kFramePressed = 3, kFrameDisabled = 1;
// The size an unobtainable face counts as.
constexpr int kEmptyFaceWidth = 74, kEmptyFaceHeight = 21;
constexpr TColor kDisabledTextShadow = clWhite;
constexpr TColor kDisabledText = 0x00808080;
// A new push button's size.
constexpr int kButtonWidth = 80, kButtonHeight = 27;

TForm* ParentForm(TControl* control) {
  for (TWinControl* p = control->Parent(); p != nullptr; p = p->Parent())
    if (auto* form = dynamic_cast<TForm*>(p)) return form;
  return nullptr;
}

bool IsBlank(const std::string& text) {
  return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

bool ModifierHeld() {
  return (GetKeyState(VK_SHIFT) & 0x8000) || (GetKeyState(VK_CONTROL) & 0x8000) || (GetKeyState(VK_MENU) & 0x8000);
}

}  // namespace

// -------------------------------------------------------------- TkivCustomButton

TkivCustomButton::TkivCustomButton(TComponent* owner) : TCustomControl(owner), ui_style_(GetKIVFormStyle(owner)) {
  TkivCustomButton::UIStyleChanged();
}

TkivCustomButton::~TkivCustomButton() {
  if (file_theme_ != nullptr) file_theme_->RemoveFreeNotification(this);
}

void TkivCustomButton::SetUIStyle(TkivUIStyle value) {
  if (ui_style_ == value) return;
  ui_style_ = value;
  UIStyleChanged();
  Invalidate();
}

void TkivCustomButton::SetFileTheme(TkivFileTheme* value) {
  if (file_theme_ == value) return;
  if (file_theme_ != nullptr) file_theme_->RemoveFreeNotification(this);
  file_theme_ = value;
  if (file_theme_ != nullptr) file_theme_->FreeNotification(this);
  UIStyleChanged();
  Invalidate();
}

void TkivCustomButton::UIStyleChanged() {
  TkivUIStyle effective{};
  if (UsingFileTheme(file_theme_, ui_style_, effective)) {
    SetTransparent(file_theme_->GetBool(SKIN2_BUTTONTRANS));
    Font().SetColor(file_theme_->GetColor(SKIN2_BUTTONFONTCOLOR));
  } else {
    SetTransparent(GetInsideThemeBool(effective, kivItemButtonTransparent));
    Font().SetColor(clBlack);
  }
  if (auto_size_) AutoSizeChanged();
}

void TkivCustomButton::SetAutoSize(bool value) {
  if (auto_size_ == value) return;
  auto_size_ = value;
  AutoSizeChanged();
}

void TkivCustomButton::AutoSizeChanged() {
  if (!auto_size_) return;
  // The built-in strip of the button's own style; a skin is not consulted.
  TBitmap strip;
  GetInsideThemeBitmap(ui_style_, kivItemButtonFace, strip);
  const int width = strip.Empty() ? kEmptyFaceWidth : strip.Width();
  const int height = strip.Empty() ? kEmptyFaceHeight : strip.Height();
  SetBounds(Left(), Top(), width / kFaceFrames, height);
}

void TkivCustomButton::SetDefault(bool value) {
  if (default_ == value) return;
  default_ = value;
  Invalidate();
}

void TkivCustomButton::SetTransparent(bool value) {
  if (transparent_ == value) return;
  transparent_ = value;
  TransparentChanged();
}

void TkivCustomButton::SetFocusedRectMargin(int value) {
  if (focused_rect_margin_ == value) return;
  focused_rect_margin_ = value;
  Invalidate();
}

void TkivCustomButton::SetTabStop(bool value) {
  if (tab_stop_ == value) return;
  tab_stop_ = value;
  if (HandleAllocated()) {
    const LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE);
    SetWindowLongPtrA(Handle(), GWL_STYLE, value ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP)));
  }
}

void TkivCustomButton::SetCaption(std::string value) {
  if (value == Caption()) return;
  TCustomControl::SetCaption(std::move(value));
  CaptionChanged();
  if (HandleAllocated()) NotifyAccessible(EVENT_OBJECT_NAMECHANGE, Handle());
}

void TkivCustomButton::SetEnabled(bool value) {
  if (value == Enabled()) return;
  TCustomControl::SetEnabled(value);
  if (!value) {
    StopRepeat();
    SetLook(false, false);
  }
  EnableChanged();
  if (HandleAllocated()) NotifyAccessible(EVENT_OBJECT_STATECHANGE, Handle());
}

void TkivCustomButton::FontChanged() {
  TCustomControl::FontChanged();
  Invalidate();
}

void TkivCustomButton::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component != nullptr && component == file_theme_) {
    file_theme_ = nullptr;
    ui_style_ = kivFallbackStyle;
    UIStyleChanged();
    Invalidate();
  }
}

void TkivCustomButton::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.ClassName = "PlexoriaSkinButton";
  if (tab_stop_) params.Style |= WS_TABSTOP;
}

// ------------------------------------------------------------------- Messages

bool TkivCustomButton::InsideCountingEdges(POINT point, int width, int height) {
  const int x = point.x, y = point.y;
  // The right and bottom edges still count as inside.
  return x >= 0 && y >= 0 && x <= width && y <= height;
}

bool TkivCustomButton::CanFocusNow() {
  return tab_stop_ && Enabled() && Visible() && HandleAllocated() && IsWindowEnabled(Handle()) && IsWindowVisible(Handle());
}

void TkivCustomButton::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_GETDLGCODE: {
      // Enter reaches a focused button as a key; Space always does. DLGC_BUTTON
      // lets the dialog manager click it for its "&" accelerator (BM_CLICK).
      const MSG* msg = msg::DialogCodeQuery(message);
      message.Result = DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
      if (msg != nullptr && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) message.Result |= DLGC_WANTMESSAGE;
      return;
    }
    case WM_GETOBJECT:
      if (AnswerAccessibleClient(message, Handle(), [this] { return NewSkinButtonAccessible(Handle()); })) return;
      break;
    case BM_CLICK:
      if (Enabled() && Visible() && (Parent() == nullptr || Parent()->Enabled())) Click();
      message.Result = 0;
      return;
    case CM_DIALOGKEY:
      message.Result = HandleDialogKey(msg::Key(message)) ? 1 : 0;
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:  // a double click is a second click
      click_armed_ = true;
      SetCapture(Handle());
      StartRepeat();
      if (CanFocusNow() && GetFocus() != Handle()) ::SetFocus(Handle());  // a refusal is simply ignored
      SetLook(true, true);
      message.Result = 0;
      return;
    case WM_LBUTTONUP: {
      const bool armed = click_armed_;
      click_armed_ = false;
      if (GetCapture() == Handle()) ReleaseCapture();
      StopRepeat();
      const POINT point = msg::Mouse(message).Point;
      const bool inside = InsideCountingEdges(point, Width(), Height()) && point.x < Width() && point.y < Height();
      if (armed && inside)
        Click();
      else
        SetLook(inside, false);
      message.Result = 0;
      return;
    }
    case WM_MOUSEMOVE:
      TCustomControl::WndProc(message);  // MouseEnter comes first, on the first move
      // While the button holds the mouse, moves outside reach it too.
      if (!InsideCountingEdges(msg::Mouse(message).Point, Width(), Height())) {
        if (mouse_on_ || pressed_) SetLook(false, false);  // the timer runs on until release or leave
      } else if (!mouse_on_ && MouseInControl()) {
        SetLook(true, pressed_);  // back over the button: lit again, pressed only by a new press
      }
      return;
    case WM_CAPTURECHANGED:
      if (msg::CaptureTaker(message) != Handle() && click_armed_) {
        click_armed_ = false;
        StopRepeat();
        SetLook(false, false);
      }
      break;
    case WM_CANCELMODE:
      click_armed_ = false;
      key_pressed_ = false;
      StopRepeat();
      if (GetCapture() == Handle()) ReleaseCapture();
      SetLook(false, false);
      break;
    case WM_TIMER:
      if (msg::TimerId(message) == kRepeatTimerId) {
        if (OnMouseContinuouslyDown) OnMouseContinuouslyDown(this);
        message.Result = 0;
        return;
      }
      break;
    case WM_KEYDOWN:
      if ((msg::Key(message) == VK_SPACE || msg::Key(message) == VK_RETURN) && Enabled() && GetFocus() == Handle()) {
        key_pressed_ = true;
        SetLook(mouse_on_, true);
        message.Result = 0;
        return;
      }
      break;
    case WM_KEYUP:
      if ((msg::Key(message) == VK_SPACE || msg::Key(message) == VK_RETURN) && key_pressed_) {
        key_pressed_ = false;
        if (pressed_ && Enabled() && GetFocus() == Handle()) Click();
        message.Result = 0;
        return;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (message.Msg == WM_KILLFOCUS && key_pressed_) {
        key_pressed_ = false;
        SetLook(mouse_on_, false);
      }
      Invalidate();
      break;
    case WM_DESTROY:
      StopRepeat();
      break;
    default:
      break;
  }
  TCustomControl::WndProc(message);
}

bool TkivCustomButton::HandleDialogKey(UINT key) {
  if (ModifierHeld() || !CanFocusNow()) return false;
  if (key == VK_ESCAPE && cancel_) {
    Click();
    return true;
  }
  if (key == VK_RETURN && default_) {
    // A focused skinned push button takes Enter itself.
    TWinControl* focused = TWinControl::FromHandle(GetFocus());
    if (dynamic_cast<TkivCustomButton*>(focused) != nullptr && focused != this) return false;
    Click();
    return true;
  }
  return false;
}

void TkivCustomButton::MouseEnter() {
  if (IsDesigning()) return;
  SetLook(true, pressed_);
  if (OnMouseEnter) OnMouseEnter(this);
}

void TkivCustomButton::MouseLeave() {
  StopRepeat();
  SetLook(false, false);
  if (OnMouseExit) OnMouseExit(this);
}

void TkivCustomButton::SetLook(bool mouseOn, bool pressed) {
  if (mouse_on_ == mouseOn && pressed_ == pressed) return;
  mouse_on_ = mouseOn;
  pressed_ = pressed;
  Invalidate();
}

void TkivCustomButton::StartRepeat() {
  // An interval of 0 or less gives no events at all.
  if (repeat_timer_ != 0 || repeat_interval_ <= 0 || !HandleAllocated()) return;
  repeat_timer_ = SetTimer(Handle(), kRepeatTimerId, static_cast<UINT>(repeat_interval_), nullptr);
}

void TkivCustomButton::StopRepeat() {
  if (repeat_timer_ == 0) return;
  if (HandleAllocated()) KillTimer(Handle(), kRepeatTimerId);
  repeat_timer_ = 0;
}

void TkivCustomButton::Click() {
  StopRepeat();
  SetLook(mouse_on_, false);
  if (Parent() != nullptr)
    if (TForm* form = ParentForm(this)) form->SetModalResult(modal_result_);
  TCustomControl::Click();
}

// ------------------------------------------------------------------- Painting

void TkivCustomButton::PaintButton(int item, int count, TBitmap& bitmap, int index) {
  TkivUIStyle effective{};
  if (UsingFileTheme(file_theme_, ui_style_, effective)) {
    file_theme_->GetBitmap2(SKIN2_BUTTON, bitmap, index, count);
    return;
  }
  const TFaceKey key{effective, item, count};
  if (!(faces_for_ == key)) {
    strip_faces_.clear();
    faces_for_ = key;
  }
  if (index < 0 || index > count) {
    GetInsideThemeBitmap(effective, item, bitmap, index, count);
    return;
  }
  if (strip_faces_.size() <= static_cast<std::size_t>(index)) strip_faces_.resize(static_cast<std::size_t>(index) + 1);
  std::unique_ptr<TBitmap>& face = strip_faces_[static_cast<std::size_t>(index)];
  if (!face) {
    face = std::make_unique<TBitmap>();
    GetInsideThemeBitmap(effective, item, *face, index, count);
  }
  bitmap.Assign(*face);
}

void TkivCustomButton::PaintButtonNormal(TBitmap& bitmap) { PaintButton(kivItemButtonFace, kFaceFrames, bitmap, kFrameNormal); }
void TkivCustomButton::PaintButtonMouseOn(TBitmap& bitmap) { PaintButton(kivItemButtonFace, kFaceFrames, bitmap, kFrameMouseOn); }
void TkivCustomButton::PaintButtonMouseDown(TBitmap& bitmap) { PaintButton(kivItemButtonFace, kFaceFrames, bitmap, kFramePressed); }
void TkivCustomButton::PaintButtonDisabled(TBitmap& bitmap) { PaintButton(kivItemButtonFace, kFaceFrames, bitmap, kFrameDisabled); }

void TkivCustomButton::Paint() {
  // The framework composes the paint off screen and copies it in one go, so
  // the screen never shows the background without the face.
  ComposeFace(Canvas());
}

void TkivCustomButton::ComposeFace(TCanvas& canvas) {
  TBitmap face;
  if (!Enabled())
    PaintButtonDisabled(face);
  else if (pressed_)
    PaintButtonMouseDown(face);
  else if (mouse_on_)
    PaintButtonMouseOn(face);
  else
    PaintButtonNormal(face);
  PaintBackground(canvas);
  PaintPic(canvas, face);
  bold_once_ = false;
  const bool focused = HandleAllocated() && GetFocus() == Handle() && tab_stop_;
  if (focused) {
    TkivUIStyle effective{};
    const bool skin = UsingFileTheme(file_theme_, ui_style_, effective);
    if (!skin && (effective == TkivUIStyle::MacOS || effective == TkivUIStyle::BlueGlass))
      bold_once_ = true;
    else
      PaintFocus(canvas);
  }
  if (!IsBlank(Caption())) PaintText(canvas);
  bold_once_ = false;
}

void TkivCustomButton::PaintBackground(TCanvas& canvas) {
  const TRect client = ClientRect();
  if (!transparent_) {
    canvas.Brush().SetColor(Color());
    canvas.FillRect(client);
    return;
  }
  // The parent's own background behind the button. Parents that merely host
  // (tab sheets, tool bars) are not part of this framework.
  canvas.Brush().SetColor(Parent() != nullptr ? Parent()->Color() : Color());
  canvas.FillRect(client);
  DoTrans(canvas, *this);
}

void TkivCustomButton::PaintPic(TCanvas& canvas, TBitmap& face) {
  if (face.Empty()) return;  // a face that cannot be had: background, focus and caption only
  if (transparent_)
    faces_.Draw(face, canvas, ClientRect());
  else
    SpitDraw(face, canvas, ClientRect(), false);
}

void TkivCustomButton::PaintFocus(TCanvas& canvas) {
  const TRect client = ClientRect();
  const int m = focused_rect_margin_;
  const TRect r{client.Left + m, client.Top + m, client.Right - m, client.Bottom - m};
  if (r.Width() <= 0 || r.Height() <= 0) return;
  SetTextColor(canvas.Handle(), RGB(0, 0, 0));
  SetBkColor(canvas.Handle(), RGB(255, 255, 255));
  canvas.DrawFocusRect(r);
}

void TkivCustomButton::PrepareCaptionFont(TCanvas& canvas) {
  canvas.Font().Assign(Font());
  if (bold_once_) canvas.Font().SetStyle(canvas.Font().Style() + fsBold);
  canvas.Brush().SetStyle(bsClear);
}

void TkivCustomButton::DrawCaptionText(TCanvas& canvas, const std::string& text, TRect rect, UINT format) {
  auto shifted = [](TRect r, int d) { return TRect{r.Left + d, r.Top + d, r.Right + d, r.Bottom + d}; };
  const TColor colour = canvas.Font().Color();
  if (!Enabled()) {
    canvas.Font().SetColor(kDisabledTextShadow);
    TRect shadow = shifted(rect, 1);
    canvas.DrawText(text, shadow, format);
    canvas.Font().SetColor(kDisabledText);
    canvas.DrawText(text, rect, format);
    canvas.Font().SetColor(colour);
    return;
  }
  if (pressed_) rect = shifted(rect, 1);
  canvas.DrawText(text, rect, format);
}

void TkivCustomButton::PaintText(TCanvas& canvas) {
  PrepareCaptionFont(canvas);
  const TRect client = ClientRect();
  const UINT format = DT_WORDBREAK | DT_EXPANDTABS;
  TRect measured = client;
  canvas.DrawText(Caption(), measured, format | DT_CALCRECT);
  const int dx = (client.Width() - measured.Width()) / 2, dy = (client.Height() - measured.Height()) / 2;
  const TRect place{measured.Left + dx, measured.Top + dy, measured.Right + dx, measured.Bottom + dy};
  DrawCaptionText(canvas, Caption(), place, format | DT_CENTER);
}

const TPropertyTable* TkivCustomButton::PublishedProperties() const {
  static const TPropertyTable table = [this] {
    TPropertyTable t(TCustomControl::PublishedProperties());
    t.Integer("UIStyle", &TkivCustomButton::UIStyle, &TkivCustomButton::SetUIStyle)
        .Component("FileTheme", &TkivCustomButton::FileTheme, &TkivCustomButton::SetFileTheme)
        .Boolean("AutoSize", &TkivCustomButton::AutoSize, &TkivCustomButton::SetAutoSize)
        .Boolean("Cancel", &TkivCustomButton::Cancel, &TkivCustomButton::SetCancel)
        .Boolean("Default", &TkivCustomButton::Default, &TkivCustomButton::SetDefault)
        .Boolean("Transparent", &TkivCustomButton::Transparent, &TkivCustomButton::SetTransparent)
        .Boolean("TabStop", &TkivCustomButton::TabStop, &TkivCustomButton::SetTabStop)
        .Integer("ModalResult", &TkivCustomButton::ModalResult, &TkivCustomButton::SetModalResult)
        .Integer("FocusedRectMargin", &TkivCustomButton::FocusedRectMargin, &TkivCustomButton::SetFocusedRectMargin)
        .Integer("MouseContinuouslyDownInterval", &TkivCustomButton::MouseContinuouslyDownInterval,
                 &TkivCustomButton::SetMouseContinuouslyDownInterval)
        .Integer("ResHandle", &TkivCustomButton::ResHandle, &TkivCustomButton::SetResHandle)
        .Event("OnMouseEnter", &TkivCustomButton::OnMouseEnter)
        .Event("OnMouseExit", &TkivCustomButton::OnMouseExit)
        .Event("OnMouseContinuouslyDown", &TkivCustomButton::OnMouseContinuouslyDown);
    return t;
  }();
  return &table;
}

// ------------------------------------------------------------------- TkivButton

TkivButton::TkivButton(TComponent* owner) : TkivCustomButton(owner), glyph_(std::make_unique<TBitmap>()) {
  SetBounds(Left(), Top(), kButtonWidth, kButtonHeight);
}

TkivButton::~TkivButton() = default;

void TkivButton::SetGlyph(const TBitmap& value) {
  glyph_->Assign(value);
  Invalidate();
}

void TkivButton::SetLayout(TButtonLayout value) {
  if (layout_ == value) return;
  layout_ = value;
  Invalidate();
}

void TkivButton::SetSpacing(int value) {
  if (spacing_ == value) return;
  spacing_ = value;
  Invalidate();
}

void TkivButton::PlaceGlyphAndCaption(TCanvas& canvas, TPoint& glyphAt, TPoint& captionAt) {
  PrepareCaptionFont(canvas);
  const TSize text = canvas.TextExtent(Caption());
  const int tw = text.cx, th = text.cy;
  const int gh = glyph_->Height();
  // A glyph twice as wide as high holds two images side by side.
  const int gw = glyph_->Width() == 2 * gh ? gh : glyph_->Width();
  const int W = Width(), H = Height(), s = spacing_;
  switch (layout_) {
    case blGlyphLeft:
      glyphAt = {(W - tw - gw - s) / 2, (H - gh) / 2};
      captionAt = {glyphAt.X + gw + s, (H - th) / 2};
      break;
    case blGlyphRight:
      glyphAt = {(W + tw + s - gw) / 2, (H - gh) / 2};
      captionAt = {glyphAt.X - tw - s, (H - th) / 2};
      break;
    case blGlyphTop:
      glyphAt = {(W - gw) / 2, (H - th - gh - s) / 2};
      captionAt = {(W - tw) / 2, glyphAt.Y + gh + s};
      break;
    case blGlyphBottom:
      glyphAt = {(W - gw) / 2, (H + th + s - gh) / 2};
      captionAt = {(W - tw) / 2, glyphAt.Y - th - s};
      break;
  }
}

void TkivButton::PaintPic(TCanvas& canvas, TBitmap& face) {
  TkivCustomButton::PaintPic(canvas, face);
  if (glyph_->Empty()) return;
  TPoint glyphAt;
  PlaceGlyphAndCaption(canvas, glyphAt, caption_at_);
  if (Pressed()) glyphAt = {glyphAt.X + 1, glyphAt.Y + 1};
  const int gh = glyph_->Height();
  const bool twoImages = glyph_->Width() == 2 * gh;
  const int gw = twoImages ? gh : glyph_->Width();
  TBitmap image;
  SpitBitmap(*glyph_, image, twoImages ? 2 : 1, twoImages && !Enabled() ? 2 : 1);
  if (!Enabled() && !twoImages) {
    // One image only: drawn greyed, its see-through pixel kept.
    const TColor key = image.Pixel(0, 0);
    for (int y = 0; y < image.Height(); ++y)
      for (int x = 0; x < image.Width(); ++x) {
        const TColor c = image.Pixel(x, y);
        if (c == key) continue;
        const int level = 128 + ((c & 0xFF) * 30 + ((c >> 8) & 0xFF) * 59 + ((c >> 16) & 0xFF) * 11) / 200;
        image.SetPixel(x, y, static_cast<TColor>(level | level << 8 | level << 16));
      }
  }
  image.SetTransparentColor(image.Pixel(0, 0));  // the glyph's pixel (0, 0) is its see-through colour
  image.SetTransparent(true);
  canvas.StretchDraw({glyphAt.X, glyphAt.Y, glyphAt.X + gw, glyphAt.Y + gh}, image);
}

void TkivButton::PaintText(TCanvas& canvas) {
  if (glyph_->Empty()) {
    TkivCustomButton::PaintText(canvas);
    return;
  }
  PrepareCaptionFont(canvas);
  const TSize text = canvas.TextExtent(Caption());
  const TPoint at = caption_at_;
  DrawCaptionText(canvas, Caption(), {at.X, at.Y, at.X + text.cx, at.Y + text.cy},
                  DT_SINGLELINE | DT_NOCLIP);
}

const TPropertyTable* TkivButton::PublishedProperties() const {
  static const TPropertyTable table = [this] {
    TPropertyTable t(TkivCustomButton::PublishedProperties());
    t.Integer("Layout", &TkivButton::Layout, &TkivButton::SetLayout)
        .Integer("Spacing", &TkivButton::Spacing, &TkivButton::SetSpacing);
    return t;
  }();
  return &table;
}

}  // namespace plx
