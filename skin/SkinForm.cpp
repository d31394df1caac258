#include "skin/SkinForm.h"

#include <algorithm>
#include <typeinfo>
#include <utility>
#include <vector>

#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/GdiHandles.h"
#include "framework/MessageDecoders.h"
#include "framework/Properties.h"
#include "framework/ScopedState.h"
#include "skin/FileTheme.h"
#include "skin/SkinDraw.h"

namespace plx {

namespace {

// The caption and dialog-frame style bits together.
constexpr DWORD kCaptionBits = WS_CAPTION;
// The rows above the title bar that belong to the window frame.
constexpr int kTopInset = kivFrameTopRows;
// A form keeps this many rows beyond its title bar, menu bar and bottom border.
constexpr int kMinHeightSlack = 3;
// The frame's edges beside and below the client area are never narrower
// than this, whatever the skin's border pictures measure: the rest is
// filled in the form's colour.
constexpr int kMinFrameEdge = 4;
// The sides of the built-in frame: the dialog border the platform would draw.
constexpr int kBuiltInSideInset = 3;
// A built-in border this wide is its own bottom inset; any other width
// leaves one row more below it.
constexpr int kSelfInsetBorderWidth = 3;
// Where a built-in title's sections show in the window's top rows: from this
// column on (the corner left of it is the border's).
constexpr int kTopRowsFirstColumn = 2;
// A right title section at most this wide is stretched over the side strip
// instead of having its last columns copied.
constexpr int kNarrowRightSection = 2;
// The corner size whose rounded top corners the built-in border outlines,
// with one-pixel arcs.
constexpr int kOutlinedCornerSize = 11;
// A maximised window reaches this far past the work area at the left, top
// and right, and leaves this many of its bottom rows free.
constexpr int kMaximisedOverhang = 2;
constexpr int kMaximisedBottomGap = 1;

int Max4(int value) { return std::max(value, kMinFrameEdge); }

// Adds to runs, row by row, each maximal run of pixels that are not the
// see-through colour, for rows [fromRow, toRow) of image placed at top.
// A system colour is compared as the colour it stands for, as drawing does.
void AddOpaqueRuns(TBitmap& image, TColor seeThrough, int fromRow, int toRow, int top, std::vector<RECT>& runs) {
  seeThrough = ColorToRGB(seeThrough);
  const std::uint32_t key = ((seeThrough & 0xFF) << 16) | (seeThrough & 0xFF00) | ((seeThrough >> 16) & 0xFF);
  fromRow = std::max(fromRow, 0);
  toRow = std::min(toRow, image.Height());
  GdiFlush();
  for (int y = fromRow; y < toRow; ++y) {
    const std::uint32_t* row = image.ScanLine(y);
    if (!row) continue;
    int x = 0;
    while (x < image.Width()) {
      while (x < image.Width() && (row[x] & 0x00FFFFFF) == key) ++x;
      const int start = x;
      while (x < image.Width() && (row[x] & 0x00FFFFFF) != key) ++x;
      if (x > start) runs.push_back({start, top + y, x, top + y + 1});
    }
  }
}

TOwnedRegion RegionFromRects(const std::vector<RECT>& rects) {
  if (rects.empty()) return TOwnedRegion(CreateRectRgn(0, 0, 0, 0));
  std::vector<char> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
  header->dwSize = sizeof(RGNDATAHEADER);
  header->iType = RDH_RECTANGLES;
  header->nCount = static_cast<DWORD>(rects.size());
  header->nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
  RECT bounds = rects.front();
  for (const RECT& r : rects) {
    bounds.left = std::min(bounds.left, r.left);
    bounds.top = std::min(bounds.top, r.top);
    bounds.right = std::max(bounds.right, r.right);
    bounds.bottom = std::max(bounds.bottom, r.bottom);
  }
  header->rcBound = bounds;
  std::copy(rects.begin(), rects.end(), reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER)));
  return TOwnedRegion(ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()),
                                      reinterpret_cast<const RGNDATA*>(data.data())));
}

void CombineInto(TOwnedRegion& target, HRGN other) {
  if (other) CombineRgn(target.Get(), target.Get(), other, RGN_OR);
}

}  // namespace

