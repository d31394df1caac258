#include "markup/HTMListBox.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>

#include "framework/Accessible.h"
#include "framework/Bitmap.h"
#include "framework/MessageDecoders.h"
#include "framework/ScopedState.h"
#include "framework/SystemLibrary.h"
#include "markup/HTMListBoxAccessible.h"
#include "markup/HTMListBoxLinks.h"
#include "markup/GdiMarkupSurface.h"
#include "markup/HTMListBoxSort.h"
#include "markup/MarkupLayout.h"
#include "markup/MarkupText.h"
#include "markup/RenderMarkup.h"
#include "markup/TextMetricsCache.h"
#include "markup/TextSearch.h"

namespace plx {

namespace {

constexpr UINT_PTR kBlinkTimerId = 1;
constexpr UINT kBlinkInterval = 100;  // ms; blinking text changes every fifth tick
constexpr int kBlinkTicksPerPhase = 5;
// Entries are laid out this wide when they may scroll sideways.
constexpr int kScrollWidth = 4096;
// Room the widest entry gets beyond its text.
constexpr int kExtentMargin = 6;

// An entry is never taller than the list can show nor than the system list
// can store, and never less than one pixel.
int CappedEntryHeight(int extentY, int clientHeight) {
  return std::max(1, std::min({extentY, std::max(clientHeight, 1), TCustomListBox::kMaxListItemHeight}));
}

// Posted to the list itself to turn its redrawing back on.
UINT ResumeRedrawMessage() {
  static const UINT message = RegisterWindowMessageA("PlexoriaHTMListBoxResumeRedraw");
  return message;
}

void OpenWithShell(const std::string& link) {
  static const auto shell_execute = SystemLibraryFunction<decltype(&::ShellExecuteA)>("shell32.dll", "ShellExecuteA");
  if (shell_execute) shell_execute(nullptr, "open", link.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// Compares two keys the way the user's locale orders text, case counting.
int LocaleCompare(const std::string& a, const std::string& b) {
  const int result = CompareStringA(LOCALE_USER_DEFAULT, 0, a.data(), static_cast<int>(a.size()), b.data(),
                                    static_cast<int>(b.size()));
  return result == 0 ? a.compare(b) : result - CSTR_EQUAL;
}

// A device context of the window for one scope, lent to a canvas.
class TWindowDCCanvas {
 public:
  TWindowDCCanvas(TCanvas& canvas, HWND window) : canvas_(canvas), dc_(window) { canvas_.SetHandle(dc_.Get()); }
  TWindowDCCanvas(const TWindowDCCanvas&) = delete;
  TWindowDCCanvas& operator=(const TWindowDCCanvas&) = delete;
  ~TWindowDCCanvas() { canvas_.SetHandle(nullptr); }

 private:
  TCanvas& canvas_;
  TWindowDC dc_;
};

}  // namespace

THTMListBox::THTMListBox(TComponent* owner)
    : TCustomListBox(owner),
      ShellOpener(OpenWithShell),
      selection_colors_(std::make_unique<TGradientStyle>()),
      picture_cache_(std::make_unique<THTMLPictureCache>()) {
  SetItemHeight(16);
}

THTMListBox::~THTMListBox() {
  hint_.Destroy();
  if (measuring_canvas_) measuring_canvas_->SetHandle(nullptr);
}

// ------------------------------------------------------------- rendering

MarkupPictureSources THTMListBox::PictureSources() const {
  return MarkupPictureSources{images_, picture_cache_.get(), picture_container_};
}

GdiMarkupSurface THTMListBox::MarkupSurfaceOn(TCanvas& canvas) {
  return GdiMarkupSurface(canvas, PictureSources(), measured_texts_);
}

MarkupLayoutRequest THTMListBox::LayoutRequest(TCanvas& canvas, const TRect& bounds, bool selected) const {
  MarkupLayoutRequest request;
  request.Bounds = bounds;
  request.ShadowOffset = shadow_offset_;
  request.Selected = selected;
  // Blinking text is hidden in every other phase while blinking runs.
  request.BlinkOn = !blink_phase_;
  request.WordWrap = !ellipsis_;
  request.URLColor = selected ? selection_font_color_ : url_color_;
  request.ShadowColor = shadow_color_;
  request.LineSpacing = line_spacing_;
  request.StartBackground = canvas.Brush().Color();
  return request;
}

MarkupLayout THTMListBox::MeasureEntry(TCanvas& canvas, const std::string& markup, const TRect& bounds,
                                       int lineSpacing) {
  MarkupLayoutRequest request = LayoutRequest(canvas, bounds, true);
  request.MeasureOnly = true;
  request.BlinkOn = true;
  request.URLColor = url_color_;
  request.LineSpacing = lineSpacing;
  GdiMarkupSurface surface = MarkupSurfaceOn(canvas);
  request.StartFont = surface.CanvasFont();
  MarkupLaidOut();
  return LayoutMarkup(surface, markup, request);
}

TRect THTMListBox::PaintBounds(const TRect& rect, int scrollX) const {
  // Laid out 4 pixels taller than the entry: the last line may reach into
  // the room below the text.
  TRect bounds{rect.Left + 2 - scrollX, 0, rect.Right, rect.Height() + 4};
  if (scroll_horizontal_) bounds.Right = bounds.Left + kScrollWidth;
  return bounds;
}

// Everything an entry's layout depends on besides its markup and bounds.
std::string THTMListBox::EntryLayoutKey(const std::string& markup, const TRect& bounds, bool selected) {
  const std::int64_t settings[] = {
      bounds.Left, bounds.Right, bounds.Bottom, selected,
      // The canvas' brush and font colour, as painting sets them.
      selected ? selection_colors_->ColorFrom() : Color(), selected ? selection_font_color_ : Font().Color(),
      Font().Height(),
      Font().Style().Contains(fsBold) | Font().Style().Contains(fsItalic) << 1 |
          Font().Style().Contains(fsUnderline) << 2 | Font().Style().Contains(fsStrikeOut) << 3,
      Font().Charset(), url_color_, shadow_color_, shadow_offset_, ellipsis_, line_spacing_, blink_phase_};
  std::string key(reinterpret_cast<const char*>(settings), sizeof settings);
  key += Font().Name();
  key += '\0';
  key += markup;
  return key;
}

std::shared_ptr<const MarkupLayout> THTMListBox::EntryLayout(TCanvas& canvas, GdiMarkupSurface* drawing, int index,
                                                             const TRect& rect, bool selected, int scrollX,
                                                             std::optional<TPoint> mouse) {
  const std::string& markup = Item(index);
  const TRect bounds = PaintBounds(rect, scrollX);
  // Pictures load, animate and react to the mouse: such entries are laid
  // out afresh.
  const bool keep = EntryPictureMayBeKept(markup);
  std::string key;
  if (keep) {
    key = EntryLayoutKey(markup, bounds, selected);
    if (auto kept = entry_layouts_.Find(key)) return kept;
  }
  MarkupLayoutRequest request = LayoutRequest(canvas, bounds, selected);
  // Only pictures react to the mouse: a kept layout has none.
  if (!keep && !mouse) {
    const TPoint cursor = CursorInClient();
    mouse = TPoint{cursor.X, cursor.Y - rect.Top};
  }
  if (mouse) {
    request.MouseX = mouse->X;
    request.MouseY = mouse->Y;
  }
  std::optional<GdiMarkupSurface> own;
  GdiMarkupSurface& surface = drawing ? *drawing : own.emplace(canvas, PictureSources(), measured_texts_);
  request.StartFont = surface.CanvasFont();
  MarkupLaidOut();
  auto layout = std::make_shared<const MarkupLayout>(LayoutMarkup(surface, markup, request));
  if (keep) entry_layouts_.Store(key, layout);
  return layout;
}

void THTMListBox::WithMeasuringCanvas(const std::function<void(TCanvas&)>& work) {
  // Measuring and hit-testing draw nothing: a memory DC kept for the list's
  // life measures text as the window's DC does, without asking for one each
  // time.
  if (!measuring_canvas_) {
    measuring_dc_ = TMemoryDC(nullptr);
    measuring_canvas_ = std::make_unique<TCanvas>();
    measuring_canvas_->SetHandle(measuring_dc_.Get());
  }
  measuring_canvas_->Font().Assign(Font());
  work(*measuring_canvas_);
}

// ------------------------------------------------------ deferred redraw

// The system list updates and draws its scroll bar there and then on every
// change of its range: once when an entry is inserted and once more when its
// height is set. Drawing the scroll bar costs far more than the rest of
// adding an entry, and a burst of drops would pay it twice per entry. So
// adding an entry to a visible list turns the system list's redrawing off
// and posts a message to the list; when the message comes round, redrawing
// goes back on: the scroll bar is updated once for every entry added in
// between, and the list is invalidated and painted with the next WM_PAINT.
// The entries themselves are in the list at once; only their drawing waits.
void THTMListBox::DeferRedraw() {
  if (redraw_deferred_ || redraw_held_by_caller_ || !IsWindowVisible(Handle())) return;
  if (!PostMessageA(Handle(), ResumeRedrawMessage(), 0, 0)) return;  // no queue room: draw at once
  redraw_deferred_ = true;
  TMessage off{WM_SETREDRAW, FALSE, 0, 0};
  TCustomListBox::WndProc(off);
  // A paint asked for before the message comes round resumes redrawing first.
  ::InvalidateRect(Handle(), nullptr, TRUE);
}

void THTMListBox::ResumeRedraw() {
  if (!redraw_deferred_) return;
  redraw_deferred_ = false;
  if (!HandleAllocated()) return;
  TMessage on{WM_SETREDRAW, TRUE, 0, 0};
  TCustomListBox::WndProc(on);
  // Everything that changed meanwhile is painted again.
  ::InvalidateRect(Handle(), nullptr, TRUE);
}

// ------------------------------------------------------------- measuring

TRect THTMListBox::MeasuringBounds(int index, int margin) {
  TRect bounds = ItemRect(index);
  if (scroll_horizontal_) {
    bounds.Right = bounds.Left + kScrollWidth;
  } else if (static_cast<long long>(Count()) * ItemHeight() > Height()) {
    // The list is full: the vertical scroll bar takes its width.
    bounds.Right -= GetSystemMetrics(SM_CXVSCROLL);
  } else {
    bounds.Right -= margin;
  }
  return bounds;
}

void THTMListBox::MeasureAddedEntry(int index) {
  if (index < 0 || index >= Count()) return;
  const TRect bounds = MeasuringBounds(index, 2);
  MarkupLayout measured;
  WithMeasuringCanvas([&](TCanvas& canvas) { measured = MeasureEntry(canvas, Item(index), bounds, line_spacing_); });
  SetItemHeightOf(index, CappedEntryHeight(measured.ExtentY, ClientHeight()));
  if (scroll_horizontal_ && measured.ExtentX + kExtentMargin > widest_) {
    widest_ = measured.ExtentX + kExtentMargin;
    UpdateHScrollExtent(widest_);
  }
}

void THTMListBox::MeasureItem(int index, int& height) {
  // The real height is set once the entry is in the list (MeasureAddedEntry).
  const int current = HandleAllocated() && index >= 0 && index < Count() ? ItemHeightOf(index) : 0;
  height = current > 0 ? current : ItemHeight();
}

void THTMListBox::ReMeasure() {
  if (IsLoading() || Count() == 0 || !HandleAllocated() || measuring_) return;
  int widest = 0;
  {
    TAutoReset<bool> measuring(measuring_, true);
    DeferRedraw();  // every height set would redraw the scroll bar
    const TRect bounds = MeasuringBounds(0, 4);
    const int client_height = ClientHeight();
    if (auto_item_height_) {
      WithMeasuringCanvas([&](TCanvas& canvas) {
        for (int i = 0; i < Count(); ++i) {
          const MarkupLayout measured = MeasureEntry(canvas, Item(i), bounds, line_spacing_);
          SetItemHeightOf(i, CappedEntryHeight(measured.ExtentY, client_height) + 1);
          widest = std::max(widest, measured.ExtentX + kExtentMargin);
        }
      });
    } else {
      for (int i = 0; i < Count(); ++i) SetItemHeightOf(i, ItemHeight());
    }
  }
  if (scroll_horizontal_ && widest > widest_) {
    widest_ = widest;
    UpdateHScrollExtent(widest_);
  }
}

int THTMListBox::MaxHorizontalExtent() { return WidestEntry(kNoEntryLeaving); }

int THTMListBox::WidestEntry(int leaving) {
  int widest = 0;
  if (!HandleAllocated()) return widest;
  const TRect bounds{0, 0, kScrollWidth, kScrollWidth};
  WithMeasuringCanvas([&](TCanvas& canvas) {
    for (int i = 0; i < Count(); ++i) {
      if (i == leaving) continue;
      widest = std::max(widest, MeasureEntry(canvas, Item(i), bounds, 0).ExtentX + kExtentMargin);
    }
  });
  return widest;
}

void THTMListBox::UpdateHScrollExtent(int extent) { ApplyHScrollExtent(extent, leaving_); }

void THTMListBox::ApplyHScrollExtent(int extent, int leaving) {
  if (update_count_ > 0 || !HandleAllocated()) return;
  const int remaining = leaving == kAllEntriesLeaving ? 0 : Count() - (leaving >= 0 ? 1 : 0);
  if (remaining <= 0 || !scroll_horizontal_) {
    widest_ = 0;
    SetHorizontalExtent(0);
    SendMessageA(Handle(), WM_HSCROLL, SB_LEFT, 0);
    return;
  }
  int wanted = extent;
  if (wanted <= 0) {
    // Measured afresh: the widest entry may have gone.
    wanted = WidestEntry(leaving);
    widest_ = wanted;
  }
  ++update_count_;
  if (wanted > ItemRect(0).Width()) {
    SetHorizontalExtent(wanted);
  } else {
    SetHorizontalExtent(0);
    SendMessageA(Handle(), WM_HSCROLL, SB_LEFT, 0);
    ShowScrollBar(Handle(), SB_HORZ, FALSE);
  }
  --update_count_;
}

void THTMListBox::EndUpdate() {
  if (update_count_ == 0) return;
  if (--update_count_ == 0) UpdateHScrollExtent(0);
}

// --------------------------------------------------------------- drawing

void THTMListBox::ApplySelectionColors(TCanvas& canvas, bool selected) {
  if (selected) {
    canvas.Brush().SetColor(selection_colors_->ColorFrom());
    canvas.Font().SetColor(selection_font_color_);
    const TColor pen =
        selection_colors_->ColorTo() == clNone ? selection_colors_->ColorFrom() : selection_colors_->BorderColor();
    canvas.Pen().SetStyle(pen == clNone ? psClear : psSolid);
    if (pen != clNone) canvas.Pen().SetColor(pen);
  } else {
    canvas.Brush().SetColor(Color());
    canvas.Pen().SetStyle(psSolid);
    canvas.Pen().SetColor(Color());
    canvas.Font().SetColor(Font().Color());
  }
}

void THTMListBox::FillSelectionGradient(TCanvas& canvas, const TRect& rect) {
  const TGradientStyle& style = *selection_colors_;
  constexpr int kBands = 128;
  if (style.ColorMirrorFrom() == clNone) {
    GradientFill(canvas, style.ColorFrom(), style.ColorTo(), !style.Direction(), rect, kBands, clNone);
  } else {
    TRect first = rect;
    TRect second = rect;
    if (style.Direction()) {
      first.Right = rect.Left + rect.Width() / 2;
      second.Left = first.Right;
    } else {
      first.Bottom = rect.Top + rect.Height() / 2;
      second.Top = first.Bottom;
    }
    GradientFill(canvas, style.ColorFrom(), style.ColorTo(), false, first, kBands, clNone);
    GradientFill(canvas, style.ColorMirrorFrom(), style.ColorMirrorTo(), false, second, kBands, clNone);
  }
  if (style.BorderColor() != clNone) {
    canvas.Brush().SetColor(style.BorderColor());
    canvas.FrameRect(rect);
  }
}

// Everything an entry's picture depends on besides its markup.
std::string THTMListBox::EntryPictureKey(const std::string& markup, const TRect& rect, bool selected,
                                         bool focusDrawn) {
  const TGradientStyle& style = *selection_colors_;
  const std::int64_t settings[] = {
      rect.Left, rect.Right, rect.Height(), selected, focusDrawn, Color(), Font().Color(), Font().Height(),
      Font().Style().Contains(fsBold) | Font().Style().Contains(fsItalic) << 1 |
          Font().Style().Contains(fsUnderline) << 2 | Font().Style().Contains(fsStrikeOut) << 3,
      Font().Charset(), style.ColorFrom(), style.ColorTo(), style.BorderColor(), style.ColorMirrorFrom(),
      style.ColorMirrorTo(), style.Direction(), selection_font_color_, url_color_, shadow_color_, shadow_offset_,
      ellipsis_, line_spacing_, show_selection_, scroll_horizontal_, blink_phase_,
      // The focus frame is a dotted pattern that follows the device origin:
      // its look depends on whether the entry's top is odd or even.
      focusDrawn ? rect.Top & 1 : 0};
  std::string key(reinterpret_cast<const char*>(settings), sizeof settings);
  key += Font().Name();
  key += '\0';
  key += markup;
  return key;
}

TPoint THTMListBox::CursorInClient() {
  if (paint_cursor_) return *paint_cursor_;
  POINT cursor{};
  GetCursorPos(&cursor);
  ::ScreenToClient(Handle(), &cursor);
  const TPoint point{cursor.x, cursor.y};
  // One paint shows every entry as the mouse was when it began.
  if (painting_) paint_cursor_ = point;
  return point;
}

void THTMListBox::PaintEntry(TCanvas& canvas, int index, const TRect& rect, bool selected, bool focusDrawn,
                             int scrollX) {
  ApplySelectionColors(canvas, selected);
  if (selected && selection_colors_->ColorTo() != clNone) {
    FillSelectionGradient(canvas, rect);
    ApplySelectionColors(canvas, selected);
  } else {
    canvas.Rectangle(rect);
  }

  if (focusDrawn) {
    if (selected) {
      canvas.Pen().SetStyle(psClear);
      canvas.Brush().SetStyle(bsClear);
    }
    canvas.DrawFocusRect(rect);
  }

  // One surface lays the entry out when it must and draws it.
  GdiMarkupSurface surface = MarkupSurfaceOn(canvas);
  const auto layout = EntryLayout(canvas, &surface, index, rect, selected, scrollX, std::nullopt);
  // The entry is laid out 4 pixels taller than its rectangle; what it paints
  // there must not spill onto the next entry, which is not always painted
  // again after it. Clipping costs more than drawing a short entry, so it is
  // only set up for a layout that could reach outside the rectangle with its
  // fills cut to it.
  const bool spills = !MarkupLayoutDrawsWithin(*layout, rect, rect.Top);
  if (spills) surface.PushClip(rect);
  DrawMarkupLayout(surface, *layout, rect.Top, &rect);
  if (spills) surface.PopClip();
}

void THTMListBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
  const int scroll_x = scroll_horizontal_ ? GetScrollPos(Handle(), SB_HORZ) : 0;
  // Scrolled sideways, entries are drawn on a DC of the whole window: the
  // text starts left of the entry's own rectangle.
  std::unique_ptr<TCanvas> windowCanvas;
  std::unique_ptr<TWindowDCCanvas> lent;
  if (scroll_x != 0) {
    windowCanvas = std::make_unique<TCanvas>();
    lent = std::make_unique<TWindowDCCanvas>(*windowCanvas, Handle());
  }
  TCanvas& canvas = windowCanvas ? *windowCanvas : Canvas();
  canvas.Font().Assign(Font());

  // Nothing stale stays below the last entry.
  if (index == Count() - 1 && rect.Bottom < Height()) {
    canvas.Brush().SetColor(Color());
    canvas.Pen().SetColor(Color());
    canvas.Rectangle(rect.Left, rect.Top, rect.Right, Height());
  }

  const bool selected = (state & odSelected) != 0 && show_selection_;
  const bool focus_drawn = (state & odFocused) && show_focus_ && show_selection_;
  const std::string& markup = Item(index);
  if (scroll_x != 0 || rect.Left < 0 || rect.Width() <= 0 || rect.Height() <= 0 || !EntryPictureMayBeKept(markup)) {
    PaintEntry(canvas, index, rect, selected, focus_drawn, scroll_x);
    return;
  }
  // Painting an entry again copies the picture of its last drawing. The
  // first drawing goes straight onto the list: the picture is made when the
  // entry is painted a second time.
  const std::string key = EntryPictureKey(markup, rect, selected, focus_drawn);
  const TEntryPicture* picture = entry_pictures_.Find(key);
  TEntryPicture drawn;
  if (!picture) {
    if (!entry_pictures_.NoteDrawn(key)) {
      PaintEntry(canvas, index, rect, selected, focus_drawn, 0);
      return;
    }
    if (!scratch_) scratch_ = std::make_unique<TBitmap>();
    TBitmap& scratch = *scratch_;
    // Drawn where it shows, so that the dotted focus frame drawn into the
    // picture has the phase of the one the base inverts over it on the
    // window, and the two cancel at any top.
    if (scratch.Width() < rect.Right || scratch.Height() < rect.Bottom)
      scratch.SetSize(std::max(scratch.Width(), rect.Right), std::max(scratch.Height(), rect.Bottom));
    TCanvas& scratchCanvas = scratch.Canvas();
    scratchCanvas.Font().Assign(Font());
    PaintEntry(scratchCanvas, index, rect, selected, focus_drawn, 0);
    GdiFlush();
    drawn.width = rect.Width();
    drawn.height = rect.Height();
    drawn.pixels.reserve(static_cast<std::size_t>(drawn.width) * static_cast<std::size_t>(drawn.height));
    for (int y = 0; y < drawn.height; ++y) {
      const std::uint32_t* row = scratch.ScanLine(rect.Top + y) + rect.Left;
      drawn.pixels.insert(drawn.pixels.end(), row, row + drawn.width);
    }
    entry_pictures_.Store(key, drawn);
    picture = &drawn;
  }
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), picture->width, -picture->height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  SetDIBitsToDevice(canvas.Handle(), rect.Left, rect.Top, static_cast<DWORD>(picture->width),
                    static_cast<DWORD>(picture->height), 0, 0, 0, static_cast<UINT>(picture->height),
                    picture->pixels.data(), &info, DIB_RGB_COLORS);
}

// -------------------------------------------------------------- blinking

void THTMListBox::StartBlinkTimer() {
  if (blink_timer_ == 0 && HandleAllocated()) blink_timer_ = SetTimer(Handle(), kBlinkTimerId, kBlinkInterval, nullptr);
}

void THTMListBox::StopBlinkTimer() {
  if (blink_timer_ != 0 && HandleAllocated()) KillTimer(Handle(), kBlinkTimerId);
  blink_timer_ = 0;
}

void THTMListBox::SetEnableBlink(bool value) {
  if (enable_blink_ == value) return;
  enable_blink_ = value;
  if (value) {
    StartBlinkTimer();
  } else {
    StopBlinkTimer();
    blink_phase_ = false;
    Invalidate();
  }
}

void THTMListBox::Blink() {
  if (Count() == 0 || !enable_blink_) return;
  const bool cache_stepped = picture_cache_->Animate();
  const bool container_stepped = picture_container_ && picture_container_->Items().Animate();
  if (cache_stepped || container_stepped) Invalidate();
  if (++blink_ticks_ % kBlinkTicksPerPhase != 0) return;
  blink_phase_ = !blink_phase_;
  // Every blinking entry in view is painted again in the new phase, the way
  // any paint draws it.
  const int client_height = ClientHeight();
  for (int i = std::max(0, TopIndex()); i < Count(); ++i) {
    const TRect rect = ItemRect(i);
    if (rect.Top >= client_height) break;
    if (AsciiUpperCase(Item(i)).find("<BLINK") == std::string::npos) continue;
    const RECT area{rect.Left, rect.Top, rect.Right, rect.Bottom};
    ::InvalidateRect(Handle(), &area, FALSE);
  }
}

// ------------------------------------------------------ anchors and mouse

bool THTMListBox::IsAnchor(int x, int y, std::string& anchor, int& index) {
  anchor.clear();
  index = -1;
  if (!HandleAllocated()) return false;
  const int under = ItemAtPos({x, y}, false);
  if (under < 0 || under >= Count()) return false;
  index = under;
  // The anchors are where painting put them: the entry's painted layout
  // answers, laid out on the measuring canvas set up as painting would be.
  const TRect rect = ItemRect(under);
  const bool selected = show_selection_ && Selected(under);
  const int scrollX = scroll_horizontal_ ? GetScrollPos(Handle(), SB_HORZ) : 0;
  std::shared_ptr<const MarkupLayout> layout;
  WithMeasuringCanvas([&](TCanvas& canvas) {
    ApplySelectionColors(canvas, selected);
    layout = EntryLayout(canvas, nullptr, under, rect, selected, scrollX, TPoint{x, y - rect.Top});
  });
  if (const MarkupAnchorBox* hit = MarkupAnchorAt(*layout, x, y - rect.Top)) anchor = hit->Value;
  return !anchor.empty();
}

void THTMListBox::MouseMove(int x, int y) {
  if (item_hint_) {
    const int under = ItemAtPos({x, y});
    if (under != last_hint_index_) {
      CancelHint();
      last_hint_index_ = under;
    }
  }
  std::string anchor;
  int index = -1;
  IsAnchor(x, y, anchor, index);
  // An anchor is left when the mouse comes onto another value or another
  // entry; the exit names the entry of the anchor left.
  const bool changed = anchor != last_anchor_ || index != last_anchor_index_;
  if (!anchor.empty()) {
    if (changed && !last_anchor_.empty()) {
      CancelHint();
      if (OnAnchorExit) OnAnchorExit(this, last_anchor_index_, last_anchor_);
    }
    if (!hand_cursor_) {
      saved_cursor_ = GetCursor();
      hand_cursor_ = true;
      SetCursor(LoadCursor(nullptr, IDC_HAND));
    }
    last_anchor_ = anchor;
    last_anchor_index_ = index;
    if (changed && OnAnchorEnter) OnAnchorEnter(this, index, anchor);
  } else if (hand_cursor_ && !last_anchor_.empty()) {
    CancelHint();
    hand_cursor_ = false;
    SetCursor(saved_cursor_ ? saved_cursor_ : LoadCursor(nullptr, IDC_ARROW));
    const std::string left = std::exchange(last_anchor_, std::string());
    const int left_index = std::exchange(last_anchor_index_, -1);
    if (OnAnchorExit) OnAnchorExit(this, left_index, left);
  }
  if ((hand_cursor_ || item_hint_ || anchor_hint_) && !tracking_leave_) {
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Handle(), 0};
    tracking_leave_ = TrackMouseEvent(&track) != FALSE;
  }
  // The hint reads the anchor found above: one layout per move.
  if (anchor_hint_ || item_hint_) ShowHintAt(x, y, anchor, index);
}

