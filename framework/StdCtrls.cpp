#include "framework/StdCtrls.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "framework/EditAccessible.h"
#include "framework/Exception.h"
#include "framework/MessageDecoders.h"
#include "framework/ScopedState.h"

namespace plx {

// ---------------------------------------------------------- TCustomControl

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), canvas_(std::make_unique<TCanvas>()) {}

TCustomControl::~TCustomControl() = default;

void TCustomControl::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_PAINT:
      PaintMessage(message);
      return;
    case WM_ERASEBKGND:
      if (double_buffered_) {
        message.Result = 1;  // Paint() covers the whole client area
        return;
      }
      break;
    case WM_MOUSEMOVE:
      TrackMouse();
      break;
    case WM_MOUSELEAVE:
      if (mouse_in_control_) {
        mouse_in_control_ = false;
        MouseLeave();
      }
      break;
    case WM_DESTROY:
      mouse_in_control_ = false;  // a new window starts outside
      break;
    default:
      break;
  }
  TWinControl::WndProc(message);
}

void TCustomControl::TrackMouse() {
  if (mouse_in_control_) return;
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof track;
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = Handle();
  TrackMouseEvent(&track);
  mouse_in_control_ = true;
  MouseEnter();
}

void TCustomControl::PaintMessage(TMessage& message) {
  message.Result = 0;
  if (HDC given = msg::PaintDC(message)) {
    PaintOn(given);
    return;
  }
  TPaintDC paint(Handle());
  if (!double_buffered_) {
    PaintOn(paint.Get());
    return;
  }
  RECT client{};
  GetClientRect(Handle(), &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  TMemoryDC memory(paint.Get());
  // A device-independent buffer: drawing into it (transparent copies among
  // them) stays in this process, where a bitmap compatible with the screen
  // would have the display consulted again on every paint.
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = client.right;
  format.bmiHeader.biHeight = -client.bottom;  // top-down, like the window
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  TOwnedBitmap buffer(CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!memory || !buffer) {
    PaintOn(paint.Get());  // no room for a buffer: paint directly
    return;
  }
  {
    TSelectObject selected(memory.Get(), buffer.Get());
    PaintOn(memory.Get());
    const RECT& dirty = paint.Paint().rcPaint;
    BitBlt(paint.Get(), dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top, memory.Get(),
           dirty.left, dirty.top, SRCCOPY);
  }
}

void TCustomControl::PaintOn(HDC dc) {
  TCanvasDCBinding binding(*canvas_, dc);
  canvas_->Font().Assign(Font());
  Paint();
}

void TCustomControl::Paint() {
  canvas_->Brush().SetColor(Color());
  canvas_->FillRect(ClientRect());
}

// ------------------------------------------------------------ TCustomPanel

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {}

void TCustomPanel::SetBevelOuter(TBevelCut value) {
  if (bevel_outer_ == value) return;
  bevel_outer_ = value;
  Invalidate();
}

void TCustomPanel::Paint() {
  TCustomControl::Paint();
  RECT r{};
  GetClientRect(Handle(), &r);
  if (bevel_outer_ != TBevelCut::bvNone)
    DrawEdge(Canvas().Handle(), &r, bevel_outer_ == TBevelCut::bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER,
             BF_RECT | BF_ADJUST);
  if (!Caption().empty()) {
    Canvas().Brush().SetStyle(bsClear);
    Canvas().Font().Assign(Font());
    TRect text{r.left, r.top, r.right, r.bottom};
    Canvas().DrawText(Caption(), text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
}

// ----------------------------------------------------------------- TButton

TButton::TButton(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 75, 25); }

void TButton::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.NativeClass = "BUTTON";
  params.ClassName = "PlexoriaButton";
  params.Style |= BS_PUSHBUTTON | WS_TABSTOP;
}

void TButton::WndProc(TMessage& message) {
  if (message.Msg == CN_COMMAND && msg::Command(message).Notification == BN_CLICKED) {
    Click();
    return;
  }
  TWinControl::WndProc(message);
}

// ------------------------------------------------------------------- TMemo

TMemo::TMemo(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 185, 89);
  SetColor(clWindow);
}

