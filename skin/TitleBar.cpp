#include "skin/TitleBar.h"

#include <algorithm>
#include <utility>

#include "framework/Accessible.h"
#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/Forms.h"
#include "framework/MessageDecoders.h"
#include "framework/Properties.h"
#include "framework/ScopedState.h"
#include "skin/FileTheme.h"
#include "skin/SkinDraw.h"
#include "skin/SkinForm.h"
#include "skin/TitleBarAccessible.h"

namespace plx {

namespace {

// The title-button strip: 18 equal frames, three per kind (normal, mouse
// on, mouse down); the last frame of each kind's three, 1-based.
constexpr int kTitleButtonFrames = 18;
int LastFrameOf(TkivTitleBarBtnType type) {
  switch (type) {
    case TkivTitleBarBtnType::kivControlBox: return 3;
    case TkivTitleBarBtnType::kivHelp: return 6;
    case TkivTitleBarBtnType::kivMax: return 9;
    case TkivTitleBarBtnType::kivMin: return 15;
    case TkivTitleBarBtnType::kivClose: return 18;
    case TkivTitleBarBtnType::kivCustom: break;
  }
  return 0;
}
constexpr int kRestoreLastFrame = 12;

// A five-section title needs this much room beyond its fixed pictures.
constexpr int kFiveSectionMinWidthSlack = 16;
// The smallest form height a built-in style allows a title bar on its own.
constexpr int kBuiltInMinFormHeight = 50;

// The caption section leaves this much room beside the caption for the
// pictures and gaps around it, and is this much wider than its text.
constexpr int kCaptionSectionRoom = 21;
constexpr int kCaptionSectionPadding = 17;
// The application's icon in the control box's place: its size, how far in
// from the box's left it sits, and how far the caption starts after the box.
constexpr int kAppIconSize = 16;
constexpr int kAppIconIndent = 3;
constexpr int kAppIconAdvance = 21;
// Gap between a control-box picture and the caption.
constexpr int kControlBoxGap = 5;
// The icon and caption sit this much left of the skin's icon offset.
constexpr int kIconOffsetShift = 4;
// Where the caption starts when nothing lies left of it.
constexpr int kBareCaptionLeft = 6;
// The gap a button other than close keeps to the one on its right.
constexpr int kButtonGap = 1;
// Protein's caption sits this much lower than its buttons.
constexpr int kProteinCaptionDrop = 3;
// A point no button contains: the mouse while it is not over the title bar.
constexpr TPoint kNoMouse{-100000, -100000};

// Usage errors of the collections show an error box and change nothing.
void ShowUsageError(const char* text) { Application().ShowException(EInvalidOperation(text)); }

// The picture's bitmap, or nullptr when it holds none (or another kind).
TBitmap* PictureBitmap(TPicture& picture) {
  auto* bitmap = dynamic_cast<TBitmap*>(picture.Graphic());
  return bitmap && !bitmap->Empty() ? bitmap : nullptr;
}

// Draws the bitmap at its own size with the pixels of one colour left out.
void DrawMasked(TCanvas& canvas, TBitmap& bitmap, int x, int y, TColor mask) {
  TransparentBlt(canvas.Handle(), x, y, bitmap.Width(), bitmap.Height(), bitmap.Canvas().Handle(), 0, 0,
                 bitmap.Width(), bitmap.Height(), ColorToRGB(mask) & 0x00FFFFFF);
}

void StretchInto(TCanvas& canvas, TBitmap& bitmap, const TRect& rect) {
  if (rect.Width() <= 0 || rect.Height() <= 0) return;
  canvas.StretchDraw(rect, bitmap);
}

}  // namespace

// ------------------------------------------------------------- sections

TkivTitleBarSection::TkivTitleBarSection(TkivTitleBar& titleBar) : title_bar_(titleBar) {
  picture_.OnChange = [this](TObject*) { Changed(); };
}

void TkivTitleBarSection::Changed() { title_bar_.ItemChanged(); }

void TkivTitleBarSection::SetAutoSize(bool value) {
  if (auto_size_ == value) return;
  auto_size_ = value;
  Changed();
}

int TkivTitleBarSection::Width() const {
  if (auto_size_ && picture_.Graphic()) return picture_.Width();
  return width_;
}

void TkivTitleBarSection::SetWidth(int value) {
  if (width_ == value) return;
  width_ = value;
  Changed();
}

void TkivTitleBarSection::SetAlign(TkivTitleBarAlign value) {
  if (align_ == value) return;
  if (value == TkivTitleBarAlign::kivClient) {
    for (int i = 0; i < title_bar_.Sections().Count(); ++i) {
      const TkivTitleBarSection& other = title_bar_.Sections().Items(i);
      if (&other != this && other.Align() == TkivTitleBarAlign::kivClient) {
        ShowUsageError("Sorry, only one section's Align property can be \"kivClient\"");
        return;
      }
    }
  }
  align_ = value;
  Changed();
}

void TkivTitleBarSection::SetStretch(bool value) {
  if (stretch_ == value) return;
  stretch_ = value;
  Changed();
}

void TkivTitleBarSection::SetCapSec(bool value) {
  if (cap_sec_ == value) return;
  cap_sec_ = value;
  Changed();
}

// -------------------------------------------------------------- buttons

TkivTitleBarButton::TkivTitleBarButton(TkivTitleBar& titleBar) : title_bar_(titleBar) {
  for (TPicture* picture : {&pic_normal_, &pic_mouse_on_, &pic_mouse_down_})
    picture->OnChange = [this](TObject*) { Changed(); };
}

void TkivTitleBarButton::Changed() { title_bar_.ItemChanged(); }

void TkivTitleBarButton::SetUIStyle(TkivUIStyle value) {
  if (ui_style_ == value) return;
  ui_style_ = value;
  Changed();
}

void TkivTitleBarButton::SetButtonType(TkivTitleBarBtnType value) {
  if (button_type_ == value) return;
  if (value == TkivTitleBarBtnType::kivControlBox) {
    for (int i = 0; i < title_bar_.Buttons().Count(); ++i) {
      const TkivTitleBarButton& other = title_bar_.Buttons().Items(i);
      if (&other != this && other.ButtonType() == TkivTitleBarBtnType::kivControlBox) {
        ShowUsageError("Sorry, only one button's ButtonType property can be \"kivControlBox\"");
        return;
      }
    }
  }
  button_type_ = value;
  Changed();
}

void TkivTitleBarButton::SetTransparent(bool value) {
  if (transparent_ == value) return;
  transparent_ = value;
  Changed();
}

void TkivTitleBarButton::SetTop(int value) {
  if (top_ == value) return;
  top_ = value;
  Changed();
}

void TkivTitleBarButton::SetControlBoxMenu(TkivPopupMenu* value) {
  if (control_box_menu_ == value) return;
  control_box_menu_ = value;
  // The button is no component: the title bar hears of the menu going.
  if (value) title_bar_.FreeNotification(value);
  Changed();
}

void TkivTitleBarButton::SetVisible(bool value) {
  if (visible_ == value) return;
  visible_ = value;
  Changed();
}

bool TkivTitleBarButton::HasAllPictures() const {
  return !pic_normal_.Empty() && !pic_mouse_on_.Empty() && !pic_mouse_down_.Empty();
}

// ------------------------------------------------------------ title bar

TkivTitleBar::TkivTitleBar(TComponent* owner) : TCustomPanel(owner) {
  SetBevelOuter(TBevelCut::bvNone);
  Font().SetName("Tahoma");
  Font().SetStyle({fsBold});
  Font().SetColor(clWhite);
  ui_style_ = GetKIVFormStyle(owner);
  for (TkivTitleBarBtnType type : {TkivTitleBarBtnType::kivControlBox, TkivTitleBarBtnType::kivClose,
                                   TkivTitleBarBtnType::kivMax, TkivTitleBarBtnType::kivMin})
    buttons_.Add().SetButtonType(type);
}

TkivTitleBar::~TkivTitleBar() {
  if (file_theme_) RemoveFreeNotification(file_theme_);
}

TForm* TkivTitleBar::ParentForm() const {
  for (TWinControl* parent = Parent(); parent; parent = parent->Parent())
    if (auto* form = dynamic_cast<TForm*>(parent)) return form;
  return nullptr;
}

bool TkivTitleBar::InForm() const {
  return Parent() && dynamic_cast<const TkivFormStyleSource*>(Parent()) != nullptr;
}

bool TkivTitleBar::ParentMaximized() const {
  TForm* form = ParentForm();
  return form && form->HandleAllocated() && IsZoomed(form->Handle());
}

int TkivTitleBar::LeftInset() const {
  TForm* form = ParentForm();
  if (!form || !InForm()) return 0;
  return static_cast<int>(form->Perform(kivMsgTitleBarLeftInset));
}

void TkivTitleBar::ItemChanged() {
  title_dirty_ = true;
  RepaintSoon();
}

void TkivTitleBar::RepaintSoon() {
  if (change_batches_ > 0) {
    changed_in_batch_ = true;
    return;
  }
  if (!IsDestroying()) Invalidate();
}

void TkivTitleBar::SetColor(TColor value) {
  TCustomPanel::SetColor(value);
  title_dirty_ = true;  // the sections are laid on it
}

void TkivTitleBar::SetParent(TWinControl* parent) {
  TCustomPanel::SetParent(parent);
  title_dirty_ = true;  // the sections need a form, and lie elsewhere inside a frame
}

void TkivTitleBar::FontChanged() {
  TCustomPanel::FontChanged();
  // A caption section is as wide as its caption in this font.
  title_dirty_ = true;
}

TkivTitleBar::TChangeBatch::TChangeBatch(TkivTitleBar& titleBar) : title_bar_(titleBar) { ++title_bar_.change_batches_; }

TkivTitleBar::TChangeBatch::~TChangeBatch() {
  if (--title_bar_.change_batches_ > 0 || !std::exchange(title_bar_.changed_in_batch_, false)) return;
  title_bar_.RepaintSoon();
}

void TkivTitleBar::SetFileTheme(TkivFileTheme* value) {
  if (!TakeFileTheme(value)) return;
  // Assigning a theme keeps the caption's colour; a style change sets it.
  const TAutoReset keepColour(keep_font_color_, true);
  SetUIStyle(ui_style_);
}

void TkivTitleBar::SetLook(TkivFileTheme* fileTheme, TkivUIStyle style) {
  TakeFileTheme(fileTheme);
  SetUIStyle(style);
}

bool TkivTitleBar::TakeFileTheme(TkivFileTheme* value) {
  if (file_theme_ == value) return false;
  if (file_theme_) RemoveFreeNotification(file_theme_);
  file_theme_ = value;
  if (file_theme_) FreeNotification(file_theme_);
  return true;
}

void TkivTitleBar::Notification(TComponent* component, TOperation operation) {
  TCustomPanel::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  for (int i = 0; i < buttons_.Count(); ++i)
    if (buttons_.Items(i).ControlBoxMenu() == component) buttons_.Items(i).SetControlBoxMenu(nullptr);
  if (component == file_theme_) {
    file_theme_ = nullptr;
    if (!IsDestroying()) SetUIStyle(ui_style_);
  }
}

void TkivTitleBar::SetUIStyle(TkivUIStyle value) {
  const TChangeBatch batch(*this);
  ui_style_ = value;
  if (custom_) {
    ItemChanged();
    return;
  }
  sections_.Clear();
  TkivUIStyle effective = value;
  const bool useSkin = UsingFileTheme(file_theme_, value, effective);
  const int frameShift = InForm() ? kivFrameTopRows : 0;
  TForm* form = ParentForm();
  auto addSection = [&](TkivTitleBarAlign align, bool autoSize) -> TkivTitleBarSection& {
    TkivTitleBarSection& section = sections_.Add();
    section.SetAlign(align);
    section.SetAutoSize(autoSize);
    return section;
  };
  if (useSkin) {
    const TkivFileTheme& theme = *file_theme_;
    five_sections_ = theme.GetBool(SKIN2_TITLEFIVESECT);
    trans_color_ = theme.GetColor(SKIN2_TRANSCOLOR);
    theme.GetBitmap2(SKIN2_TITLEBAR1, addSection(TkivTitleBarAlign::kivLeft, true).Picture().Bitmap());
    TkivTitleBarSection& second = addSection(TkivTitleBarAlign::kivLeft, false);
    if (five_sections_)
      second.SetCapSec(true);
    else
      second.SetAlign(TkivTitleBarAlign::kivClient);
    theme.GetBitmap2(SKIN2_TITLEBAR2, second.Picture().Bitmap());
    theme.GetBitmap2(SKIN2_TITLEBAR3,
                     addSection(five_sections_ ? TkivTitleBarAlign::kivLeft : TkivTitleBarAlign::kivRight, true)
                         .Picture()
                         .Bitmap());
    if (five_sections_) {
      theme.GetBitmap2(SKIN2_TITLEBAR4, addSection(TkivTitleBarAlign::kivClient, false).Picture().Bitmap());
      theme.GetBitmap2(SKIN2_TITLEBAR5, addSection(TkivTitleBarAlign::kivRight, true).Picture().Bitmap());
    }
    left_btn_x_offset_ = theme.GetInt(SKIN2_TITLEBARICONPOSX);
    right_btn_x_offset_ = theme.GetInt(SKIN2_TITLEBARBUTTONPOSX);
    button_top_ = theme.GetInt(SKIN2_TITLEBARBUTTONPOSY) - frameShift;
    icon_top_ = theme.GetInt(SKIN2_TITLEBARICONPOSY) - frameShift;
    caption_top_ = theme.GetInt(SKIN2_TITLEBARCAPTIONTOP);
    fill_color_ = theme.GetColor(SKIN2_FORMCOLOR);
    title_region_ = theme.GetBool(SKIN2_TITLEBARNEEDREGION);
    auto widthOf = [&](Tsk2SkinBitmapElement element) {
      const TBitmap* bitmap = theme.GetBitmap(element);
      return bitmap ? bitmap->Width() : 0;
    };
    const int buttonsWidth = widthOf(SKIN2_TITLEBUTTONS) / kTitleButtonFrames * buttons_.Count() + right_btn_x_offset_;
    min_form_width_ = five_sections_ ? widthOf(SKIN2_TITLEBAR1) + widthOf(SKIN2_TITLEBAR3) +
                                        std::max(widthOf(SKIN2_TITLEBAR5), buttonsWidth) + kFiveSectionMinWidthSlack
                                  : widthOf(SKIN2_TITLEBAR1) + std::max(widthOf(SKIN2_TITLEBAR3), buttonsWidth);
    min_form_height_ = 0;  // a skin leaves the height to the frame
  } else {
    five_sections_ = false;
    title_region_ = false;
    trans_color_ = kSkinTransparentColor;
    GetInsideThemeBitmap(effective, kivItemTitleLeft,
                         addSection(TkivTitleBarAlign::kivLeft, true).Picture().Bitmap());
    GetInsideThemeBitmap(effective, kivItemTitleRight,
                         addSection(TkivTitleBarAlign::kivRight, true).Picture().Bitmap());
    GetInsideThemeBitmap(effective, kivItemTitleClient,
                         addSection(TkivTitleBarAlign::kivClient, false).Picture().Bitmap());
    left_btn_x_offset_ = GetInsideThemeInt(effective, kivItemLeftBtnXOffset);
    right_btn_x_offset_ = GetInsideThemeInt(effective, kivItemRightBtnXOffset);
    button_top_ = GetInsideThemeInt(effective, kivItemTitleButtonTop) - frameShift;
    icon_top_ = button_top_;
    min_form_width_ = GetInsideThemeInt(effective, kivItemFormMinWidth);
    min_form_height_ = kBuiltInMinFormHeight;
    round_corner_ = GetInsideThemeInt(effective, kivItemRoundCorner);
    round_corner_bottom_ = 0;
  }
  const TkivUIStyle buttonStyle = useSkin ? TkivUIStyle::FromThemeFile : effective;
  // Every button's pictures are cut from the one strip, decoded once per look.
  TBitmap builtInStrip;
  TBitmap* strip = TitleButtonStrip(useSkin, effective, builtInStrip);
  for (int i = 0; i < buttons_.Count(); ++i) {
    buttons_.Items(i).SetUIStyle(buttonStyle);
    ApplyStyleToButton(buttons_.Items(i), useSkin, effective, strip);
  }
  window_menu_.SetUIStyle(buttonStyle);
  window_menu_.SetFileTheme(file_theme_);
  if (!keep_font_color_) {
    Font().SetColor(useSkin                                 ? file_theme_->GetColor(SKIN2_TITLEFONTCOLOR)
                    : effective == TkivUIStyle::MacOS ? clBlack
                                                            : clWhite);
  }
  auto_size_ = true;
  AdjustHeight();
  // Inside a skinned frame the frame sets the form's limits, with its own
  // parts counted in.
  if (form && !InForm()) {
    form->Constraints().MinWidth = min_form_width_;
    if (min_form_height_ > 0) form->Constraints().MinHeight = min_form_height_;
  }
  ItemChanged();
}

void TkivTitleBar::LoadButtonPictures(TkivTitleBarButton& button, int lastFrame, TBitmap* strip) {
  TPicture* pictures[] = {&button.PicNormal(), &button.PicMouseOn(), &button.PicMouseDown()};
  for (int i = 0; i < 3; ++i) {
    TBitmap frame;
    if (strip) SpitBitmap(*strip, frame, kTitleButtonFrames, lastFrame - 2 + i);
    pictures[i]->Bitmap().Assign(frame);
  }
}

TBitmap* TkivTitleBar::TitleButtonStrip(bool useSkin, TkivUIStyle effective, TBitmap& builtIn) {
  if (useSkin) return file_theme_->GetBitmap(SKIN2_TITLEBUTTONS);
  GetInsideThemeBitmap(effective, kivItemTitleButtons, builtIn);
  return builtIn.Empty() ? nullptr : &builtIn;
}

void TkivTitleBar::ApplyStyleToButton(TkivTitleBarButton& button, bool useSkin, TkivUIStyle effective,
                                      TBitmap* strip) {
  const int lastFrame = LastFrameOf(button.ButtonType());
  if (lastFrame == 0) return;  // custom buttons keep their pictures, transparency and top
  if (useSkin) {
    button.SetTransparent(file_theme_->GetBool(SKIN2_TITLEBTNTRANS));
    button.SetTop(file_theme_->GetInt(SKIN2_TITLEBARBUTTONPOSY));
  } else {
    button.SetTransparent(GetInsideThemeBool(effective, kivItemTitleButtonsTransparent));
    button.SetTop(GetInsideThemeInt(effective, kivItemTitleButtonTop));
  }
  const bool restore = button.ButtonType() == TkivTitleBarBtnType::kivMax && ParentMaximized();
  LoadButtonPictures(button, restore ? kRestoreLastFrame : lastFrame, strip);
}

void TkivTitleBar::ProcessMaxBtn() {
  if (custom_) return;
  TkivUIStyle effective = ui_style_;
  const bool useSkin = UsingFileTheme(file_theme_, ui_style_, effective);
  const int lastFrame = ParentMaximized() ? kRestoreLastFrame : LastFrameOf(TkivTitleBarBtnType::kivMax);
  const TChangeBatch batch(*this);
  TBitmap builtIn;
  TBitmap* strip = TitleButtonStrip(useSkin, effective, builtIn);
  for (int i = 0; i < buttons_.Count(); ++i)
    if (buttons_.Items(i).ButtonType() == TkivTitleBarBtnType::kivMax)
      LoadButtonPictures(buttons_.Items(i), lastFrame, strip);
  ItemChanged();
}

void TkivTitleBar::SetAutoSize(bool value) {
  auto_size_ = value;
  AdjustHeight();
}

void TkivTitleBar::AdjustHeight() {
  if (!auto_size_) return;
  if (sections_.Count() == 0) {
    auto_size_ = false;
    return;
  }
  const int shift = InForm() ? kivFrameTopRows : 0;
  SetHeight(std::max(0, sections_.Items(0).Picture().Height() - shift));
}

void TkivTitleBar::SetButtonInterval(int value) {
  if (button_interval_ == value) return;
  button_interval_ = value;
  ItemChanged();
}

void TkivTitleBar::SetCaption(std::string value) {
  if (Caption() == value) return;
  TCustomPanel::SetCaption(std::move(value));
  ItemChanged();
  if (HandleAllocated()) NotifyAccessible(EVENT_OBJECT_NAMECHANGE, Handle());
}

void TkivTitleBar::SetActive(bool value) {
  if (form_active_ == value) return;
  form_active_ = value;
  RepaintSoon();
}

void TkivTitleBar::SetLeftBtnXOffset(int value) {
  if (left_btn_x_offset_ == value) return;
  left_btn_x_offset_ = value;
  ItemChanged();
}

void TkivTitleBar::SetRightBtnXOffset(int value) {
  if (right_btn_x_offset_ == value) return;
  right_btn_x_offset_ = value;
  RepaintSoon();
}

void TkivTitleBar::SetDrawAppIcon(bool value) {
  if (draw_app_icon_ == value) return;
  draw_app_icon_ = value;
  RepaintSoon();
}

void TkivTitleBar::SetInactiveCaptionColor(TColor value) {
  if (inactive_caption_color_ == value) return;
  inactive_caption_color_ = value;
  RepaintSoon();
}

bool TkivTitleBar::CanPaint() {
  auto hasPictures = [&] {
    for (int i = 0; i < sections_.Count(); ++i)
      if (!PictureBitmap(sections_.Items(i).Picture())) return false;
    return true;
  };
  return (sections_.Count() == 3 || sections_.Count() == 5) && hasPictures();
}

TBitmap* TkivTitleBar::GetTitleImage(int index) {
  if (index == -1 || index == -2) {
    UpdateTitleImages();
    return index == -1 ? &plain_title_ : &filled_title_;
  }
  if (index >= 0 && index < sections_.Count() && sections_.Count() > 2)
    return PictureBitmap(sections_.Items(index).Picture());
  return nullptr;
}

void TkivTitleBar::SetRoundCorner(int value) {
  if (round_corner_ == value) return;
  round_corner_ = value;
  RepaintSoon();
}

void TkivTitleBar::SetRoundCornerBottom(int value) {
  if (round_corner_bottom_ == value) return;
  round_corner_bottom_ = value;
  RepaintSoon();
}

void TkivTitleBar::Paint() {
  // Canvas() is the framework's off-screen picture of the title bar.
  TCanvas& canvas = Canvas();
  canvas.Brush().SetColor(Color());
  canvas.FillRect(ClientRect());
  if (!ParentForm()) return;
  UpdateTitleImages();
  if (!sections_image_.Empty())
    BitBlt(canvas.Handle(), 0, 0, sections_image_.Width(), sections_image_.Height(), sections_image_.Canvas().Handle(),
           0, 0, SRCCOPY);
  canvas.Brush().SetStyle(bsClear);
  canvas.Font().Assign(Font());
  DrawButtons(canvas);
  // A caption section is as wide as the caption: the frame's top rows and
  // edges, cut from the same title image, follow it.
  if (caption_section_)
    if (auto* frame = dynamic_cast<TkivForm*>(Parent())) frame->PaintFormBorder();
}

TPoint TkivTitleBar::SectionOffset() const {
  if (!InForm()) return {0, 0};
  const int inset = LeftInset();
  return {-(inset != 0 ? inset : kivFrameTopRows), -kivFrameTopRows};
}

void TkivTitleBar::UpdateTitleImages() {
  const TPoint offset = SectionOffset();
  const TRect key{Width(), Height(), offset.X, offset.Y};
  if (!title_dirty_ && composed_for_ == key) return;
  ComposeTitleImages(offset);
  composed_for_ = key;
  title_dirty_ = false;
}

void TkivTitleBar::ComposeTitleImages(TPoint offset) {
  caption_section_ = false;
  shown_caption_.clear();
  const int width = Width(), height = Height();
  if (!ParentForm() || width <= 0 || height <= 0) {
    for (TBitmap* image : {&sections_image_, &plain_title_, &filled_title_}) image->SetSize(0, 0);
    return;
  }
  const int dx = offset.X, dy = offset.Y;
  // The title bar's own picture under its buttons and caption: the sections
  // on the title bar's colour, the right ones see-through over the fill.
  sections_image_.SetSize(width, height);
  TCanvas& canvas = sections_image_.Canvas();
  canvas.Brush().SetColor(Color());
  canvas.FillRect({0, 0, width, height});
  canvas.Brush().SetStyle(bsClear);
  // A caption section is as wide as its caption in the title bar's font.
  canvas.Font().Assign(Font());
  int buttonsWidth = 0;
  for (int i = 0; i < buttons_.Count(); ++i)
    if (TBitmap* picture = PictureBitmap(buttons_.Items(i).PicNormal()))
      buttonsWidth += picture->Width() + button_interval_;

  const int imageWidth = std::max(0, width - 2 * dx), imageHeight = std::max(0, height - dy);
  plain_title_.SetSize(imageWidth, imageHeight);
  filled_title_.SetSize(imageWidth, imageHeight);
  if (!filled_title_.Empty()) {
    filled_title_.Canvas().Brush().SetColor(fill_color_);
    filled_title_.Canvas().FillRect({0, 0, imageWidth, imageHeight});
  }

  int x = dx, r = width - dx, lastLeftWidth = 0;
  TBitmap* client = nullptr;
  bool captionDrawn = false;
  for (int i = 0; i < sections_.Count(); ++i) {
    TkivTitleBarSection& section = sections_.Items(i);
    TBitmap* picture = PictureBitmap(section.Picture());
    if (!picture) continue;
    const int pw = picture->Width(), ph = picture->Height();
    if (section.CapSec()) {
      int nextWidth = 0;
      if (i + 1 < sections_.Count()) nextWidth = sections_.Items(i + 1).Picture().Width();
      shown_caption_ = FormatStringWithWidth(canvas, Caption(), width - left_btn_x_offset_ - buttonsWidth - nextWidth - kCaptionSectionRoom);
      const int stretched = canvas.TextWidth(shown_caption_) + left_btn_x_offset_ - lastLeftWidth + kCaptionSectionPadding;
      StretchInto(canvas, *picture, {x, dy, x + stretched, dy + ph});
      if (!plain_title_.Empty()) StretchInto(plain_title_.Canvas(), *picture, {x - dx, 0, x - dx + stretched, ph});
      x += stretched;
      captionDrawn = true;
      continue;
    }
    switch (section.Align()) {
      case TkivTitleBarAlign::kivLeft:
        canvas.Draw(x, dy, *picture);
        if (!plain_title_.Empty()) plain_title_.Canvas().Draw(x - dx, 0, *picture);
        x += pw;
        lastLeftWidth = pw;
        break;
      case TkivTitleBarAlign::kivRight:
        // Over the fill colour, with the skin's see-through colour left out.
        canvas.Brush().SetColor(fill_color_);
        canvas.FillRect({r - pw, dy, r, dy + ph});
        canvas.Brush().SetStyle(bsClear);
        DrawMasked(canvas, *picture, r - pw, dy, trans_color_);
        if (!plain_title_.Empty()) plain_title_.Canvas().Draw(r - dx - pw, 0, *picture);
        r -= pw;
        break;
      case TkivTitleBarAlign::kivClient:
        client = picture;
        break;
    }
  }
  if (client) {
    StretchInto(canvas, *client, {x, dy, r, dy + client->Height()});
    if (!plain_title_.Empty()) StretchInto(plain_title_.Canvas(), *client, {x - dx, 0, r - dx, client->Height()});
  }
  // The filled image shows the fill colour where the skin cuts the region.
  plain_title_.SetTransparentColor(trans_color_);
  plain_title_.SetTransparent(title_region_);
  if (!filled_title_.Empty()) filled_title_.Canvas().Draw(0, 0, plain_title_);
  if (!captionDrawn) shown_caption_.clear();
  caption_section_ = captionDrawn;
}

TkivTitleBar::TButtonLayout TkivTitleBar::LayOutButtons() {
  TButtonLayout layout;
  const int width = Width();
  const int e = LeftInset() - 1;
  int r = width - right_btn_x_offset_ + e;
  for (int i = 0; i < buttons_.Count(); ++i) {
    TkivTitleBarButton& button = buttons_.Items(i);
    if (!button.Visible() || !button.HasAllPictures()) continue;
    const int pw = button.PicNormal().Width(), ph = button.PicNormal().Height();
    if (button.ButtonType() == TkivTitleBarBtnType::kivControlBox) {
      layout.controlBox = i;
      continue;
    }
    r -= button.ButtonType() == TkivTitleBarBtnType::kivClose ? pw : pw + button_interval_ + kButtonGap;
    if (r + pw + kButtonGap > width) r = width - pw - kButtonGap;
    const int top = custom_ ? button.Top() - (InForm() ? kivFrameTopRows : 0) : button_top_;
    layout.buttons.push_back({i, {r, top, r + pw, top + ph}});
  }
  layout.right = r;
  int l = std::max(0, left_btn_x_offset_ - kIconOffsetShift - e);
  if (layout.controlBox >= 0) {
    TkivTitleBarButton& box = buttons_.Items(layout.controlBox);
    layout.controlBoxRect = {l, icon_top_, l + box.PicNormal().Width(), icon_top_ + box.PicNormal().Height()};
    l += draw_app_icon_ ? kAppIconAdvance : box.PicNormal().Width() + kControlBoxGap;
  }
  layout.captionLeft = l == 0 ? kBareCaptionLeft : l;
  return layout;
}

int TkivTitleBar::ButtonAt(TPoint point) {
  const TButtonLayout layout = LayOutButtons();
  for (const auto& [index, rect] : layout.buttons)
    if (InRect(point, rect)) return index;
  if (layout.controlBox >= 0 && InRect(point, layout.controlBoxRect)) return layout.controlBox;
  return -1;
}

std::vector<TkivTitleBar::TButtonPlace> TkivTitleBar::ButtonPlaces() {
  const TButtonLayout layout = LayOutButtons();
  std::vector<TButtonPlace> places;
  if (layout.controlBox >= 0) places.push_back({layout.controlBox, layout.controlBoxRect});
  // The layout runs from the right edge leftwards.
  for (auto it = layout.buttons.rbegin(); it != layout.buttons.rend(); ++it) places.push_back({it->first, it->second});
  return places;
}

void TkivTitleBar::DrawButtons(TCanvas& canvas) {
  if (!ParentForm()) return;
  const TButtonLayout layout = LayOutButtons();
  TPoint mouse = kNoMouse;
  POINT cursor{};
  if (HandleAllocated() && GetCursorPos(&cursor) && ::ScreenToClient(Handle(), &cursor))
    mouse = {cursor.x, cursor.y};
  hot_button_ = -1;
  const bool skinColours = ui_style_ == TkivUIStyle::FromThemeFile;
  auto pictureFor = [&](TkivTitleBarButton& button, bool hot) -> TBitmap* {
    TPicture& picture = hot ? (pressed_ ? button.PicMouseDown() : button.PicMouseOn()) : button.PicNormal();
    return PictureBitmap(picture);
  };
  for (const auto& [index, rect] : layout.buttons) {
    TkivTitleBarButton& button = buttons_.Items(index);
    const bool hot = InRect(mouse, rect);
    if (hot) hot_button_ = index;
    TBitmap* picture = pictureFor(button, hot);
    if (!picture) continue;
    if (button.Transparent())
      DrawMasked(canvas, *picture, rect.Left, rect.Top,
                 skinColours ? trans_color_ : picture->Pixel(0, picture->Height() - 1));
    else
      canvas.Draw(rect.Left, rect.Top, *picture);
  }
  if (layout.controlBox >= 0) {
    TkivTitleBarButton& box = buttons_.Items(layout.controlBox);
    const TRect& rect = layout.controlBoxRect;
    const bool hot = InRect(mouse, rect);
    if (draw_app_icon_) {
      if (hot) hot_button_ = layout.controlBox;
      // The program's icon at the small size; a shared icon is never
      // destroyed, so the handle is kept for every later paint.
      if (!app_icon_)
        app_icon_ = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), "MAINICON", IMAGE_ICON, kAppIconSize,
                                                 kAppIconSize, LR_SHARED));
      if (app_icon_)
        DrawIconEx(canvas.Handle(), rect.Left + kAppIconIndent, rect.Top, app_icon_, kAppIconSize, kAppIconSize, 0,
                   nullptr, DI_NORMAL);
    } else if (TBitmap* picture = pictureFor(box, hot)) {
      canvas.Draw(rect.Left, rect.Top - 1, *picture);
    }
  }

  const int l = layout.captionLeft, r = layout.right;
  std::string text = shown_caption_;
  if (text.empty()) {
    canvas.Font().Assign(Font());
    text = CutWithEllipsis(Caption(), r - l, [&canvas](const std::string& part) { return canvas.TextWidth(part); });
  }
  canvas.Font().Assign(Font());
  if (!form_active_) canvas.Font().SetColor(inactive_caption_color_);
  canvas.Brush().SetStyle(bsClear);
  TkivUIStyle effective = ui_style_;
  if (UsingFileTheme(file_theme_, ui_style_, effective))
    canvas.TextOut(l, caption_top_ - kivFrameTopRows, text);
  else
    canvas.TextOut(l, button_top_ + (effective == TkivUIStyle::Protein ? kProteinCaptionDrop : 0), text);
}