void THTMListBox::MouseLeft() {
  tracking_leave_ = false;
  CancelHint();
  last_hint_index_ = -1;
  if (hand_cursor_ && !last_anchor_.empty()) {
    hand_cursor_ = false;
    const std::string left = std::exchange(last_anchor_, std::string());
    const int left_index = std::exchange(last_anchor_index_, -1);
    if (OnAnchorExit) OnAnchorExit(this, left_index, left);
  }
}

void THTMListBox::MouseDown(int x, int y) {
  std::string anchor;
  int index = -1;
  if (!IsAnchor(x, y, anchor, index)) return;
  // Entries come from dropped text: only web and mail links go to the
  // shell; anything else is the program's to handle.
  if (IsShellLink(anchor)) {
    if (ShellOpener) ShellOpener(anchor);
  } else if (OnAnchorClick) {
    OnAnchorClick(this, index, anchor);
  }
}

// ----------------------------------------------------------------- hints

void THTMListBox::CancelHint() { hint_.Cancel(); }

void THTMListBox::ShowHintAt(int x, int y, const std::string& anchor, int anchorIndex) {
  std::string text;
  POINT at{};
  if (anchor_hint_) {
    text = anchor;
    if (!text.empty() && OnAnchorHint) OnAnchorHint(this, anchorIndex, text);
    at = {x + 10, y - 10};
    ::ClientToScreen(Handle(), &at);
  } else if (item_hint_) {
    const int index = ItemAtPos({x, y});
    if (index >= 0) {
      const TRect rect = ItemRect(index);
      if (x >= rect.Left && x < rect.Right && y >= rect.Top && y < rect.Bottom) {
        text = html_hint_ ? Item(index) : StripMarkup(Item(index));
        at = {rect.Left, rect.Top};
        ::ClientToScreen(Handle(), &at);
      }
    }
  }
  if (text.empty()) {
    CancelHint();
    return;
  }
  if (!hint_.Showing() || hint_.Text() != text) hint_.Show(Handle(), text, at);
}

