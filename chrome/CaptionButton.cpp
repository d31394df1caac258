#include "chrome/CaptionButton.h"

#include <algorithm>
#include <vector>

#include "chrome/ChromeMessages.h"
#include "chrome/GlyphDrawing.h"
#include "chrome/VisualStyles.h"
#include "framework/GdiHandles.h"
#include "framework/MessageDecoders.h"

namespace plx {
namespace {

// The caption buttons of one window in slot order, index 0 nearest the
// system buttons. The list follows its window across re-creation.
struct TacRealButtonsList {
  HWND WindowKey = nullptr;  // borrowed
  std::vector<TacCustomCaptionButton*> Buttons;  // borrowed
};

using TacVirtualBtnList = std::vector<std::unique_ptr<TacRealButtonsList>>;

TacVirtualBtnList& VirtualBtnList() {
  static TacVirtualBtnList lists;
  return lists;
}

TacRealButtonsList* ListContaining(const TacCustomCaptionButton* button) {
  for (auto& list : VirtualBtnList())
    if (std::find(list->Buttons.begin(), list->Buttons.end(), button) != list->Buttons.end()) return list.get();
  return nullptr;
}

TacRealButtonsList& ListForWindow(HWND window) {
  for (auto& list : VirtualBtnList())
    if (list->WindowKey == window) return *list;
  VirtualBtnList().push_back(std::make_unique<TacRealButtonsList>());
  VirtualBtnList().back()->WindowKey = window;
  return *VirtualBtnList().back();
}

constexpr LONG_PTR kFullCaption = WS_CAPTION;  // both WS_BORDER and WS_DLGFRAME

// Where the client area's top-left corner lies in window coordinates.
POINT ClientOriginInWindow(HWND window) {
  RECT windowRect{};
  GetWindowRect(window, &windowRect);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  return POINT{origin.x - windowRect.left, origin.y - windowRect.top};
}

bool Usable(HWND tooltip) { return tooltip && tooltip != reinterpret_cast<HWND>(-1); }

}  // namespace

bool TacCustomCaptionButton::HasFullCaption() const { return (GetWindowStyle() & kFullCaption) == kFullCaption; }

int CaptionButtonCount(HWND window) {
  for (auto& list : VirtualBtnList())
    if (list->WindowKey == window) return static_cast<int>(list->Buttons.size());
  return 0;
}

TacCustomCaptionButton* CaptionButtonAt(HWND window, int index) {
  for (auto& list : VirtualBtnList())
    if (list->WindowKey == window) return list->Buttons.at(static_cast<std::size_t>(index));
  return nullptr;
}

// ------------------------------------------------------------ TacSystemMenu

TacSystemMenu::~TacSystemMenu() { RemoveMenuItem(); }

void TacSystemMenu::SetApplyToMenu(bool value) {
  if (value == apply_to_menu_) return;
  RemoveMenuItem();
  apply_to_menu_ = value;
  ApplyMenuItem();
}

void TacSystemMenu::SetCaption(const std::string& value) {
  if (value == caption_) return;
  RemoveMenuItem();
  caption_ = value;
  ApplyMenuItem();
}

void TacSystemMenu::SetPosition(unsigned short value) {
  if (value == position_) return;
  RemoveMenuItem();
  position_ = value;
  ApplyMenuItem();
}

void TacSystemMenu::SetSeparators(TacMenuSeparators value) {
  if (value == separators_) return;
  RemoveMenuItem();
  separators_ = value;
  ApplyMenuItem();
}

void TacSystemMenu::UpdateMenuItem() {
  RemoveMenuItem();
  ApplyMenuItem();
}

void TacSystemMenu::ApplyMenuItem() {
  if (!apply_to_menu_) return;
  HMENU menu = button_.GetSystemMenuHandle();
  if (!menu) return;
  const UINT id = button_.CommandId();
  const int count = GetMenuItemCount(menu);
  // A position past the end appends.
  const UINT pos = count + 1 >= position_ ? position_ : static_cast<UINT>(std::max(count, 0));
  std::string text = caption_.empty() ? button_.Hint() : caption_;
  MENUITEMINFOA item{};
  item.cbSize = sizeof item;
  item.fMask = MIIM_STATE | MIIM_ID | MIIM_CHECKMARKS | MIIM_TYPE | MIIM_DATA;
  item.fType = MFT_STRING;
  item.fState = MFS_DEFAULT;
  item.wID = id;
  item.dwTypeData = text.data();
  item.cch = static_cast<UINT>(text.size());
  InsertMenuItemA(menu, pos, TRUE, &item);
  MENUITEMINFOA separator{};
  separator.cbSize = sizeof separator;
  separator.fMask = MIIM_STATE | MIIM_ID | MIIM_CHECKMARKS | MIIM_TYPE | MIIM_DATA;
  separator.fType = MFT_SEPARATOR;
  separator.fState = MFS_DEFAULT;
  if (separators_ & seBefore) {
    separator.wID = id + 1000;
    InsertMenuItemA(menu, pos, TRUE, &separator);  // lands before the item
  }
  if (separators_ & seAfter) {
    separator.wID = id + 2000;
    InsertMenuItemA(menu, (separators_ & seBefore) ? pos + 2 : pos + 1, TRUE, &separator);
  }
  EnableMenuItem(menu, id, MF_BYCOMMAND | (button_.Enabled() ? MF_ENABLED : MF_GRAYED));
  item_applied_ = true;
  CheckMenuItem(button_.Down());
}

void TacSystemMenu::RemoveMenuItem() {
  if (!item_applied_) return;
  item_applied_ = false;
  HMENU menu = button_.GetSystemMenuHandle();
  if (!menu) return;
  const UINT id = button_.CommandId();
  DeleteMenu(menu, id, MF_BYCOMMAND);
  if (separators_ & seBefore) DeleteMenu(menu, id + 1000, MF_BYCOMMAND);
  if (separators_ & seAfter) DeleteMenu(menu, id + 2000, MF_BYCOMMAND);
}

void TacSystemMenu::CheckMenuItem(bool checked) {
  if (!item_applied_) return;
  if (HMENU menu = button_.GetSystemMenuHandle())
    ::CheckMenuItem(menu, button_.CommandId(), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

// -------------------------------------------------------- TacACaptionButton

TacBtnOrder TacACaptionButton::BtnOrder() const { return button_.BtnOrder(); }
void TacACaptionButton::SetBtnOrder(TacBtnOrder value) { button_.SetBtnOrder(value); }
short TacACaptionButton::Cursor() const { return button_.Cursor(); }
void TacACaptionButton::SetCursor(short value) { button_.SetCursor(value); }
short TacACaptionButton::CursorDown() const { return button_.CursorDown(); }
void TacACaptionButton::SetCursorDown(short value) { button_.SetCursorDown(value); }
bool TacACaptionButton::Enabled() const { return button_.Enabled(); }
void TacACaptionButton::SetEnabled(bool value) { button_.SetEnabled(value); }
const std::string& TacACaptionButton::Hint() const { return button_.Hint(); }
void TacACaptionButton::SetHint(const std::string& value) { button_.SetHint(value); }
int TacACaptionButton::SeparatorWidth() const { return button_.SeparatorWidth(); }
void TacACaptionButton::SetSeparatorWidth(int value) {
  button_.SetSeparatorWidth(static_cast<unsigned char>(std::clamp(value, 0, 255)));
}
bool TacACaptionButton::ShowHint() const { return button_.ShowHint(); }
void TacACaptionButton::SetShowHint(bool value) { button_.SetShowHint(value); }
TacCaptionButtonStyle TacACaptionButton::Style() const { return button_.Style(); }
void TacACaptionButton::SetStyle(TacCaptionButtonStyle value) { button_.SetStyle(value); }
bool TacACaptionButton::Visible() const { return button_.Visible(); }
void TacACaptionButton::SetVisible(bool value) { button_.SetVisible(value); }
TacCaptionButtonXPStyleColor TacACaptionButton::XPStyleColor() const { return button_.XPStyleColor(); }
void TacACaptionButton::SetXPStyleColor(TacCaptionButtonXPStyleColor value) { button_.SetXPStyleColor(value); }

// --------------------------------------------------- TacCustomCaptionButton

TacCustomCaptionButton::TacCustomCaptionButton(TComponent* owner)
    : TacHFormHookComponentWatchCaption(owner),
      caption_button_(std::make_unique<TacACaptionButton>(*this)),
      glyph_(std::make_unique<TBitmap>()),
      glyph_down_(std::make_unique<TBitmap>()),
      system_menu_(std::make_unique<TacSystemMenu>(*this)) {
  glyph_->OnChange = [this](TObject*) { RefreshButton(); };
  glyph_down_->OnChange = [this](TObject*) { RefreshButton(); };
  sign_font_.SetName("Arial");
  sign_font_.SetColor(clBtnText);
  FontChanged();
  command_id_ = TakeNextCommandId();
  TacRealButtonsList& list = ListForWindow(WindowHandle());
  if (std::find(list.Buttons.begin(), list.Buttons.end(), this) == list.Buttons.end()) list.Buttons.push_back(this);
  RecalculatePlacements(true);
}

TacCustomCaptionButton::~TacCustomCaptionButton() {
  SetVisible(false);
  auto& lists = VirtualBtnList();
  if (TacRealButtonsList* list = ListContaining(this)) {
    list->Buttons.erase(std::remove(list->Buttons.begin(), list->Buttons.end(), this), list->Buttons.end());
    if (list->Buttons.empty())
      lists.erase(std::remove_if(lists.begin(), lists.end(), [&](const auto& l) { return l.get() == list; }),
                  lists.end());
    else
      list->Buttons.front()->RecalculatePlacements(true);
  }
  DestroyTooltip();
  system_menu_.reset();
  glyph_down_.reset();
  glyph_.reset();
  caption_button_.reset();
}

void TacCustomCaptionButton::Loaded() {
  TacHFormHookComponentWatchCaption::Loaded();
  if (TacRealButtonsList* list = ListContaining(this)) {
    // Stable: buttons without a stored order (-1) come first, equal orders
    // keep their relative places.
    bool anySwap = false;
    for (bool swapped = true; swapped;) {
      swapped = false;
      for (std::size_t i = 1; i < list->Buttons.size(); ++i)
        if (list->Buttons[i]->loaded_btn_order_ < list->Buttons[i - 1]->loaded_btn_order_) {
          std::swap(list->Buttons[i], list->Buttons[i - 1]);
          swapped = anySwap = true;
        }
    }
    if (anySwap) RecalculatePlacements(true);
  }
  // The tooltip's tool is added when the mouse first comes over the caption
  // (RelayToTooltip).
}

void TacCustomCaptionButton::Notification(TComponent* component, TOperation operation) {
  TacHFormHookComponentWatchCaption::Notification(component, operation);
}

void TacCustomCaptionButton::SetAllowPress(bool value) {
  if (value == allow_press_) return;
  allow_press_ = value;
  if (!value && !tracking_) SetDown(false);
}

TacBtnOrder TacCustomCaptionButton::BtnOrder() const {
  const TacRealButtonsList* list = ListContaining(this);
  if (!list) return -1;
  return static_cast<TacBtnOrder>(std::find(list->Buttons.begin(), list->Buttons.end(), this) -
                                  list->Buttons.begin());
}

void TacCustomCaptionButton::SetBtnOrder(TacBtnOrder value) {
  if (IsLoading()) {
    loaded_btn_order_ = value;
    return;
  }
  UpdateBtnOrder(value);
}

void TacCustomCaptionButton::UpdateBtnOrder(TacBtnOrder order) {
  const int current = BtnOrder();
  if (current < 0) return;
  TacRealButtonsList& list = *ListContaining(this);
  const int wanted = std::clamp(static_cast<int>(order), 0, static_cast<int>(list.Buttons.size()) - 1);
  if (wanted == current) return;
  list.Buttons.erase(list.Buttons.begin() + current);
  list.Buttons.insert(list.Buttons.begin() + wanted, this);
  RecalculatePlacements(true);
}

void TacCustomCaptionButton::SetDown(bool value) {
  if (value == down_) return;
  down_ = allow_press_ ? value : false;
  if (system_menu_->ApplyToMenu()) system_menu_->CheckMenuItem(down_);
  RefreshButton();
}

void TacCustomCaptionButton::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  if (HMENU menu = GetSystemMenuHandle())
    EnableMenuItem(menu, command_id_, MF_BYCOMMAND | (value ? MF_ENABLED : MF_GRAYED));
  SetToolTipInfo();
  RefreshButton();
}

void TacCustomCaptionButton::SetGlyph(const TBitmap& value) { glyph_->Assign(value); }
void TacCustomCaptionButton::SetGlyphDown(const TBitmap& value) { glyph_down_->Assign(value); }

void TacCustomCaptionButton::SetGlyphTransparent(bool value) {
  if (value == glyph_transparent_) return;
  glyph_transparent_ = value;
  RefreshButton();
}

void TacCustomCaptionButton::SetGlyphUseBtnTextColor(bool value) {
  if (value == glyph_use_btn_text_color_) return;
  glyph_use_btn_text_color_ = value;
  RefreshButton();
}

void TacCustomCaptionButton::SetHint(const std::string& value) {
  if (value == hint_) return;
  hint_ = value;
  SetToolTipInfo();
}

void TacCustomCaptionButton::SetSeparatorWidth(unsigned char value) {
  if (value == separator_width_) return;
  separator_width_ = value;
  RecalculatePlacements(true);
}

void TacCustomCaptionButton::SetShowHint(bool value) {
  if (value == show_hint_) return;
  show_hint_ = value;
  SetToolTipInfo();
}

void TacCustomCaptionButton::SetSign(char value) {
  if (value == sign_) return;
  sign_ = value;
  RefreshButton();
}

void TacCustomCaptionButton::SetSignFont(const TFont& value) {
  sign_font_.Assign(value);
  FontChanged();
}

void TacCustomCaptionButton::SetSignLeft(int value) {
  if (value == sign_left_) return;
  sign_left_ = value;
  RefreshButton();
}

void TacCustomCaptionButton::SetSignTop(int value) {
  if (value == sign_top_) return;
  sign_top_ = value;
  RefreshButton();
}

void TacCustomCaptionButton::SetStyle(TacCaptionButtonStyle value) {
  if (value == style_) return;
  style_ = value;
  RefreshButton();
}

void TacCustomCaptionButton::SetVisible(bool value) {
  visible_ = value;
  SetToolTipInfo();
  RecalculatePlacements(true);
}

void TacCustomCaptionButton::SetXPStyleColor(TacCaptionButtonXPStyleColor value) {
  if (value == xp_style_color_) return;
  xp_style_color_ = value;
  RefreshButton();
}

void TacCustomCaptionButton::FontChanged() {
  // The sign always fits the caption: its height follows the system's.
  sign_font_.SetHeight(7 - GetSystemMetrics(SM_CYSIZE));
  RefreshButton();
}

bool TacCustomCaptionButton::IsToolWindow() const { return (GetWindowExStyle() & WS_EX_TOOLWINDOW) != 0; }

bool TacCustomCaptionButton::HasMenuBar() const {
  return WindowHandle() && !(GetWindowStyle() & WS_CHILD) && GetMenu(WindowHandle()) != nullptr;
}

void TacCustomCaptionButton::RecalculatePlacements(bool refresh) {
  TacRealButtonsList* list = ListContaining(this);
  if (!list) return;
  const int cw = GetSystemMetrics(IsToolWindow() ? SM_CXSMSIZE : SM_CXSIZE);
  int offset = 2;
  for (TacCustomCaptionButton* button : list->Buttons) {
    if (!button->visible_) continue;  // a hidden button takes no room
    offset += cw + button->separator_width_ - 2;
    button->right_offset_ = offset;
  }
  // The buttons live in the platform's caption: a window without one (a
  // skinned frame took it off) has nothing of theirs to measure or paint, and
  // measuring a top-level window again is costly. Whoever gives the caption
  // back has the frame measured anew anyway.
  if (refresh && IsWindow(WindowHandle()) && HasFullCaption()) RefreshNCArea();
}

void TacCustomCaptionButton::RefreshButtonState(bool down) {
  drawn_down_ = down;
  const HWND window = WindowHandle();
  if (!visible_ || IsLoading() || !IsWindow(window)) return;
  if (!HasFullCaption()) return;
  const LONG_PTR style = GetWindowStyle(), ex_style = GetWindowExStyle();

  RECT windowRect{};
  GetWindowRect(window, &windowRect);
  int width = windowRect.right - windowRect.left;
  int cw = 0, ch = 0;
  if (ex_style & WS_EX_TOOLWINDOW) {
    cw = GetSystemMetrics(SM_CXSMSIZE);
    ch = GetSystemMetrics(SM_CYSMSIZE);
  } else {
    cw = GetSystemMetrics(SM_CXSIZE);
    ch = GetSystemMetrics(SM_CYSIZE);
    if (!(style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX)) && (ex_style & WS_EX_CONTEXTHELP)) width -= cw;
    if (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) width -= 2 * cw;
  }
  if (style & WS_SYSMENU) width -= cw;
  const bool minimised = IsIconic(window) != FALSE;
  const int fx = GetSystemMetrics(minimised || !(style & WS_THICKFRAME) ? SM_CXDLGFRAME : SM_CXFRAME);
  const int fy = GetSystemMetrics(minimised || !(style & WS_THICKFRAME) ? SM_CYDLGFRAME : SM_CYFRAME);
  const int face_width = cw - 2, face_height = ch - 4;
  // Every field is in window coordinates, the space the face is painted in:
  // the slot starts RightOffset left of the system buttons, which begin one
  // frame width in from the window's right edge, and the face sits two
  // pixels into its slot.
  button_rect_.Top = fy + 2;
  button_rect_.Left = width - right_offset_ - fx + 2;
  button_rect_.Right = button_rect_.Left + face_width;
  button_rect_.Extent = face_height - 1;
  if (face_width <= 0 || face_height <= 0) return;
  const int x = button_rect_.Left, y = button_rect_.Top;

  const TWindowDC window_dc = TWindowDC::WholeWindow(window);
  if (!window_dc.Get()) return;
  const bool themed = style_ == TacCaptionButtonStyle::cbsWinXP ||
                      (style_ == TacCaptionButtonStyle::cbsAuto && VisualStyles::IsThemeActive());
  // The face is composed off screen and copied in one blit: no flicker.
  TBitmap face(face_width, face_height);
  HDC faceDc = face.Canvas().Handle();
  if (themed) {
    BitBlt(faceDc, 0, 0, face_width, face_height, window_dc.Get(), x, y, SRCCOPY);
    TGlyphOptions options;
    DrawGlyph(face, 0, 0, face_width, face_height, XPButtonBitmap(xp_style_color_), options);
  } else {
    DrawButtonFace(face, drawn_down_);
  }
  const int p = drawn_down_ ? 1 : 0;
  TBitmap& picture = drawn_down_ && !glyph_down_->Empty() ? *glyph_down_ : *glyph_;
  if (picture.Empty()) {
    TSavedDCState saved(faceDc);
    SelectObject(faceDc, sign_font_.Handle());
    SetBkMode(faceDc, TRANSPARENT);
    SetTextAlign(faceDc, TA_CENTER | TA_TOP);
    const int sx = cw / 2 - 1 + sign_left_ + p, sy = sign_top_ + p;
    if (enabled_) {
      SetTextColor(faceDc, ColorToRGB(themed ? clWhite : sign_font_.Color()));
      TextOutA(faceDc, sx, sy, &sign_, 1);
    } else {
      SetTextColor(faceDc, ColorToRGB(clBtnHighlight));
      TextOutA(faceDc, sx + 1, sy + 1, &sign_, 1);
      SetTextColor(faceDc, ColorToRGB(clBtnShadow));
      TextOutA(faceDc, sx, sy, &sign_, 1);
    }
  } else {
    TGlyphOptions options;
    options.transparent = glyph_transparent_;
    options.disabled = !enabled_;
    options.recolour = glyph_use_btn_text_color_;
    options.text_color = themed ? clWhite : clBtnText;
    DrawGlyph(face, p + 2, p + 2, face_width - 4, face_height - 4, picture, options);
  }
  BitBlt(window_dc.Get(), x, y, face_width, face_height, face.Canvas().Handle(), 0, 0, SRCCOPY);
}

void TacCustomCaptionButton::CreateTooltip() {
  if (tooltip_added_ || !WindowHandle()) return;
  const HWND tooltip = AcquireCaptionTooltip();
  if (!tooltip) return;
  tool_info_ = TTTOOLINFOA{};
  tool_info_.cbSize = TTTOOLINFOA_V1_SIZE;
  // No TTF_SUBCLASS: the tooltip's own subclass would only see client-area
  // mouse messages (never those over the caption, where the button is) and
  // would cost every message of the window a property lookup. The button
  // relays the mouse itself (RelayToTooltip).
  tool_info_.uFlags = 0;
  tool_info_.hwnd = WindowHandle();
  tool_info_.hinst = GetModuleHandleA(nullptr);
  tool_info_.uId = TakeNextToolId();
  SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool_info_));
  tooltip_added_ = true;
  SetToolTipInfo();
}