// ---------------------------------------------------------------- mouse

void TkivTitleBar::WndProc(TMessage& message) {
  const POINT mouse = msg::Mouse(message).Point;
  const TPoint point{mouse.x, mouse.y};
  switch (message.Msg) {
    case WM_LBUTTONDOWN:
      MouseDown(point);
      message.Result = 0;
      return;
    case WM_LBUTTONUP:
      MouseUp(point);
      message.Result = 0;
      return;
    case WM_LBUTTONDBLCLK:
      DoubleClick(point);
      message.Result = 0;
      return;
    case WM_MOUSEMOVE:
      // The hover pictures follow the mouse.
      if (ButtonAt(point) != hot_button_) RepaintSoon();
      break;
    case WM_GETOBJECT:
      if (AnswerAccessibleClient(message, Handle(), [this] { return NewTitleBarAccessible(Handle()); })) return;
      break;
    case WM_ENABLE:
      TCustomPanel::WndProc(message);
      NotifyTitleBarButtonsStateChanged(*this);
      return;
    case kivMsgTitleBarClickButton:
      // Anyone may post it: the index is checked against the buttons a click reaches.
      if (const std::optional<int> index = msg::PostedIndex(message, buttons_.Count())) ClickButton(*index);
      message.Result = 0;
      return;
    default:
      break;
  }
  TCustomPanel::WndProc(message);
}