// ------------------------------------------------------------- keyboard

void THTMListBox::KeyDown(int key) {
  // Typing matches an entry's plain text, read from its markup and not from
  // a kept layout: a search runs over every entry from the selection on,
  // while layouts are kept only for the few screens last drawn (laying the
  // rest out to search them would cost more than reading their text, and
  // keeping them all would cost memory per entry). A drawn layout also
  // stops at the entry's bottom, so it may not hold all of the text. Only as
  // many entries are read as it takes to find one that matches.
  const int found = lookup_.KeyDown(key, incr_lookup_, Count(), ItemIndex(), [this](int i) { return GetTextItem(i); });
  if (found < 0 || found == ItemIndex()) return;
  // Typing selects as the arrow keys do: the user chose the entry.
  SetItemIndex(found);
  HWND window = Handle();
  Click();
  NotifyListSelectionChanged(window);
}

// ------------------------------------------------------- entries as text

std::string THTMListBox::GetTextItem(int index) {
  if (index < 0 || index >= Count()) throw EHTMListBoxError("Item index out of range");
  return StripMarkup(Item(index));
}

void THTMListBox::ReplaceEach(const std::function<std::string(const std::string&)>& change) {
  TUpdateLock<THTMListBox> update(*this);
  for (int i = 0; i < Count(); ++i) SetItem(i, change(Item(i)));
}