void TacCustomCaptionButton::DestroyTooltip() {
  if (!tooltip_added_) return;
  tooltip_added_ = false;
  if (const HWND tooltip = CaptionTooltipWindow())
    SendMessageA(tooltip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool_info_));
  ReleaseCaptionTooltip();
}

void TacCustomCaptionButton::SetToolTipInfo() {
  if (!tooltip_added_) return;
  const HWND tooltip = CaptionTooltipWindow();
  if (!Usable(tooltip)) return;
  if (visible_ && enabled_ && show_hint_ && !hint_.empty()) {
    const int caption = GetSystemMetrics(IsToolWindow() ? SM_CYSMCAPTION : SM_CYCAPTION);
    const int menu = HasMenuBar() ? GetSystemMetrics(SM_CYMENU) : 0;
    // The tool's rectangle is in client coordinates, the face's in window
    // coordinates.
    const int clientLeft = ClientOriginInWindow(WindowHandle()).x;
    tool_info_.rect = RECT{button_rect_.Left - clientLeft, -caption - menu, button_rect_.Right - clientLeft, -menu};
    tool_info_.lpszText = const_cast<char*>(hint_.c_str());  // the tooltip copies it
  } else {
    tool_info_.rect = RECT{};
    tool_info_.lpszText = nullptr;
  }
  SendMessageA(tooltip, TTM_SETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool_info_));
}