void TMemo::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.NativeClass = "EDIT";
  params.ClassName = "PlexoriaMemo";
  params.Caption.clear();  // the text goes in after creation, uncut
  params.Style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL | WS_TABSTOP;
  if (!word_wrap_) params.Style |= ES_AUTOHSCROLL;
  if (read_only_) params.Style |= ES_READONLY;
  if (scroll_bars_ == TScrollStyle::ssVertical || scroll_bars_ == TScrollStyle::ssBoth) params.Style |= WS_VSCROLL;
  if (scroll_bars_ == TScrollStyle::ssHorizontal || scroll_bars_ == TScrollStyle::ssBoth) params.Style |= WS_HSCROLL;
  params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TMemo::CreateHandleDone() {
  // No limit on the text's length (the default stops typing at 32K).
  SendMessageA(Handle(), EM_LIMITTEXT, 0, 0);
  SetWindowTextA(Handle(), text_.c_str());
}

void TMemo::SaveStateBeforeDestroy() { text_ = Text(); }

std::string TMemo::Text() {
  if (!HandleAllocated()) return text_;
  const int length = GetWindowTextLengthA(Handle());
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(Handle(), text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(copied, 0)));
  return text;
}

void TMemo::SetText(const std::string& text) {
  // A zero-terminated string: whatever follows the first zero byte is not
  // part of it.
  text_.assign(text.c_str(), std::strlen(text.c_str()));
  if (HandleAllocated()) SetWindowTextA(Handle(), text_.c_str());
}

void TMemo::SelectAll() { SendMessageA(Handle(), EM_SETSEL, 0, -1); }

void TMemo::CopyToClipboard() { SendMessageA(Handle(), WM_COPY, 0, 0); }

std::vector<std::string> TMemo::Lines() {
  TStringList list;
  list.SetText(Text());
  std::vector<std::string> lines;
  lines.reserve(list.Count());
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Strings(i));
  return lines;
}

void TMemo::SetLines(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i) text += "\r\n";
    text += lines[i];
  }
  SetText(text);
}

void TMemo::SetScrollBars(TScrollStyle value) {
  if (scroll_bars_ == value) return;
  scroll_bars_ = value;
  RecreateWnd();
}

void TMemo::SetWordWrap(bool value) {
  if (word_wrap_ == value) return;
  word_wrap_ = value;
  RecreateWnd();
}

void TMemo::SetReadOnly(bool value) {
  if (read_only_ == value) return;
  read_only_ = value;
  if (HandleAllocated()) SendMessageA(Handle(), EM_SETREADONLY, value, 0);
}

void TMemo::WndProc(TMessage& message) {
  if (message.Msg == CN_COMMAND && msg::Command(message).Notification == EN_CHANGE) {
    if (!setting_text_) NotifyEditValueChanged(Handle());
    if (OnChange) OnChange(this);
    return;
  }
  if (message.Msg == WM_SETTEXT) {
    {
      const TAutoReset<bool> setting(setting_text_, true);
      TWinControl::WndProc(message);
    }
    if (message.Result) NotifyEditValueChanged(Handle());
    return;
  }
  // Readers see an edit control in the memo also where the platform does
  // not see through our class name.
  if (message.Msg == WM_GETOBJECT && AnswerEditClient(message, Handle())) return;
  TWinControl::WndProc(message);
}

// ---------------------------------------------------------- TCustomListBox

TCustomListBox::TCustomListBox(TComponent* owner) : TWinControl(owner), canvas_(std::make_unique<TCanvas>()) {
  SetBounds(0, 0, 121, 97);
  SetColor(clWindow);
}

void TCustomListBox::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.NativeClass = "LISTBOX";
  params.ClassName = "PlexoriaListBox";
  params.Style |= LBS_NOTIFY | LBS_OWNERDRAWVARIABLE | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP;
  params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateHandleDone() {
  // Entries added before the window existed, or kept across a re-creation,
  // go into the new window; each is measured as it is inserted.
  for (int i = 0; i < items_.Count(); ++i) SendInsert(LB_ADDSTRING, -1);
  if (saved_horizontal_extent_) SetHorizontalExtent(saved_horizontal_extent_);
  if (saved_top_index_) SetTopIndex(saved_top_index_);
  if (saved_item_index_ >= 0) SetItemIndex(saved_item_index_);
}