void THTMListBox::HilightInItem(int index, const std::string& text, bool caseSensitive) {
  SetItem(index, MarkText(Item(index), text, "hi", caseSensitive));
}
void THTMListBox::HilightInList(const std::string& text, bool caseSensitive) {
  ReplaceEach([&](const std::string& entry) { return MarkText(entry, text, "hi", caseSensitive); });
}
void THTMListBox::UnHilightInItem(int index) { SetItem(index, UnmarkText(Item(index), "hi")); }
void THTMListBox::UnHilightInList() {
  ReplaceEach([](const std::string& entry) { return UnmarkText(entry, "hi"); });
}
void THTMListBox::MarkInItem(int index, const std::string& text, bool caseSensitive) {
  SetItem(index, MarkText(Item(index), text, "e", caseSensitive));
}
void THTMListBox::MarkInList(const std::string& text, bool caseSensitive) {
  ReplaceEach([&](const std::string& entry) { return MarkText(entry, text, "e", caseSensitive); });
}
void THTMListBox::UnMarkInItem(int index) { SetItem(index, UnmarkText(Item(index), "e")); }
void THTMListBox::UnMarkInList() {
  ReplaceEach([](const std::string& entry) { return UnmarkText(entry, "e"); });
}

void THTMListBox::SetSorted(bool value) {
  if (sorted_ == value) return;
  sorted_ = value;
  if (!value || Count() < 2) return;
  std::vector<std::string> keys;
  keys.reserve(static_cast<std::size_t>(Count()));
  for (int i = 0; i < Count(); ++i) keys.push_back(sort_with_html_ ? Item(i) : StripMarkup(Item(i)));
  const std::vector<int> order = SortedEntryOrder(std::move(keys), LocaleCompare);
  TStringList sorted;
  for (int from : order) sorted.AddObject(Item(from), ItemObject(from));
  AssignItems(sorted);
}

