#include "markup/GdiMarkupSurface.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>
#include <string>

#include "markup/HTMLPicture.h"
#include "markup/MarkupGeometry.h"
#include "markup/PictureContainer.h"
#include "markup/SystemIcon.h"
#include "markup/TextMetricsCache.h"
#include "markup/TextSearch.h"

#undef DrawText

namespace plx {

namespace {

// Markup may ask for any size; beyond this a font is only slower to make.
constexpr int kMaxFontPoints = 1000;

UINT TextFlags(TextFormat format) {
  UINT flags = 0;
  if (format & tfBottom) flags |= DT_BOTTOM;
  if (format & tfSingleLine) flags |= DT_SINGLELINE;
  if (format & tfExpandTabs) flags |= DT_EXPANDTABS;
  if (format & tfExternalLeading) flags |= DT_EXTERNALLEADING;
  if (format & tfNoPrefix) flags |= DT_NOPREFIX;
  if (format & tfEndEllipsis) flags |= DT_END_ELLIPSIS;
  return flags;
}

// What the metrics cache keeps besides DrawText widths (keyed by their
// flags, which never have all bits set).
constexpr std::uint32_t kExtentKind = UINT_MAX;
constexpr std::uint32_t kHeightKind = UINT_MAX - 1;

int TextLength(std::string_view text) { return static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX)); }

// A device colour. System colours are resolved; any other value keeps only
// its red, green and blue: markup colour sums may spill into the top byte,
// which GDI would read as a palette request.
COLORREF DeviceColor(TColor color) {
  if ((color & 0xFF000000u) == clSystemColor) return ColorToRGB(color) & 0x00FFFFFF;
  return color & 0x00FFFFFF;
}

// Calls set only when value differs from what the DC is known to hold.
template <class T, class Set>
void SetWhenChanged(T& known, T value, Set set) {
  if (known == value) return;
  set();
  known = value;
}

// Two descriptions that make the same font.
bool SameLogFont(const LOGFONTA& a, const LOGFONTA& b) {
  return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement &&
         a.lfOrientation == b.lfOrientation && a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic &&
         a.lfUnderline == b.lfUnderline && a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet &&
         a.lfOutPrecision == b.lfOutPrecision && a.lfClipPrecision == b.lfClipPrecision &&
         a.lfQuality == b.lfQuality && a.lfPitchAndFamily == b.lfPitchAndFamily &&
         std::strncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
}

RECT ToRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

// A font on a device as the metrics cache tells it apart: the device's
// description and the font's, byte for byte, built without a heap block.
class FontKey {
 public:
  FontKey(const GdiMarkupSurface::DeviceKey& device, const LOGFONTA& font) {
    std::memcpy(bytes_, &device, sizeof device);
    std::memcpy(bytes_ + sizeof device, &font, sizeof font);
  }
  std::string_view View() const { return std::string_view(bytes_, sizeof bytes_); }

 private:
  char bytes_[sizeof(GdiMarkupSurface::DeviceKey) + sizeof(LOGFONTA)];
};

}  // namespace