void TCustomListBox::SaveStateBeforeDestroy() {
  saved_item_index_ = ItemIndex();
  saved_top_index_ = TopIndex();
  saved_horizontal_extent_ = HorizontalExtent();
}

int TCustomListBox::SendInsert(UINT msg, int index) {
  const LRESULT result = Perform(msg, static_cast<WPARAM>(index), 0);
  if (result == LB_ERR || result == LB_ERRSPACE) throw EOutOfResources("The list has no room for another entry");
  return static_cast<int>(result);
}

// Without a window the entries wait in items_; CreateHandleDone puts them in.
int TCustomListBox::AddItem(const std::string& text, TObject* object) {
  const int index = items_.AddObject(text, object);
  if (!HandleAllocated()) return index;
  // The window refusing the entry takes it out of items_ again.
  TScopeExit undo([&] { items_.Delete(index); });
  const int inserted = SendInsert(LB_INSERTSTRING, index);
  undo.Dismiss();
  return inserted;
}

void TCustomListBox::InsertItem(int index, const std::string& text, TObject* object) {
  items_.InsertObject(index, text, object);
  if (!HandleAllocated()) {
    if (saved_item_index_ >= index) ++saved_item_index_;
    return;
  }
  TScopeExit undo([&] { items_.Delete(index); });
  SendInsert(LB_INSERTSTRING, index);
  undo.Dismiss();
}

void TCustomListBox::DeleteItem(int index) {
  items_.Strings(index);  // raises for a bad index before anything changes
  if (HandleAllocated()) {
    Perform(LB_DELETESTRING, static_cast<WPARAM>(index), 0);
  } else if (saved_item_index_ == index) {
    saved_item_index_ = -1;
  } else if (saved_item_index_ > index) {
    --saved_item_index_;
  }
  items_.Delete(index);
}

void TCustomListBox::SetItem(int index, const std::string& text) {
  const bool was_selected = ItemIndex() == index;
  TObject* object = items_.Objects(index);
  DeleteItem(index);
  InsertItem(index, text, object);
  if (was_selected) SetItemIndex(index);
}

void TCustomListBox::AssignItems(const TStringList& list) {
  Clear();
  for (int i = 0; i < list.Count(); ++i) AddItem(list.Strings(i), list.Objects(i));
}

void TCustomListBox::Clear() {
  if (HandleAllocated()) Perform(LB_RESETCONTENT, 0, 0);
  saved_item_index_ = -1;
  saved_top_index_ = 0;
  items_.Clear();
}

void TCustomListBox::ReMeasure() {
  if (!HandleAllocated()) return;  // entries are measured when the window comes
  for (int i = 0; i < Count(); ++i) SetItemHeightOf(i, MeasuredHeight(i));
  Invalidate();
}

int TCustomListBox::MeasuredHeight(int index) {
  int height = item_height_;
  if (HandleAllocated()) {
    // A real DC with the list's font: text measures as it will draw.
    TWindowDC dc(Handle());
    TCanvasDCBinding binding(*canvas_, dc.Get());
    canvas_->Font().Assign(Font());
    MeasureItem(index, height);
  } else {
    MeasureItem(index, height);
  }
  return std::clamp(height, 1, kMaxListItemHeight);
}

int TCustomListBox::ItemIndex() {
  if (!HandleAllocated()) return saved_item_index_;
  return static_cast<int>(SendMessageA(Handle(), LB_GETCURSEL, 0, 0));
}