// ------------------------------------------------------------ properties

void THTMListBox::RemeasureAfterChange() {
  ReMeasure();
  Invalidate();
}

void THTMListBox::SetAutoItemHeight(bool value) {
  if (auto_item_height_ == value) return;
  auto_item_height_ = value;
  RemeasureAfterChange();
}

void THTMListBox::SetEllipsis(bool value) {
  if (ellipsis_ == value) return;
  ellipsis_ = value;
  Invalidate();
}

void THTMListBox::SetImages(TCustomImageList* value) {
  if (images_ == value) return;
  if (images_) images_->RemoveFreeNotification(this);
  images_ = value;
  if (images_) images_->FreeNotification(this);
  ReMeasure();
}

void THTMListBox::SetPictureContainer(TPictureContainer* value) {
  if (picture_container_ == value) return;
  if (picture_container_) picture_container_->RemoveFreeNotification(this);
  picture_container_ = value;
  if (picture_container_) picture_container_->FreeNotification(this);
  ReMeasure();
}

void THTMListBox::SetItemHeight(int value) {
  TCustomListBox::SetItemHeight(value);
  if (!auto_item_height_) ReMeasure();
}

void THTMListBox::SetLineSpacing(int value) {
  if (line_spacing_ == value) return;
  line_spacing_ = value;
  RemeasureAfterChange();
}