GdiMarkupSurface::GdiMarkupSurface(TCanvas& canvas, const MarkupPictureSources& sources, TextMetricsCache& metrics)
    : canvas_(canvas), sources_(sources), metrics_(metrics) {
  TFont& font = canvas.Font();
  canvas_font_.Name = font.Name();
  canvas_font_.Size = font.Size();
  canvas_font_.Style.Bold = font.Style().Contains(fsBold);
  canvas_font_.Style.Italic = font.Style().Contains(fsItalic);
  canvas_font_.Style.Underline = font.Style().Contains(fsUnderline);
  canvas_font_.Style.StrikeOut = font.Style().Contains(fsStrikeOut);
  canvas_font_.Color = font.Color();
  // The canvas font as GDI gets it, built the way the font builds it.
  canvas_log_font_.lfHeight = font.Height();
  canvas_log_font_.lfWeight = canvas_font_.Style.Bold ? FW_BOLD : FW_NORMAL;
  canvas_log_font_.lfItalic = canvas_font_.Style.Italic;
  canvas_log_font_.lfUnderline = canvas_font_.Style.Underline;
  canvas_log_font_.lfStrikeOut = canvas_font_.Style.StrikeOut;
  canvas_log_font_.lfCharSet = font.Charset();
  canvas_log_font_.lfOutPrecision = OUT_DEFAULT_PRECIS;
  canvas_log_font_.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  canvas_log_font_.lfQuality = DEFAULT_QUALITY;
  canvas_log_font_.lfPitchAndFamily = DEFAULT_PITCH;
  std::strncpy(canvas_log_font_.lfFaceName, font.Name().c_str(), LF_FACESIZE - 1);

  dc_ = canvas.Handle();
  pixels_per_inch_x_ = std::max(1, GetDeviceCaps(dc_, LOGPIXELSX));
  pixels_per_inch_y_ = std::max(1, GetDeviceCaps(dc_, LOGPIXELSY));
  device_key_ = DeviceKey{pixels_per_inch_x_, pixels_per_inch_y_, GetMapMode(dc_), GetTextCharacterExtra(dc_)};

  canvas_realized_.Font = canvas_font_;
  canvas_realized_.LogFont = canvas_log_font_;
  canvas_realized_.MetricsId = metrics_.FontId(FontKey(device_key_, canvas_log_font_).View());
}

GdiMarkupSurface::~GdiMarkupSurface() {
  if (!bound_) return;
  // Clips that an error left pushed go first: restoring the state saved for
  // the outermost one takes them all off the DC.
  if (!clip_levels_.empty()) {
    RestoreDC(dc_, clip_levels_.front().SavedState);
    clip_levels_.clear();
  }
  // The DC gets back what it had: our fonts leave it before they go.
  // (Selecting a font is costly; the DC is left alone when it has it.)
  if (GetCurrentObject(dc_, OBJ_FONT) != previous_font_) SelectObject(dc_, previous_font_);
  UseTextColor(previous_text_color_);
  UseBackgroundColor(previous_background_);
  UseBackgroundMode(previous_background_mode_);
}

// Measuring from the metrics cache needs no DC; the DC is set up (and its
// state noted for restoring) only when something is measured afresh or drawn.
void GdiMarkupSurface::Bind() {
  if (bound_) return;
  bound_ = true;
  previous_font_ = GetCurrentObject(dc_, OBJ_FONT);
  previous_text_color_ = GetTextColor(dc_);
  previous_background_ = GetBkColor(dc_);
  previous_background_mode_ = GetBkMode(dc_);
  dc_text_color_ = previous_text_color_;
  dc_background_ = previous_background_;
  dc_background_mode_ = previous_background_mode_;
  dc_state_known_ = true;
}

void GdiMarkupSurface::KnowDCState() {
  Bind();
  if (dc_state_known_) return;
  dc_text_color_ = GetTextColor(dc_);
  dc_background_ = GetBkColor(dc_);
  dc_background_mode_ = GetBkMode(dc_);
  dc_state_known_ = true;
}

void GdiMarkupSurface::UseTextColor(COLORREF color) {
  KnowDCState();
  SetWhenChanged(dc_text_color_, color, [&] { SetTextColor(dc_, color); });
}

void GdiMarkupSurface::UseBackgroundColor(COLORREF color) {
  KnowDCState();
  SetWhenChanged(dc_background_, color, [&] { SetBkColor(dc_, color); });
}

void GdiMarkupSurface::UseBackgroundMode(int mode) {
  KnowDCState();
  SetWhenChanged(dc_background_mode_, mode, [&] { SetBkMode(dc_, mode); });
}