void TkivTitleBar::MouseLeave() {
  hot_button_ = -1;
  RepaintSoon();
}

void TkivTitleBar::MouseDown(TPoint point) {
  pressed_ = true;
  Repaint();
  TForm* form = ParentForm();
  if (ButtonAt(point) == -1 && form && (!ParentMaximized() || IsDesigning())) {
    // A press on the caption: the platform moves the window with the mouse.
    pressed_ = false;
    ReleaseCapture();
    const TPoint screen = ClientToScreen(point);
    SendMessageA(form->Handle(), WM_NCLBUTTONDOWN, HTCAPTION, msg::PackPoint({screen.X, screen.Y}));
    RepaintSoon();
    return;
  }
  SetCapture(Handle());
}

void TkivTitleBar::MouseUp(TPoint point) {
  if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
  const int hot = pressed_ ? ButtonAt(point) : -1;
  pressed_ = false;
  RepaintSoon();
  if (hot >= 0) ClickButton(hot);
}

void TkivTitleBar::ClickButton(int index) {
  const std::vector<TButtonPlace> places = ButtonPlaces();
  if (std::none_of(places.begin(), places.end(), [index](const TButtonPlace& place) { return place.Index == index; }))
    return;
  TkivTitleBarButton& button = buttons_.Items(index);
  switch (button.ButtonType()) {
    case TkivTitleBarBtnType::kivControlBox:
      if (button.ControlBoxMenu()) {
        DoClick(index);
      } else {
        const TPoint corner = ClientToScreen({0, Height()});
        PopupWindowMenu(corner.X, corner.Y);
      }
      return;
    case TkivTitleBarBtnType::kivCustom:
      DoClick(index);
      if (OnCustomBtnsClick) OnCustomBtnsClick(this, index);
      return;
    case TkivTitleBarBtnType::kivHelp:
      DoClick(index);
      if (OnHelpBtnClick) OnHelpBtnClick(this, index);
      return;
    default:
      DoClick(index);
      return;
  }
}