void THTMListBox::SetMultiline(bool value) {
  if (multiline_ == value) return;
  multiline_ = value;
  ReMeasure();
}

void THTMListBox::SetScrollHorizontal(bool value) {
  if (scroll_horizontal_ == value) return;
  scroll_horizontal_ = value;
  UpdateHScrollExtent(0);
  // Entries are laid out at another width: the kept pictures no longer show them.
  Invalidate();
}

void THTMListBox::SetSelectionFontColor(TColor value) {
  if (selection_font_color_ == value) return;
  selection_font_color_ = value;
  Invalidate();
}

void THTMListBox::SetShadowColor(TColor value) {
  shadow_color_ = value;
  Invalidate();
}

void THTMListBox::SetShadowOffset(int value) {
  shadow_offset_ = value;
  Invalidate();
}

void THTMListBox::SetURLColor(TColor value) {
  if (url_color_ == value) return;
  url_color_ = value;
  Invalidate();
}

// ------------------------------------------------------------- lifecycle

void THTMListBox::Loaded() {
  TCustomListBox::Loaded();
  saved_cursor_ = LoadCursor(nullptr, IDC_ARROW);
  if (enable_blink_) {
    StartBlinkTimer();
  } else {
    StopBlinkTimer();
  }
  // A resize measures every entry with the final layout.
  SetWidth(Width() - 1);
  SetWidth(Width() + 1);
}