HFONT GdiMarkupSurface::HandleOf(RealizedFont& font) {
  if (!font.Handle) {
    if (&font == &canvas_realized_) {
      // A DC often already holds a font made from the same description as
      // the canvas font (a control's own font in the DC it draws with): that
      // one gives the same glyphs and spares selecting a font in and out,
      // which costs more than drawing a short entry.
      // The canvas font's own handle is made either way, so the objects
      // the canvas keeps do not depend on which DC it drew on first.
      font.Handle = canvas_.Font().Handle();  // owned by the canvas font
      HGDIOBJ current = GetCurrentObject(dc_, OBJ_FONT);
      LOGFONTA held{};
      if (current && GetObjectA(current, sizeof held, &held) == sizeof held && SameLogFont(held, canvas_log_font_))
        font.Handle = static_cast<HFONT>(current);  // borrowed from whoever selected it
    } else {
      font.Owned.Reset(CreateFontIndirectA(&font.LogFont));
      // Without a font of its own the text stays in the canvas font.
      font.Handle = font.Owned ? font.Owned.Get() : HandleOf(canvas_realized_);
    }
  }
  return font.Handle;
}

void GdiMarkupSurface::SelectIntoDC() {
  if (!selected_) SelectFont(canvas_font_);
  Bind();
  if (dc_font_ == selected_) return;
  HFONT handle = HandleOf(*selected_);
  if (GetCurrentObject(dc_, OBJ_FONT) != handle) SelectObject(dc_, handle);
  dc_font_ = selected_;
}

GdiMarkupSurface::RealizedFont& GdiMarkupSurface::Realize(const MarkupFont& font) {
  if (canvas_realized_.Font == font) return canvas_realized_;
  for (const auto& realized : fonts_) {
    if (realized->Font == font) return *realized;
  }
  LOGFONTA logFont = canvas_log_font_;
  // The canvas' own height is kept while the size is the canvas'; other
  // sizes are points at the font's resolution.
  if (font.Size != canvas_font_.Size) {
    const int points = std::clamp(font.Size, -kMaxFontPoints, kMaxFontPoints);
    logFont.lfHeight = -MulDiv(points, canvas_.Font().PixelsPerInch(), 72);
  }
  logFont.lfWeight = font.Style.Bold ? FW_BOLD : FW_NORMAL;
  logFont.lfItalic = font.Style.Italic;
  logFont.lfUnderline = font.Style.Underline;
  logFont.lfStrikeOut = font.Style.StrikeOut;
  logFont.lfEscapement = font.Escapement;
  logFont.lfOrientation = font.Escapement;
  std::memset(logFont.lfFaceName, 0, sizeof logFont.lfFaceName);
  const std::string name = font.Name.substr(0, font.Name.find('\0'));
  std::strncpy(logFont.lfFaceName, name.c_str(), LF_FACESIZE - 1);
  auto realized = std::make_unique<RealizedFont>();
  // The Symbol font's glyphs (the list bullet among them) are reached
  // through its own character set; any other face keeps the canvas' set.
  realized->Symbol = lstrcmpiA(logFont.lfFaceName, "Symbol") == 0;
  if (realized->Symbol) logFont.lfCharSet = SYMBOL_CHARSET;
  realized->Font = font;
  realized->LogFont = logFont;
  realized->MetricsId = metrics_.FontId(FontKey(device_key_, logFont).View());
  fonts_.push_back(std::move(realized));
  return *fonts_.back();
}

void GdiMarkupSurface::SelectFont(const MarkupFont& font) {
  if (selected_ && selected_->Font == font) return;
  selected_ = &Realize(font);
}

// Every non-empty text in one font is as high as the font's cell; the
// height is kept in the metrics cache beside the widths.
int GdiMarkupSurface::TextHeight(std::string_view) {
  if (!selected_) SelectFont(canvas_font_);
  return HeightOfSelected();
}

int GdiMarkupSurface::HeightOfSelected() {
  if (selected_->Height >= 0) return selected_->Height;
  TextMetricsCache& cache = metrics_;
  if (const int* height = cache.Find(selected_->MetricsId, kHeightKind, 0, {})) return selected_->Height = *height;
  SelectIntoDC();
  TEXTMETRICA metrics{};
  selected_->Height = GetTextMetricsA(dc_, &metrics) ? static_cast<int>(metrics.tmHeight) : 0;
  cache.Store(selected_->MetricsId, kHeightKind, 0, {}, selected_->Height);
  return selected_->Height;
}