TkivForm::TkivForm(TComponent* owner) : TCustomPanel(owner) {
  host_ = dynamic_cast<TForm*>(owner);
  if (!host_) return;
  for (int i = 0; i < host_->ComponentCount(); ++i) {
    auto* other = dynamic_cast<TkivForm*>(host_->Components(i));
    if (other && other != this) throw EInvalidOperation("Sorry, You can create only one TkivForm component in one form!");
  }
  SetBevelOuter(TBevelCut::bvNone);
  // The panel is one fill (or one tiling) around children that clip
  // themselves out of it: painted straight onto the window it cannot
  // flicker, and a window-sized buffer on every paint would cost more than
  // the paint itself.
  SetDoubleBuffered(false);
  title_bar_ = new TkivTitleBar(this);
  title_bar_->SetParent(this);
  title_bar_->OnCustomBtnsClick = [this](TObject*, int index) {
    if (OnTitleBarCustomBtnsClick) OnTitleBarCustomBtnsClick(this, index);
  };
  title_bar_->OnHelpBtnClick = [this](TObject*, int index) {
    if (OnTitleBarHelpBtnClick) OnTitleBarHelpBtnClick(this, index);
  };
  menu_bar_color_ = menu_bar_to_color_ = Color();
  // A frame made while its form is read from a layout takes its look once,
  // when it is loaded: the fallback look would otherwise be decoded and
  // composed only to be replaced by the one the layout names.
  if (host_->IsLoading()) BeginLoading();
  SetUIStyle(kivFallbackStyle);
  SetCaption(host_->Caption());
  TCustomPanel::SetCaption(" ");  // the panel itself paints no caption
  host_->SetScaled(false);
  const TFormBorderStyle style = host_->BorderStyle();
  if (style == TFormBorderStyle::bsNone || style == TFormBorderStyle::bsSingle ||
      style == TFormBorderStyle::bsToolWindow)
    host_->SetBorderStyle(TFormBorderStyle::bsDialog);

  hook_token_ = host_->AddWindowProcHook([this](TMessage& message, const TWndMethod& next) {
    HostWindowProc(message, next);
  });
  handle_events_token_ = host_->SubscribeHandleEvents([this](THandleEvent event) {
    if (event == THandleEvent::Created) {
      AttachToHostWindow();
    } else {
      if (Attached()) MoveTo(TkivFormState::WindowGone);
      measured_insets_.reset();
    }
  });
  if (host_->HandleAllocated()) AttachToHostWindow();
}

// NOLINTNEXTLINE(bugprone-exception-escape): every state may move to Stopped, and detaching only removes hooks by token
TkivForm::~TkivForm() { DetachFromHost(); }

void TkivForm::BeforeDestruction() {
  DetachFromHost();
  TCustomPanel::BeforeDestruction();
}

void TkivForm::MoveTo(TkivFormState next) {
  if (!IsLegalFormStateMove(state_, next))
    throw EInvalidOperation("A skinned frame cannot move to that state from the one it is in");
  state_ = next;
}