void TCustomListBox::SetItemIndex(int index) {
  if (!HandleAllocated()) {
    saved_item_index_ = index;
    return;
  }
  SendMessageA(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool TCustomListBox::Selected(int index) {
  return HandleAllocated() && SendMessageA(Handle(), LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

int TCustomListBox::TopIndex() {
  return HandleAllocated() ? static_cast<int>(SendMessageA(Handle(), LB_GETTOPINDEX, 0, 0)) : saved_top_index_;
}

void TCustomListBox::SetTopIndex(int index) {
  if (!HandleAllocated()) {
    saved_top_index_ = index;
    return;
  }
  SendMessageA(Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
}

void TCustomListBox::SetItemHeight(int value) {
  if (item_height_ == value || value <= 0) return;
  item_height_ = value;
}

int TCustomListBox::ItemHeightOf(int index) {
  if (!HandleAllocated()) return 0;
  const LRESULT height = SendMessageA(Handle(), LB_GETITEMHEIGHT, static_cast<WPARAM>(index), 0);
  return height == LB_ERR ? 0 : static_cast<int>(height);
}

void TCustomListBox::SetItemHeightOf(int index, int height) {
  if (!HandleAllocated()) return;
  SendMessageA(Handle(), LB_SETITEMHEIGHT, static_cast<WPARAM>(index),
               MAKELPARAM(std::clamp(height, 1, kMaxListItemHeight), 0));
}

TRect TCustomListBox::ItemRect(int index) {
  RECT r{};
  if (SendMessageA(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)) == LB_ERR)
    return {};
  return {r.left, r.top, r.right, r.bottom};
}

int TCustomListBox::ItemAtPos(TPoint point, bool existingOnly) {
  const LRESULT answer = SendMessageA(Handle(), LB_ITEMFROMPOINT, 0, msg::PackPoint(POINT{point.X, point.Y}));
  const msg::TItemFromPoint item = msg::ItemFromPoint(answer);
  if (existingOnly && (item.Outside || item.Index >= Count())) return -1;
  return item.Index;
}

int TCustomListBox::HorizontalExtent() {
  return HandleAllocated() ? static_cast<int>(SendMessageA(Handle(), LB_GETHORIZONTALEXTENT, 0, 0))
                           : saved_horizontal_extent_;
}

void TCustomListBox::SetHorizontalExtent(int extent) {
  if (!HandleAllocated()) {
    saved_horizontal_extent_ = std::max(extent, 0);
    return;
  }
  SendMessageA(Handle(), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(std::max(extent, 0)), 0);
}

void TCustomListBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
  canvas_->Brush().SetColor((state & odSelected) ? clHighlight : Color());
  canvas_->Font().SetColor((state & odSelected) ? clHighlightText : Font().Color());
  canvas_->FillRect(rect);
  if (index >= 0 && index < Count()) canvas_->TextOut(rect.Left + 2, rect.Top, items_.Strings(index));
}

void TCustomListBox::MeasureItem(int, int& height) { height = item_height_; }

void TCustomListBox::DrawItemMessage(const DRAWITEMSTRUCT& item) {
  TOwnerDrawState state = 0;
  if (item.itemState & ODS_SELECTED) state |= odSelected;
  if (item.itemState & ODS_GRAYED) state |= odGrayed;
  if (item.itemState & ODS_DISABLED) state |= odDisabled;
  if (item.itemState & ODS_CHECKED) state |= odChecked;
  if (item.itemState & ODS_FOCUS) state |= odFocused;
  const TRect rect{item.rcItem.left, item.rcItem.top, item.rcItem.right, item.rcItem.bottom};
  const int index = static_cast<int>(item.itemID);
  TCanvasDCBinding binding(*canvas_, item.hDC);
  canvas_->Font().Assign(Font());
  if (index >= 0 && index < Count()) {
    DrawItem(index, rect, state);
  } else {
    canvas_->Brush().SetColor(Color());
    canvas_->FillRect(rect);
  }
  // The focus rectangle is the base's: drawn after the entry, by inverting.
  if (state & odFocused) canvas_->DrawFocusRect(rect);
}

void TCustomListBox::WndProc(TMessage& message) {
  switch (message.Msg) {
    case CN_DRAWITEM:
      DrawItemMessage(msg::DrawItem(message));
      message.Result = TRUE;
      return;
    case CN_MEASUREITEM: {
      MEASUREITEMSTRUCT& item = msg::MeasureItem(message);
      item.itemHeight = static_cast<UINT>(MeasuredHeight(static_cast<int>(item.itemID)));
      message.Result = TRUE;
      return;
    }
    case CN_COMMAND:
      if (msg::Command(message).Notification == LBN_SELCHANGE) Click();
      return;
    default:
      break;
  }
  TWinControl::WndProc(message);
}

}  // namespace plx