int GdiMarkupSurface::CachedWidth(std::string_view text, UINT flags, int rectWidth) {
  if (!selected_) SelectFont(canvas_font_);
  // One line, nothing cut, no '&' read as a prefix: measuring it gives the
  // sum of its characters' advances.
  const bool summed = flags == kExtentKind ||
                      ((flags & DT_SINGLELINE) != 0 && (flags & DT_END_ELLIPSIS) == 0 &&
                       ((flags & DT_NOPREFIX) != 0 || !ContainsByte(text, '&')));
  if (summed) {
    if (const TextMetricsCache::AsciiWidths& widths = AsciiWidthsOfSelected(); widths.Usable) {
      if (const std::optional<int> width = widths.WidthOf(text)) return *width;
    }
  }
  TextMetricsCache& cache = metrics_;
  if (const int* width = cache.Find(selected_->MetricsId, flags, rectWidth, text)) return *width;
  SelectIntoDC();
  int width = 0;
  if (flags == kExtentKind) {
    SIZE size{};
    GetTextExtentPoint32A(dc_, text.data(), TextLength(text), &size);
    width = size.cx;
  } else {
    RECT r{0, 0, rectWidth, 0};
    ::DrawTextA(dc_, text.data(), TextLength(text), &r, flags | DT_CALCRECT);
    width = r.right - r.left;
  }
  cache.Store(selected_->MetricsId, flags, rectWidth, text, width);
  return width;
}

const TextMetricsCache::AsciiWidths& GdiMarkupSurface::AsciiWidthsOfSelected() {
  RealizedFont& font = *selected_;
  if (!font.Widths) font.Widths = metrics_.FindAsciiWidths(font.MetricsId);
  if (!font.Widths) font.Widths = metrics_.StoreAsciiWidths(font.MetricsId, MeasureAsciiWidths());
  return *font.Widths;
}