void THTMListBox::Notification(TComponent* component, TOperation operation) {
  TCustomListBox::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == images_) images_ = nullptr;
  if (component == picture_container_) picture_container_ = nullptr;
}

void THTMListBox::CreateParams(TCreateParams& params) {
  TCustomListBox::CreateParams(params);
  // The system list keeps a horizontal scroll bar only if its window is made
  // with one, and the window is never made again for ScrollHorizontal. With
  // no horizontal extent the bar stays hidden.
  params.Style |= WS_HSCROLL;
}

void THTMListBox::CreateHandleDone() {
  TCustomListBox::CreateHandleDone();
  if (enable_blink_ && !IsLoading()) StartBlinkTimer();
}

void THTMListBox::ForgetDrawings() {
  // Nothing is left to show: what was kept to draw the entries again goes,
  // pictures and measured texts alike (the texts measure again on demand).
  entry_pictures_.Clear();
  entry_layouts_.Clear();
  measured_texts_.Clear();
}

void THTMListBox::Invalidate() {
  entry_pictures_.Clear();
  TCustomListBox::Invalidate();
}

void THTMListBox::FontChanged() {
  TCustomListBox::FontChanged();
  // Entry heights follow the font they are laid out in.
  ReMeasure();
}

void THTMListBox::SaveStateBeforeDestroy() {
  StopBlinkTimer();
  hint_.Destroy();
  hand_cursor_ = false;
  last_anchor_.clear();
  last_anchor_index_ = -1;
  tracking_leave_ = false;
  // A window made again starts with its redrawing on.
  redraw_deferred_ = false;
  redraw_held_by_caller_ = false;
  TCustomListBox::SaveStateBeforeDestroy();
}