void TacCustomCaptionButton::RelayToTooltip(const TMessage& message) {
  // The tip can only show over the caption, so the tool (and, for the
  // process's first, the tooltip window) waits for the mouse to come over the
  // frame of a window that shows the button.
  if (!tooltip_added_ && message.Msg == WM_NCMOUSEMOVE && visible_ && !IsLoading() && IsWindow(WindowHandle()) &&
      HasFullCaption())
    CreateTooltip();
  if (!tooltip_added_) return;
  const HWND tooltip = CaptionTooltipWindow();
  if (!Usable(tooltip)) return;
  MSG relayed{};
  relayed.hwnd = WindowHandle();
  relayed.message = message.Msg;
  relayed.wParam = message.WParam;
  relayed.lParam = message.LParam;
  // Mouse messages over the frame carry screen points; the tool's rectangle
  // is in client coordinates, as for the client-area messages.
  UINT clientMessage = 0;
  switch (message.Msg) {
    case WM_NCMOUSEMOVE: clientMessage = WM_MOUSEMOVE; break;
    case WM_NCLBUTTONDOWN: clientMessage = WM_LBUTTONDOWN; break;
    case WM_NCLBUTTONUP: clientMessage = WM_LBUTTONUP; break;
    case WM_NCRBUTTONDOWN: clientMessage = WM_RBUTTONDOWN; break;
    case WM_NCRBUTTONUP: clientMessage = WM_RBUTTONUP; break;
    default: break;
  }
  if (clientMessage) {
    POINT point = msg::NcMouse(message).ScreenPoint;
    ScreenToClient(WindowHandle(), &point);
    relayed.message = clientMessage;
    relayed.wParam = 0;
    relayed.lParam = msg::PackPoint(point);
  }
  SendMessageA(tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

void TacCustomCaptionButton::ButtonClick() {
  Fire(OnButtonClick);
  Click();
}

void TacCustomCaptionButton::MenuClick() {
  Fire(OnMenuClick);
  Click();
}

void TacCustomCaptionButton::Click() { Fire(OnClick); }
void TacCustomCaptionButton::Pressed() { Fire(OnPressed); }
void TacCustomCaptionButton::Released() { Fire(OnReleased); }

// Deliberately not calling the inherited MessageBefore: caption buttons never
// hook the application window.
void TacCustomCaptionButton::MessageBefore(TMessage& message, bool& handled) {
  switch (message.Msg) {
    case WM_SETCURSOR:
      if (msg::SetCursor(message).HitTest == static_cast<int>(command_id_)) {
        ::SetCursor(CursorForIndex(drawn_down_ ? cursor_down_ : cursor_));
        message.Result = 1;
        handled = true;
      }
      break;
    case WM_NCLBUTTONDBLCLK:
      if (msg::NcMouse(message).HitTest == static_cast<int>(command_id_))
        message.Msg = WM_NCLBUTTONDOWN;  // a second press
      break;
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
      // No window menu on right clicks over the button.
      if (msg::NcMouse(message).HitTest == static_cast<int>(command_id_)) handled = true;
      break;
    default:
      break;
  }
}

void TacCustomCaptionButton::MessageAfter(TMessage& message) {
  TacHFormHookComponentWatchCaption::MessageAfter(message);
  switch (message.Msg) {
    case WM_NCMOUSEMOVE:
    case WM_NCRBUTTONUP:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      RelayToTooltip(message);
      break;
    case WM_NCHITTEST:
      HitTest(message);
      break;
    case WM_NCPAINT:
    case WM_NCACTIVATE:
      RefreshButton();
      SetToolTipInfo();
      break;
    case WM_NCLBUTTONDOWN:
      RelayToTooltip(message);
      ButtonDown(message);
      break;
    case WM_NCLBUTTONUP:
    case WM_LBUTTONUP:
      RelayToTooltip(message);
      ButtonUp();
      break;
    case WM_NCLBUTTONDBLCLK:
      if (msg::NcMouse(message).HitTest == HTCAPTION) Fire(OnCaptionDblClick);
      break;
    case WM_SYSCOMMAND:
      SystemCommand(message);
      break;
    case WM_MOUSEMOVE:
      RelayToTooltip(message);
      MouseMove(message);
      break;
    case AC_UPDATESYSMENU:
      system_menu_->UpdateMenuItem();
      break;
    default:
      break;
  }
}

void TacCustomCaptionButton::HitTest(TMessage& message) {
  const HWND window = WindowHandle();
  const bool full_caption = HasFullCaption();
  bool onButton = false;
  if (message.Result == HTCAPTION && visible_ && full_caption) {
    POINT point = msg::NcHitTestPoint(message);
    RECT windowRect{};
    GetWindowRect(window, &windowRect);
    // Across, the face's own window coordinates; down, the client's, whose
    // negative rows are the caption band.
    const int windowX = point.x - windowRect.left;
    ScreenToClient(window, &point);
    const int frame = GetSystemMetrics(SM_CYDLGFRAME);
    onButton = button_rect_.Left <= windowX && windowX < button_rect_.Right &&
                (point.y < 0 ||
                 (IsIconic(window) && frame < point.y && point.y < frame + button_rect_.Top + button_rect_.Extent));
  }
  if (onButton) {
    if (!drawn_down_ && tracking_) RefreshButtonState(true);
    message.Result = command_id_;
  } else if (!down_ && drawn_down_) {
    RefreshButtonState(false);
  }
}

void TacCustomCaptionButton::ButtonDown(TMessage& message) {
  if (!enabled_ || !visible_) return;
  if (msg::NcMouse(message).HitTest == static_cast<int>(command_id_)) {
    RefreshButtonState(true);
    ::SetCursor(CursorForIndex(cursor_down_));
    if (!tracking_) {
      tracking_ = true;
      SetCapture(WindowHandle());
    }
  } else {
    if (!down_) RefreshButtonState(false);
    if (tracking_) {
      tracking_ = false;
      ReleaseCapture();
    }
  }
}

void TacCustomCaptionButton::ButtonUp() {
  if (!tracking_) return;
  tracking_ = false;
  ReleaseCapture();
  if (drawn_down_) {  // released over the button
    BeforeButtonClick();
    if (allow_press_) {
      SetDown(!down_);
      if (down_)
        Pressed();
      else
        Released();
    }
    ButtonClick();
    if (!Alive(this)) return;  // a handler destroyed the button
  }
  if (!allow_press_) RefreshButtonState(false);
}

void TacCustomCaptionButton::MouseMove(TMessage& message) {
  if (!tracking_ || down_ || !drawn_down_) return;
  int band = GetSystemMetrics(IsToolWindow() ? SM_CYSMCAPTION : SM_CYCAPTION);
  if (HasMenuBar()) band += GetSystemMetrics(SM_CYMENU);
  const int y = msg::Mouse(message).Point.y;
  if (y >= 0 || y < -(band + 1)) RefreshButtonState(down_);
}

void TacCustomCaptionButton::SystemCommand(TMessage& message) {
  if (msg::SysCommandId(message) != command_id_) return;
  BeforeMenuClick();
  if (allow_press_) {
    SetDown(!down_);
    system_menu_->CheckMenuItem(down_);
    if (down_)
      Pressed();
    else
      Released();
  }
  MenuClick();
}

void TacCustomCaptionButton::FormRecreate() {
  TacHFormHookComponentWatchCaption::FormRecreate();
  // The window's button list follows it to the new handle.
  if (TacRealButtonsList* list = ListContaining(this)) list->WindowKey = WindowHandle();
  DestroyTooltip();  // added again when the mouse next comes over the caption
  RecalculatePlacements(true);
  system_menu_->UpdateMenuItem();
}

}  // namespace plx