// The selected font's advance widths, usable only when a string of all of
// them measures as their sum both ways the surface measures: a font whose
// widths depend on their neighbours, or a DC that adds room between
// characters, is measured by the system instead.
TextMetricsCache::AsciiWidths GdiMarkupSurface::MeasureAsciiWidths() {
  using Widths = TextMetricsCache::AsciiWidths;
  Widths widths;
  // Symbol glyphs are drawn from other code points; a turned font is left
  // to the system.
  if (selected_->Symbol || selected_->LogFont.lfEscapement != 0) return widths;
  SelectIntoDC();
  if (!GetCharWidth32A(dc_, Widths::kFirst, Widths::kLast, widths.Advance.data())) return widths;
  std::string all;
  long long sum = 0;
  for (unsigned c = Widths::kFirst; c <= Widths::kLast; ++c) {
    all.push_back(static_cast<char>(c));
    sum += widths.Advance[c - Widths::kFirst];
  }
  SIZE extent{};
  RECT calculated{0, 0, 0, 0};
  const bool extentAddsUp = GetTextExtentPoint32A(dc_, all.data(), TextLength(all), &extent) && extent.cx == sum;
  ::DrawTextA(dc_, all.data(), TextLength(all), &calculated, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
  widths.Usable = extentAddsUp && calculated.right - calculated.left == sum;
  return widths;
}

int GdiMarkupSurface::TextWidth(std::string_view text) { return CachedWidth(text, kExtentKind, 0); }

int GdiMarkupSurface::MeasureText(std::string_view text, const TRect& r, TextFormat format) {
  const UINT flags = TextFlags(format);
  // Only a cut text depends on the room it is given.
  const int rectWidth = (flags & DT_END_ELLIPSIS) ? std::max(0, r.Width()) : 0;
  return CachedWidth(text, flags, rectWidth);
}

// A layout sets the words that carry a line on down as one run already, so
// each text is drawn as it comes.
void GdiMarkupSurface::DrawText(std::string_view text, const TRect& r, TextFormat format, TColor color,
                                TColor background) {
  if (!selected_) SelectFont(canvas_font_);
  OutputText(*selected_, text, r, format, color, background);
}

void GdiMarkupSurface::OutputText(const RealizedFont& font, std::string_view text, const TRect& r, TextFormat format,
                                  TColor color, TColor background) {
  SelectIntoDC();
  UseTextColor(DeviceColor(color));
  if (background == clNone) {
    UseBackgroundMode(TRANSPARENT);
  } else {
    UseBackgroundMode(OPAQUE);
    UseBackgroundColor(DeviceColor(background));
  }
  RECT rc = ToRECT(r);
  if (font.Symbol) {
    const std::wstring symbols = SymbolText(text);
    ::DrawTextW(dc_, symbols.data(), static_cast<int>(symbols.size()), &rc, TextFlags(format));
    return;
  }
  // One line with nothing for DrawText to work out (no '&' prefix, tab or
  // cut) is put down as DrawText itself puts it: in the DC's code page,
  // clipped to the rectangle, at its left edge and, with tfBottom, its cell
  // standing on the bottom. DrawText would measure the text and read the
  // font's metrics again on every call.
  const bool plainLine = (format & tfSingleLine) != 0 && (format & tfEndEllipsis) == 0 && !text.empty() &&
                         !ContainsByte(text, '\t') &&
                         ((format & tfNoPrefix) != 0 || !ContainsByte(text, '&'));
  if (plainLine) {
    // A line's cell is as high as its font's (the font is the selected one
    // here), kept once measured.
    const int y = (format & tfBottom) ? rc.bottom - HeightOfSelected() : rc.top;
    ExtTextOutA(dc_, rc.left, y, ETO_CLIPPED, &rc, text.data(), static_cast<UINT>(TextLength(text)), nullptr);
    return;
  }
  ::DrawTextA(dc_, text.data(), TextLength(text), &rc, TextFlags(format));
}

// Symbol fonts keep their glyphs either at the Unicode code points of what
// they show or in the private range (U+F020..U+F0FF, the classic symbol
// encoding). The markup's character codes mean the classic positions (0xB7
// is the bullet), so each is drawn from whichever place the font fills.
std::wstring GdiMarkupSurface::SymbolText(std::string_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto code = static_cast<unsigned char>(c);
    const wchar_t candidates[] = {code == 0xB7 ? L'\x2022' : static_cast<wchar_t>(code),
                                  static_cast<wchar_t>(0xF000 | code), static_cast<wchar_t>(code)};
    wchar_t chosen = candidates[2];
    for (const wchar_t candidate : candidates) {
      WORD glyph = 0xFFFF;
      if (GetGlyphIndicesW(dc_, &candidate, 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS) == 1 && glyph != 0xFFFF) {
        chosen = candidate;
        break;
      }
    }
    out.push_back(chosen);
  }
  return out;
}