void TkivTitleBar::DoubleClick(TPoint point) {
  if (IsDesigning()) return;
  const int hot = ButtonAt(point);
  if (hot == -1) {
    for (int i = 0; i < buttons_.Count(); ++i)
      if (buttons_.Items(i).ButtonType() == TkivTitleBarBtnType::kivMax && buttons_.Items(i).Visible()) {
        DoClick(i);
        return;
      }
  } else if (buttons_.Items(hot).ButtonType() == TkivTitleBarBtnType::kivControlBox) {
    if (TForm* form = ParentForm()) form->Close();
  }
}

void TkivTitleBar::PopupWindowMenu(int screenX, int screenY) { window_menu_.Popup(std::max(0, screenX), screenY); }

void TkivTitleBar::DoClick(int index) {
  TForm* form = ParentForm();
  if (!form || index < 0 || index >= buttons_.Count()) return;
  const TkivTitleBarBtnType type = buttons_.Items(index).ButtonType();
  if (IsDesigning() && type != TkivTitleBarBtnType::kivClose) return;
  switch (type) {
    case TkivTitleBarBtnType::kivMax:
      if (ParentMaximized()) {
        form->SetWindowState(TWindowState::wsNormal);
      } else {
        form->SetWindowState(TWindowState::wsMaximized);
        if (!InForm()) {
          // Outside a skinned frame nobody else fits the window to the work area.
          TRect area;
          GetWorkAreaRect(area);
          PlaceControl(*form, TRect{area.Left - 2, area.Top - 2, area.Right + 2, area.Bottom - 1});
        }
      }
      ProcessMaxBtn();
      return;
    case TkivTitleBarBtnType::kivMin:
      if (form == Application().MainForm())
        SendMessageA(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
      else
        form->SetWindowState(TWindowState::wsMinimized);
      return;
    case TkivTitleBarBtnType::kivClose:
      form->Close();
      return;
    case TkivTitleBarBtnType::kivControlBox:
      if (TkivPopupMenu* menu = buttons_.Items(index).ControlBoxMenu()) {
        const TPoint corner = ClientToScreen({0, Height()});
        menu->Popup(form->Handle(), std::max(0, corner.X), corner.Y);
      }
      return;
    default:
      return;
  }
}

const TPropertyTable* TkivTitleBar::PublishedProperties() const {
  // Chained to the base class's table, which is the same for every object.
  static const TPropertyTable table = [base = TCustomPanel::PublishedProperties()] {
    TPropertyTable t(base);
    t.Boolean("Custom", &TkivTitleBar::Custom, &TkivTitleBar::SetCustom)
        .Component("FileTheme", &TkivTitleBar::FileTheme, &TkivTitleBar::SetFileTheme)
        .Integer("UIStyle", &TkivTitleBar::UIStyle, &TkivTitleBar::SetUIStyle)
        .Boolean("AutoSize", &TkivTitleBar::AutoSize, &TkivTitleBar::SetAutoSize)
        .Integer("ButtonInterval", &TkivTitleBar::ButtonInterval, &TkivTitleBar::SetButtonInterval)
        .Boolean("FormActive", &TkivTitleBar::FormActive, &TkivTitleBar::SetActive)
        .Integer("LeftBtnXOffset", &TkivTitleBar::LeftBtnXOffset, &TkivTitleBar::SetLeftBtnXOffset)
        .Integer("RightBtnXOffset", &TkivTitleBar::RightBtnXOffset, &TkivTitleBar::SetRightBtnXOffset)
        .Boolean("DrawAppIcon", &TkivTitleBar::DrawAppIcon, &TkivTitleBar::SetDrawAppIcon)
        .Integer("RoundCorner", &TkivTitleBar::RoundCorner, &TkivTitleBar::SetRoundCorner)
        .Integer("RoundCornerBottom", &TkivTitleBar::RoundCornerBottom, &TkivTitleBar::SetRoundCornerBottom)
        .Integer("InactiveCaptionColor", &TkivTitleBar::InactiveCaptionColor,
                 &TkivTitleBar::SetInactiveCaptionColor);
    return t;
  }();
  return &table;
}

}  // namespace plx