void TkivForm::DetachFromHost() {
  const bool attached = Attached();
  MoveTo(TkivFormState::Stopped);
  if (!host_) return;
  TForm* host = std::exchange(host_, nullptr);
  host->RemoveWindowProcHook(hook_token_);
  host->UnsubscribeHandleEvents(handle_events_token_);
  if (host->HandleAllocated() && !host->IsDestroying() && attached) {
    // Give the window its caption back.
    HWND window = host->Handle();
    SetWindowLongPtrA(window, GWL_STYLE, GetWindowLongPtrA(window, GWL_STYLE) | kCaptionBits);
    SetWindowRgn(window, nullptr, TRUE);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
}

bool TkivForm::UsingSkin() const {
  TkivUIStyle effective = ui_style_;
  return UsingFileTheme(file_theme_, ui_style_, effective);
}

bool TkivForm::HostMinimized() const { return host_ && host_->HandleAllocated() && IsIconic(host_->Handle()); }

TRect TkivForm::FrameInsets() const {
  if (frame_from_skin_) return {Max4(skin_left_), kTopInset, Max4(skin_right_), Max4(skin_bottom_)};
  return {kBuiltInSideInset, kTopInset, kBuiltInSideInset,
          border_width_ == kSelfInsetBorderWidth ? kSelfInsetBorderWidth : border_width_ + 1};
}

// ------------------------------------------------------------ the look

void TkivForm::SetFileTheme(TkivFileTheme* value) {
  if (file_theme_ == value) return;
  if (file_theme_) RemoveFreeNotification(file_theme_);
  file_theme_ = value;
  if (file_theme_) FreeNotification(file_theme_);
  SetUIStyle(ui_style_);
}

void TkivForm::UpdateFrameSizes() {
  frame_from_skin_ = UsingSkin();
  skin_left_ = skin_right_ = skin_bottom_ = 0;
  if (!frame_from_skin_) return;
  // A picture the skin lacks counts as 0 wide or high.
  if (const TBitmap* left = file_theme_->GetBitmap(SKIN2_FORMLEFTBORDER)) skin_left_ = left->Width();
  if (const TBitmap* right = file_theme_->GetBitmap(SKIN2_FORMRIGHTBORDER)) skin_right_ = right->Width();
  if (const TBitmap* bottom = file_theme_->GetBitmap(SKIN2_FORMBOTTOMBORDER1)) skin_bottom_ = bottom->Height();
}

void TkivForm::SetUIStyle(TkivUIStyle value) {
  ui_style_ = value;
  if (!host_) return;
  // The frame's sizes follow at once, even while the rest of the look waits
  // for the layout: a host window made in between is measured once, with the
  // frame it keeps.
  UpdateFrameSizes();
  if (IsLoading()) {
    // While the layout is read the look is applied once, when it is loaded.
    look_pending_ = true;
    return;
  }
  look_pending_ = false;
  // The bottom picture belongs to the look it was cut from: the next one
  // composes its own even when it has the same size.
  bottom_image_.SetSize(0, 0);
  TkivUIStyle effective = value;
  const bool useSkin = UsingFileTheme(file_theme_, value, effective);
  if (useSkin) {
    const TkivFileTheme& theme = *file_theme_;
    SetColor(theme.GetColor(SKIN2_FORMCOLOR));
    menu_bar_color_ = theme.GetColor(SKIN2_MENUBARSTARTCOLOR);
    menu_bar_to_color_ = theme.GetColor(SKIN2_MENUBARENDCOLOR);
    trans_color_ = theme.GetColor(SKIN2_TRANSCOLOR);
    title_region_ = theme.GetBool(SKIN2_TITLEBARNEEDREGION);
    bottom_region_ = theme.GetBool(SKIN2_BOTTOMBORDERNEEDREGION);
    title_min_y_ = theme.GetInt(SKIN2_TITLEBARREGIONMINY);
    title_max_y_ = theme.GetInt(SKIN2_TITLEBARREGIONMAXY);
    bottom_min_y_ = theme.GetInt(SKIN2_BOTTOMREGIONMINY);
    bottom_max_y_ = theme.GetInt(SKIN2_BOTTOMREGIONMAXY);
  } else {
    trans_color_ = kSkinTransparentColor;
    title_region_ = bottom_region_ = false;
    border_color_ = GetInsideThemeColor(effective, kivItemBorderColor);
    border_width_ = GetInsideThemeInt(effective, kivItemBorderWidth);
    SetColor(GetInsideThemeColor(effective, kivItemFormColor));
    menu_bar_color_ = menu_bar_to_color_ = Color();
  }
  title_bar_->SetLook(file_theme_, value);
  if (!useSkin) title_bar_->SetRoundCornerBottom(0);
  AlignTitleBar();
  if (auto_update_sub_) ContainerApplyUIStyle(this, value, file_theme_);
  RecomputeFrame();
  Invalidate();
  PaintFormBorder();
  RegionWindow();
  // The frame alone sets the form's limits: the width the title bar's look
  // needs, and a height with the frame's own parts counted in. The skin's
  // bottom border counts as it is drawn, not as the inset it leaves; a
  // built-in style has none.
  if (title_bar_->MinFormWidth() > 0) host_->Constraints().MinWidth = title_bar_->MinFormWidth();
  host_->Constraints().MinHeight = MenuBarHeight() + title_bar_->Height() + skin_bottom_ + kMinHeightSlack;
}

void TkivForm::Loaded() {
  TCustomPanel::Loaded();
  if (look_pending_) SetUIStyle(ui_style_);
}

void TkivForm::SetBorderColor(TColor value) {
  if (border_color_ == value) return;
  border_color_ = value;
  PaintFormBorder();
}

void TkivForm::SetBorderWidth(int value) {
  if (border_width_ == value) return;
  border_width_ = value;
  RecomputeFrame();
  PaintFormBorder();
}

void TkivForm::SetTitleBarVisible(bool value) {
  if (title_bar_visible_ == value || !title_bar_) return;
  title_bar_visible_ = value;
  title_bar_->SetVisible(value);
  AlignTitleBar();
  PaintFormBorder();
}

void TkivForm::SetTitleBarCustom(bool value) {
  if (title_bar_) title_bar_->SetCustom(value);
}

void TkivForm::SetTitleBarDrawAppIcon(bool value) {
  if (title_bar_) title_bar_->SetDrawAppIcon(value);
}

const std::string& TkivForm::Caption() const { return title_bar_ ? title_bar_->Caption() : TCustomPanel::Caption(); }

void TkivForm::SetCaption(std::string value) {
  if (!title_bar_) {
    TCustomPanel::SetCaption(std::move(value));
    return;
  }
  title_bar_->SetCaption(value);
  if (host_) host_->SetCaption(std::move(value));
}

TFont& TkivForm::Font() { return title_bar_ ? title_bar_->Font() : TCustomPanel::Font(); }

void TkivForm::SetRoundCorner(int value) {
  if (!title_bar_) return;
  title_bar_->SetRoundCorner(value);
  RegionWindow();
}

void TkivForm::SetRoundCornerBottom(int value) {
  if (!title_bar_) return;
  title_bar_->SetRoundCornerBottom(value);
  RegionWindow();
}

TColor TkivForm::InactiveCaptionColor() const {
  return title_bar_ ? title_bar_->InactiveCaptionColor() : clInactiveCaption;
}

void TkivForm::SetInactiveCaptionColor(TColor value) {
  if (title_bar_) title_bar_->SetInactiveCaptionColor(value);
}

void TkivForm::SetFormPanel(TCustomPanel* value) {
  if (value == this) {
    Application().ShowException(EInvalidOperation("Sorry, you can't select the Form assign to FormPanel property"));
    return;
  }
  if (form_panel_ == value) return;
  if (form_panel_) RemoveFreeNotification(form_panel_);
  form_panel_ = value;
  if (!form_panel_) return;
  FreeNotification(form_panel_);
  // A plain panel becomes the flat, captionless ground of the client area.
  if (typeid(*form_panel_) == typeid(TPanel)) {
    form_panel_->SetBevelOuter(TBevelCut::bvNone);
    form_panel_->SetCaption("");
  }
  AlignFormPanel();
}

void TkivForm::AlignFormPanel() {
  if (!form_panel_ || !form_panel_->Parent()) return;
  if (form_panel_->Parent() == this) {
    const int top = title_bar_visible_ && title_bar_ ? title_bar_->Height() : 0;
    form_panel_->SetBounds(0, top, Width(), std::max(0, Height() - top));
    return;
  }
  const TRect area = form_panel_->Parent()->ClientRect();
  form_panel_->SetBounds(area.Left, area.Top, area.Width(), area.Height());
}

void TkivForm::Notification(TComponent* component, TOperation operation) {
  TCustomPanel::Notification(component, operation);
  if (operation == TOperation::opRemove && component == form_panel_) form_panel_ = nullptr;
  if (operation != TOperation::opRemove || component != file_theme_) return;
  file_theme_ = nullptr;
  if (Stopped() || IsDestroying()) return;
  ContainerApplyUIStyle(this, kivFallbackStyle, nullptr);
  SetUIStyle(kivFallbackStyle);
}

// ------------------------------------------------------ the host window

void TkivForm::AttachToHostWindow() {
  if (!host_ || !host_->HandleAllocated()) return;
  HWND window = host_->Handle();
  const bool first = state_ == TkivFormState::NoWindowYet;
  RECT client{};
  GetClientRect(window, &client);  // still the platform's own frame the first time
  MoveTo(TkivFormState::Attached);
  measured_insets_.reset();
  StripCaption();
  if (first) {
    // The client area the form was given is what the layout fixes: it stays
    // while the caption goes and the frame's own insets take its place.
    const TRect insets = FrameInsets();
    SetWindowPos(window, nullptr, 0, 0, client.right + insets.Left + insets.Right,
                 client.bottom + insets.Top + insets.Bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  } else {
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
  FitToHostClientArea();
  RegionWindow();
}

void TkivForm::StripCaption() {
  HWND window = host_->Handle();
  const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
  if (style & kCaptionBits) SetWindowLongPtrA(window, GWL_STYLE, style & ~static_cast<LONG_PTR>(kCaptionBits));
}

void TkivForm::RecomputeFrame() {
  if (!Attached() || !host_->HandleAllocated()) return;
  HWND window = host_->Handle();
  if (IsIconic(window) || IsZoomed(window)) {
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return;
  }
  // Keep the client area when the insets change with the look.
  RECT client{};
  GetClientRect(window, &client);
  const TRect insets = FrameInsets();
  RECT bounds{};
  GetWindowRect(window, &bounds);
  // Measuring the window again is costly; when its client area was measured
  // with these very insets and the window already has its size, nothing
  // would change.
  if (measured_insets_ == insets && bounds.right - bounds.left == client.right + insets.Left + insets.Right &&
      bounds.bottom - bounds.top == client.bottom + insets.Top + insets.Bottom)
    return;
  SetWindowPos(window, nullptr, 0, 0, client.right + insets.Left + insets.Right,
               client.bottom + insets.Top + insets.Bottom,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TkivForm::FitToHostClientArea() {
  if (!host_->HandleAllocated()) return;
  RECT client{};
  GetClientRect(host_->Handle(), &client);
  SetBounds(0, 0, client.right, client.bottom);
}

void TkivForm::SetBounds(int left, int top, int width, int height) {
  TCustomPanel::SetBounds(left, top, width, height);
  AlignTitleBar();
}

void TkivForm::AlignTitleBar() {
  if (!title_bar_) return;
  title_bar_->SetBounds(0, 0, Width(), title_bar_->Height());
  AlignFormPanel();
}

void TkivForm::HostResized() {
  HWND window = host_->Handle();
  if (IsZoomed(window) && !placing_) {
    // A maximised window covers the work area and 2 pixels more at the left,
    // top and right, leaving the work area's bottom row free.
    const TAutoReset placing(placing_, true);
    TRect area;
    GetWorkAreaRect(area);
    SetWindowPos(window, nullptr, area.Left - kMaximisedOverhang, area.Top - kMaximisedOverhang,
                 area.Width() + 2 * kMaximisedOverhang, area.Height() + kMaximisedOverhang - kMaximisedBottomGap,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  FitToHostClientArea();
  title_bar_->ProcessMaxBtn();
  title_bar_->Invalidate();
  PaintFormBorder();
  RegionWindow();
}

void TkivForm::OpenWindowMenuBelowTitleBar() {
  RECT bounds{};
  GetWindowRect(host_->Handle(), &bounds);
  title_bar_->PopupWindowMenu(bounds.left, bounds.top + title_bar_->Height());
}

void TkivForm::HostWindowProc(TMessage& message, const TWndMethod& next) {
  if (message.Msg == WM_NCCREATE && (state_ == TkivFormState::WindowGone || Attached())) {
    // A window made again carries the frame from its first message on, so
    // its client area is the frame's from the start.
    MoveTo(TkivFormState::Attached);
    StripCaption();
  }
  if (!Attached()) return next(message);
  switch (message.Msg) {
    case WM_NCCALCSIZE: {
      // The client area is the window inset by the frame's sizes; the
      // platform's own frame arithmetic is not wanted.
      RECT* rect = msg::NcCalcSize(message).ProposedRect;
      const TRect insets = FrameInsets();
      measured_insets_ = insets;
      rect->left += insets.Left;
      rect->top += insets.Top;
      rect->right -= insets.Right;
      rect->bottom -= insets.Bottom;
      if (rect->right < rect->left) rect->right = rect->left;
      if (rect->bottom < rect->top) rect->bottom = rect->top;
      message.Result = 0;
      return;
    }
    case WM_NCPAINT:
    case WM_NCACTIVATE:
      if (HostMinimized()) return next(message);
      title_bar_->Invalidate();
      PaintFormBorder();
      message.Result = TRUE;
      return;
    case WM_ACTIVATE:
      next(message);
      title_bar_->SetActive(msg::Activating(message));
      PaintFormBorder();
      return;
    case WM_STYLECHANGED:
      next(message);
      // Whoever gives the caption back, the frame takes it off again.
      if (const msg::TStyleChange change = msg::StyleChange(message);
          change.Which == GWL_STYLE && (change.Styles->styleNew & kCaptionBits)) {
        StripCaption();
        SetWindowPos(host_->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
      }
      return;
    case WM_SIZE:
      next(message);
      if (msg::Size(message).Kind != SIZE_MINIMIZED) HostResized();
      return;
    case WM_SYSCOMMAND:
      // Alt+Space opens the title bar's own menu, not the platform's.
      if (const msg::TSysCommand command = msg::SysCommand(message);
          command.Command == SC_KEYMENU && command.Detail == VK_SPACE) {
        OpenWindowMenuBelowTitleBar();
        message.Result = 0;
        return;
      }
      return next(message);
    case kivMsgTitleBarLeftInset:
      message.Result = frame_from_skin_ ? Max4(skin_left_) : kBuiltInSideInset;
      return;
    default:
      return next(message);
  }
}

// ------------------------------------------------------------- painting

void TkivForm::Paint() {
  if (Stopped()) return;
  const TRect client{0, 0, Width(), Height()};
  TkivUIStyle effective = ui_style_;
  const bool useSkin = UsingFileTheme(file_theme_, ui_style_, effective);
  if (TBitmap* tile = BackgroundTile(useSkin, effective)) {
    TileDraw(Canvas(), *tile, client);
  } else {
    Canvas().Brush().SetColor(Color());
    Canvas().FillRect(client);
  }
  // A see-through child has the panel painted behind it into its own DC:
  // the window's frame is no part of that picture.
  if (!painting_elsewhere_) PaintFormBorder();
}

TBitmap* TkivForm::BackgroundTile(bool useSkin, TkivUIStyle effective) {
  const char* name = nullptr;
  if (!useSkin && effective == TkivUIStyle::MacOS) name = "MACOS_FORM_BACKGROUND";
  if (!useSkin && effective == TkivUIStyle::Protein) name = "PROTEIN_FORM_BACKGROUND";
  if (!name) return nullptr;
  if (tile_for_ != effective) {
    tile_for_ = effective;
    try {
      tile_.LoadFromResourceName(GetModuleHandleA(nullptr), name);
    } catch (const Exception&) {
      tile_.SetSize(0, 0);  // without its tile the panel is filled in its colour
    }
  }
  return tile_.Empty() ? nullptr : &tile_;
}

void TkivForm::WndProc(TMessage& message) {
  if (message.Msg != WM_PAINT || msg::PaintDC(message) == nullptr) return TCustomPanel::WndProc(message);
  const TAutoReset elsewhere(painting_elsewhere_, true);
  TCustomPanel::WndProc(message);
}

void TkivForm::PaintFormBorder() {
  if (!Attached() || !host_ || !host_->HandleAllocated()) return;
  if (HostMinimized() && !IsDesigning()) return;
  HWND window = host_->Handle();
  RECT bounds{};
  GetWindowRect(window, &bounds);
  const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
  if (width <= 0 || height <= 0) return;
  const TWindowDC dc = TWindowDC::WholeWindow(window);
  if (dc.Get()) PaintFormBorderOn(dc.Get(), width, height);
}

void TkivForm::PaintFormBorderOn(HDC dc, int width, int height) {
  if (!host_ || width <= 0 || height <= 0) return;
  TSavedDCState saved(dc);
  // Only the frame is painted: the client area belongs to the controls.
  const TRect insets = FrameInsets();
  ExcludeClipRect(dc, insets.Left, insets.Top, width - insets.Right, height - insets.Bottom);
  TBorrowedCanvas canvas(dc);
  if (UsingSkin())
    PaintSkinBorder(canvas, width, height);
  else
    PaintBuiltInBorder(canvas, width, height);
}

void TkivForm::ComposeBottomImage(int width) {
  const TkivFileTheme& theme = *file_theme_;
  TBitmap* first = theme.GetBitmap(SKIN2_FORMBOTTOMBORDER1);
  const int height = skin_bottom_;
  if (!first || width <= 0 || height <= 0) {
    bottom_image_.SetSize(0, 0);
    return;
  }
  TBitmap image(width, height);
  TCanvas& canvas = image.Canvas();
  if (theme.GetBool(SKIN2_BOTTOMBORDERTHREESECT)) {
    TBitmap* middle = theme.GetBitmap(SKIN2_FORMBOTTOMBORDER2);
    TBitmap* last = theme.GetBitmap(SKIN2_FORMBOTTOMBORDER3);
    const int leftWidth = first->Width(), rightWidth = last ? last->Width() : 0;
    if (middle && width - rightWidth > leftWidth)
      canvas.StretchDraw({leftWidth, 0, width - rightWidth, middle->Height()}, *middle);
    canvas.Draw(0, 0, *first);
    if (last) canvas.Draw(width - rightWidth, 0, *last);
  } else {
    SpitDrawHorizontal2(*first, canvas, {0, 0, width, height}, trans_color_, false);
  }
  if (bottom_region_) {
    // Its see-through parts show the form's colour.
    bottom_image_.SetSize(width, height);
    bottom_image_.Canvas().Brush().SetColor(theme.GetColor(SKIN2_FORMCOLOR));
    bottom_image_.Canvas().FillRect({0, 0, width, height});
    image.SetTransparentColor(trans_color_);
    image.SetTransparent(true);
    bottom_image_.Canvas().Draw(0, 0, image);
  } else {
    bottom_image_.Assign(image);
  }
  bottom_image_.SetTransparentColor(trans_color_);
  bottom_image_.SetTransparent(false);
}

void TkivForm::PaintSkinBorder(TCanvas& canvas, int width, int height) {
  const TkivFileTheme& theme = *file_theme_;
  const TColor formColor = theme.GetColor(SKIN2_FORMCOLOR);
  const int left = Max4(skin_left_), right = Max4(skin_right_), bottom = skin_bottom_;
  const bool titleShown = title_bar_visible_ && title_bar_->CanPaint();
  if (titleShown) {
    TBitmap* title = title_bar_->GetTitleImage(-2);
    if (!title->Empty()) {
      HDC source = title->Canvas().Handle();
      const int imageHeight = title->Height();
      BitBlt(canvas.Handle(), 0, 0, std::min(left, title->Width()), imageHeight, source, 0, 0, SRCCOPY);
      BitBlt(canvas.Handle(), 0, 0, std::min(width, title->Width()), kTopInset, source, 0, 0, SRCCOPY);
      const int from = std::max(0, title->Width() - right);
      BitBlt(canvas.Handle(), width - right, 0, title->Width() - from, imageHeight, source, from, 0, SRCCOPY);
    }
  }
  const int top = title_bar_visible_ ? title_bar_->Height() + kTopInset : 0;
  canvas.Brush().SetColor(formColor);
  if (TBitmap* picture = theme.GetBitmap(SKIN2_FORMLEFTBORDER); picture && height - bottom > top)
    canvas.StretchDraw({0, top, picture->Width(), height - bottom}, *picture);
  if (skin_left_ < kMinFrameEdge) canvas.FillRect({skin_left_, top, kMinFrameEdge, height - bottom});
  if (TBitmap* picture = theme.GetBitmap(SKIN2_FORMRIGHTBORDER); picture && height - bottom > top)
    canvas.StretchDraw({width - picture->Width(), top, width, height - bottom}, *picture);
  if (skin_right_ < kMinFrameEdge) canvas.FillRect({width - kMinFrameEdge, top, width - skin_right_, height - bottom});
  if (bottom_image_.Width() != width || bottom_image_.Height() != bottom) ComposeBottomImage(width);
  if (!bottom_image_.Empty()) canvas.Draw(0, height - bottom, bottom_image_);
  if (bottom < kMinFrameEdge)
    canvas.FillRect({skin_left_, height - kMinFrameEdge, width - skin_right_, height - bottom});
}

void TkivForm::PaintBuiltInBorder(TCanvas& canvas, int width, int height) {
  const int bw = std::max(0, border_width_);
  const bool titleShown = title_bar_visible_ && title_bar_->CanPaint();
  const int titleBottom = title_bar_visible_ ? title_bar_->Height() + kTopInset : 0;
  if (titleShown) {
    TBitmap* leftSection = title_bar_->GetTitleImage(0);
    TBitmap* rightSection = title_bar_->GetTitleImage(1);
    const int strip = kBuiltInSideInset - bw;
    if (strip > 0) {
      HDC dc = canvas.Handle();
      if (leftSection)
        BitBlt(dc, bw, 0, std::min(strip, leftSection->Width()), leftSection->Height(),
               leftSection->Canvas().Handle(), 0, 0, SRCCOPY);
      if (rightSection) {
        if (rightSection->Width() <= kNarrowRightSection)
          canvas.StretchDraw({width - kBuiltInSideInset, 0, width - bw, rightSection->Height()}, *rightSection);
        else
          BitBlt(dc, width - kBuiltInSideInset, 0, strip, rightSection->Height(), rightSection->Canvas().Handle(),
                 rightSection->Width() - strip, 0, SRCCOPY);
      }
    }
    // The top rows show the sections laid out over the whole window width:
    // the title bar's full-width image, composed when the size or the look
    // changed, is copied, never stretched here.
    TBitmap* title = title_bar_->GetTitleImage(-1);
    const int right = std::min(width - kBuiltInSideInset, title->Width());
    const int rows = std::min(kTopInset, title->Height());
    if (right > kTopRowsFirstColumn && rows > 0)
      BitBlt(canvas.Handle(), kTopRowsFirstColumn, 0, right - kTopRowsFirstColumn, rows,
             title->Canvas().Handle(), kTopRowsFirstColumn, 0, SRCCOPY);
  }
  if (titleShown && bw == 1 && RoundCorner() == kOutlinedCornerSize && !IsDesigning()) {
    // Each arc spans the corner's ellipse (one pixel larger than the
    // region's corner) from the middle of one side to the middle of the other.
    constexpr int box = kOutlinedCornerSize + 1, mid = box / 2;
    canvas.Pen().SetColor(border_color_);
    canvas.Pen().SetWidth(1);
    Arc(canvas.Handle(), 0, 0, box, box, mid, 0, 0, mid);
    Arc(canvas.Handle(), width - box, 0, width, box, width, mid, width - mid, 0);
  }
  if (!title_bar_visible_) {
    canvas.Brush().SetColor(border_color_);
    canvas.FillRect({0, 0, width, 1});
    canvas.Brush().SetColor(Color());
    canvas.FillRect({bw, 1, width - bw, kTopInset});
  }
  canvas.Brush().SetColor(border_color_);
  canvas.FillRect({0, 0, bw, height});
  canvas.FillRect({width - bw, 0, width, height});
  canvas.FillRect({0, height - bw, width, height});
  if (bw < kMinFrameEdge) {
    const TRect insets = FrameInsets();
    canvas.Brush().SetColor(Color());
    canvas.FillRect({bw, height - insets.Bottom, width - bw, height - bw});
    canvas.FillRect({bw, titleBottom, kBuiltInSideInset, height - bw});
    canvas.FillRect({width - kBuiltInSideInset, titleBottom, width - bw, height - bw});
  }
}

// --------------------------------------------------------------- region

void TkivForm::RegionWindow() {
  if (!Attached() || !host_ || !host_->HandleAllocated()) return;
  HWND window = host_->Handle();
  RECT bounds{};
  GetWindowRect(window, &bounds);
  const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
  TOwnedRegion region;
  if (UsingSkin()) {
    if (!title_region_ && !bottom_region_) {
      region.Reset(CreateRectRgn(0, 0, width, height));
    } else {
      std::vector<RECT> rects;
      TBitmap* title = title_region_ && title_bar_visible_ ? title_bar_->GetTitleImage(-1) : nullptr;
      const int titleHeight = title ? std::min(title->Height(), height) : 0;
      if (title && titleHeight > 0) {
        const int minRow = std::max(title_min_y_, 0);
        const int maxRow = title_min_y_ < title_max_y_ ? std::min(title_max_y_, titleHeight) : titleHeight;
        if (minRow > 0) rects.push_back({0, 0, width, std::min(minRow, titleHeight)});
        AddOpaqueRuns(*title, trans_color_, minRow, maxRow, 0, rects);
        if (maxRow < titleHeight) rects.push_back({0, std::max(maxRow, minRow), width, titleHeight});
      }
      if (bottom_image_.Width() != width) ComposeBottomImage(width);
      const int bottomHeight = bottom_region_ ? std::min(bottom_image_.Height(), height - titleHeight) : 0;
      if (height - bottomHeight > titleHeight) rects.push_back({0, titleHeight, width, height - bottomHeight});
      if (bottomHeight > 0) {
        const int top = height - bottomHeight;
        const int minRow = std::max(bottom_min_y_, 0);
        const int maxRow = bottom_min_y_ < bottom_max_y_ ? std::min(bottom_max_y_, bottomHeight) : bottomHeight;
        if (minRow > 0) rects.push_back({0, top, width, top + std::min(minRow, bottomHeight)});
        AddOpaqueRuns(bottom_image_, trans_color_, minRow, maxRow, top, rects);
        if (maxRow < bottomHeight) rects.push_back({0, top + std::max(maxRow, minRow), width, height});
      }
      region = RegionFromRects(rects);
    }
  } else if (!IsDesigning()) {
    const int corner = std::max(0, title_bar_->RoundCorner());
    const int cornerBottom = std::max(0, title_bar_->RoundCornerBottom());
    const int half = height / 2;
    // A corner size of 0 is a plain rectangle.
    auto halfRegion = [&](int top, int bottom, int size) {
      return size > 0 ? CreateRoundRectRgn(0, top, width + 1, bottom + 1, size, size)
                      : CreateRectRgn(0, top, width, bottom);
    };
    region.Reset(halfRegion(0, half, corner));
    TOwnedRegion part(CreateRectRgn(0, half + 1 - 2 * corner, 2 * corner, half + 1));
    if (corner > 0) CombineInto(region, part.Get());
    part.Reset(CreateRectRgn(width + 1 - 2 * corner, half + 1 - 2 * corner, width + 1, half + 1));
    if (corner > 0) CombineInto(region, part.Get());
    part.Reset(halfRegion(half, height, cornerBottom));
    CombineInto(region, part.Get());
    part.Reset(CreateRectRgn(0, half, 2 * cornerBottom, half + 2 * cornerBottom));
    if (cornerBottom > 0) CombineInto(region, part.Get());
    part.Reset(CreateRectRgn(width + 1 - 2 * cornerBottom, half, width + 1, half + 2 * cornerBottom));
    if (cornerBottom > 0) CombineInto(region, part.Get());
  }
  if (!region) return;
  // Setting a region moves and repaints the whole window: when the window
  // already has this very region (the size and the look are unchanged), that
  // work is skipped.
  TOwnedRegion current(CreateRectRgn(0, 0, 0, 0));
  if (current && GetWindowRgn(window, current.Get()) != ERROR && EqualRgn(current.Get(), region.Get())) return;
  // The window owns the region once it has taken it.
  if (SetWindowRgn(window, region.Get(), TRUE)) region.Release();
}

// ----------------------------------------------------------- properties

const TPropertyTable* TkivForm::PublishedProperties() const {
  // Chained to the base class's table, which is the same for every object.
  static const TPropertyTable table = [base = TCustomPanel::PublishedProperties()] {
    TPropertyTable t(base);
    t.Boolean("TitleBarCustom", &TkivForm::TitleBarCustom, &TkivForm::SetTitleBarCustom)
        .Component("FileTheme", &TkivForm::FileTheme, &TkivForm::SetFileTheme)
        .Integer("UIStyle", &TkivForm::UIStyle, &TkivForm::SetUIStyle)
        .Boolean("UIStyleAutoUpdateSub", &TkivForm::UIStyleAutoUpdateSub, &TkivForm::SetUIStyleAutoUpdateSub)
        .Integer("BorderColor", &TkivForm::BorderColor, &TkivForm::SetBorderColor)
        .Integer("BorderWidth", &TkivForm::BorderWidth, &TkivForm::SetBorderWidth)
        .Boolean("TitleBarVisible", &TkivForm::TitleBarVisible, &TkivForm::SetTitleBarVisible)
        .Component("FormPanel", &TkivForm::FormPanel, &TkivForm::SetFormPanel)
        .Boolean("TitleBarDrawAppIcon", &TkivForm::TitleBarDrawAppIcon, &TkivForm::SetTitleBarDrawAppIcon)
        .Integer("MenuBarColor", &TkivForm::MenuBarColor, &TkivForm::SetMenuBarColor)
        .Integer("MenuBarToColor", &TkivForm::MenuBarToColor, &TkivForm::SetMenuBarToColor)
        .Integer("MenuBarHeight", &TkivForm::MenuBarHeight, &TkivForm::SetMenuBarHeight)
        .Integer("RoundCorner", &TkivForm::RoundCorner, &TkivForm::SetRoundCorner)
        .Integer("RoundCornerBottom", &TkivForm::RoundCornerBottom, &TkivForm::SetRoundCornerBottom)
        .Integer("InactiveCaptionColor", &TkivForm::InactiveCaptionColor, &TkivForm::SetInactiveCaptionColor);
    return t;
  }();
  return &table;
}

}  // namespace plx