void GdiMarkupSurface::FillRect(const TRect& r, TColor color) {
  const RECT rc = ToRECT(r);
  if (rc.right <= rc.left || rc.bottom <= rc.top) return;
  UseBackgroundColor(DeviceColor(color));
  ExtTextOutA(dc_, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
}

void GdiMarkupSurface::FrameRect(const TRect& r, TColor color) {
  if (r.Right <= r.Left || r.Bottom <= r.Top) return;
  FillRect(TRect{r.Left, r.Top, r.Right, r.Top + 1}, color);
  FillRect(TRect{r.Left, r.Bottom - 1, r.Right, r.Bottom}, color);
  FillRect(TRect{r.Left, r.Top, r.Left + 1, r.Bottom}, color);
  FillRect(TRect{r.Right - 1, r.Top, r.Right, r.Bottom}, color);
}

void GdiMarkupSurface::Polyline(const TPoint* points, std::size_t count, TColor color) {
  if (count < 2) return;
  std::vector<POINT> devicePoints(count);
  for (std::size_t i = 0; i < count; ++i) devicePoints[i] = POINT{points[i].X, points[i].Y};
  // The DC's own pen takes any colour without a pen object of ours.
  HGDIOBJ previous = SelectObject(dc_, GetStockObject(DC_PEN));
  const COLORREF previousColor = SetDCPenColor(dc_, DeviceColor(color));
  ::Polyline(dc_, devicePoints.data(), static_cast<int>(std::min<std::size_t>(count, INT_MAX)));
  SetDCPenColor(dc_, previousColor);
  SelectObject(dc_, previous);
}

TColor GdiMarkupSurface::ResolveColor(TColor color) { return DeviceColor(color); }

void GdiMarkupSurface::PushClip(const TRect& r) {
  Bind();
  clip_levels_.push_back(ClipLevel{SaveDC(dc_), dc_font_});
  IntersectClipRect(dc_, r.Left, r.Top, r.Right, r.Bottom);
}

void GdiMarkupSurface::PopClip() {
  if (clip_levels_.empty()) return;
  RestoreDC(dc_, clip_levels_.back().SavedState);
  // RestoreDC put back the font and colours of the moment the clip was pushed.
  dc_font_ = clip_levels_.back().Font;
  ForgetDCState();
  clip_levels_.pop_back();
}

TRect GdiMarkupSurface::ClipBox() {
  RECT r{};
  if (GetClipBox(dc_, &r) == ERROR) return TRect{};
  return TRect{r.left, r.top, r.right, r.bottom};
}

std::optional<MarkupSize> GdiMarkupSurface::ImageListSize() {
  if (!sources_.Images) return std::nullopt;
  return MarkupSize{sources_.Images->Width(), sources_.Images->Height()};
}

int GdiMarkupSurface::ImageCount() { return sources_.Images ? sources_.Images->Count() : 0; }

void GdiMarkupSurface::DrawImage(int index, int x, int y) {
  if (!sources_.Images || index < 0 || index >= sources_.Images->Count()) return;
  ImageList_Draw(sources_.Images->Handle(), index, dc_, x, y, ILD_TRANSPARENT);
  ForgetDCState();
}

MarkupSize GdiMarkupSurface::SystemIcon(std::string_view pathOrIndex, bool large, bool draw, int x, int y) {
  const TSize size = DrawSystemIcon(dc_, x, y, pathOrIndex, large, draw);
  if (draw) ForgetDCState();
  return MarkupSize{size.cx, size.cy};
}

namespace {

MarkupPictureInfo DescribePicture(THTMLPicture& picture) {
  MarkupPictureInfo info;
  info.Handle = &picture;
  info.Empty = picture.Empty();
  info.MaxSize = MarkupSize{picture.GetMaxWidth(), picture.GetMaxHeight()};
  info.FrameOffset = picture.FrameOffset();
  return info;
}

THTMLPicture& PictureOf(const MarkupPictureInfo& info) {
  return *const_cast<THTMLPicture*>(static_cast<const THTMLPicture*>(info.Handle));
}

}  // namespace

std::optional<MarkupPictureInfo> GdiMarkupSurface::NamedPicture(std::string_view name) {
  if (!sources_.Container) return std::nullopt;
  THTMLPicture* picture = sources_.Container->FindPicture(name);
  if (!picture) return std::nullopt;
  return DescribePicture(*picture);
}

std::optional<MarkupPictureInfo> GdiMarkupSurface::UrlPicture(std::string_view url) {
  if (!sources_.Cache) return std::nullopt;
  const std::string source(url);
  THTMLPicture* picture = sources_.Cache->FindPicture(source);
  if (!picture) {
    // Loaded once, synchronously; a source that cannot be loaded stays in
    // the cache as an empty picture so that it is not tried again.
    picture = sources_.Cache->AddPicture();
    picture->SetAsynchronous(false);
    try {
      picture->LoadFromURL(source);
    } catch (const Exception&) {
    }
  }
  return DescribePicture(*picture);
}

void GdiMarkupSurface::DrawPicture(const MarkupPictureInfo& info, int x, int y) {
  THTMLPicture& picture = PictureOf(info);
  Bind();
  picture.DrawOn(dc_, TRect{x, y, x, y});
  // Rendering may select objects and set colours of its own; the text font
  // is selected again and the colours read afresh.
  dc_font_ = nullptr;
  ForgetDCState();
}

void GdiMarkupSurface::StretchDrawPicture(const MarkupPictureInfo& info, const TRect& r) {
  THTMLPicture& picture = PictureOf(info);
  picture.SetStretch(true);
  Bind();
  picture.DrawOn(dc_, r);
  dc_font_ = nullptr;
  ForgetDCState();
}

}  // namespace plx