void THTMListBox::WndProc(TMessage& message) {
  switch (message.Msg) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
      DeferRedraw();
      TCustomListBox::WndProc(message);
      if (message.Result >= 0) MeasureAddedEntry(static_cast<int>(message.Result));
      return;
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
      // The entries' strings go after the system list has let them go: the
      // extent is worked out without them.
      DeferRedraw();
      {
        // The scroll bar may come or go while the system list handles the
        // message, and the resize it brings works the extent out again.
        TAutoReset<int> leaving(
            leaving_, message.Msg == LB_RESETCONTENT ? kAllEntriesLeaving : msg::DeletedEntry(message));
        TCustomListBox::WndProc(message);
        if (scroll_horizontal_ && update_count_ == 0) ApplyHScrollExtent(0, leaving_);
      }
      if (SendMessageA(Handle(), LB_GETCOUNT, 0, 0) == 0) ForgetDrawings();
      return;
    case WM_SIZE:
      TCustomListBox::WndProc(message);
      if (!scroll_horizontal_ && !measuring_) ReMeasure();
      if (scroll_horizontal_) UpdateHScrollExtent(0);
      Invalidate();
      return;
    case WM_SETREDRAW:
      // The caller's own hold on redrawing wins over a deferred resume.
      redraw_held_by_caller_ = !msg::RedrawOn(message);
      if (redraw_held_by_caller_) redraw_deferred_ = false;
      break;
    case WM_NCPAINT:
    case WM_PRINT:
      // The scroll bar is drawn from the state redrawing brings up to date.
      ResumeRedraw();
      break;
    case WM_PAINT:
    case WM_PRINTCLIENT: {
      ResumeRedraw();
      // The cursor is asked for at most once a paint, not once an entry.
      TAutoReset<std::optional<TPoint>> cursor(paint_cursor_, std::nullopt);
      TAutoReset<bool> painting(painting_, true);
      TCustomListBox::WndProc(message);
      return;
    }
    case WM_SYSCOLORCHANGE:
      // Pictures drawn in system colours are no longer what drawing gives.
      entry_pictures_.Clear();
      break;
    case WM_TIMER:
      if (msg::TimerId(message) == kBlinkTimerId) {
        Blink();
        return;
      }
      break;
    case WM_SETCURSOR:
      if (hand_cursor_ && msg::SetCursor(message).HitTest == HTCLIENT) {
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        message.Result = TRUE;
        return;
      }
      break;
    case WM_MOUSEMOVE:
      TCustomListBox::WndProc(message);
      {
        const POINT at = msg::Mouse(message).Point;
        MouseMove(at.x, at.y);
      }
      return;
    case WM_MOUSELEAVE:
      MouseLeft();
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      // An anchor reacts first; the list still selects the entry.
      {
        const POINT at = msg::Mouse(message).Point;
        MouseDown(at.x, at.y);
      }
      break;
    case WM_KEYDOWN:
      TCustomListBox::WndProc(message);
      KeyDown(static_cast<int>(msg::Key(message)));
      return;
    case WM_SETFOCUS:
      TCustomListBox::WndProc(message);
      DoEnter();
      return;
    case WM_GETOBJECT:
      if (AnswerAccessibleClient(message, Handle(), [this] { return NewHTMListBoxAccessible(Handle()); })) return;
      break;
    case CN_COMMAND:
      if (msg::Command(message).Notification == LBN_SELCHANGE) {
        HWND window = Handle();  // the click's handler may take the list away
        TCustomListBox::WndProc(message);
        NotifyListSelectionChanged(window);
        return;
      }
      break;
    default:
      if (message.Msg == ResumeRedrawMessage()) {
        ResumeRedraw();
        return;
      }
      break;
  }
  TCustomListBox::WndProc(message);
}

}  // namespace plx
