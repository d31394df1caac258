#include "markup/GdiMarkupSurface.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <unordered_map>

#include "markup/MarkupGeometry.h"
#include "markup/SystemIcon.h"

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

int TextLength(std::string_view text) { return static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX)); }

// A device colour. System colours are resolved; any other value keeps only
// its red, green and blue: markup colour sums may spill into the top byte,
// which GDI would read as a palette request.
COLORREF DeviceColor(TColor color) {
  if ((color & 0xFF000000u) == clSystemColor) return ColorToRGB(color) & 0x00FFFFFF;
  return color & 0x00FFFFFF;
}

RECT ToRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

// Widths of text runs by font, device, flags and text. Measuring is what
// every list entry costs on each measure, paint and mouse move; the answer
// depends on nothing else, so it is remembered. Bounded: it starts afresh
// when full.
class TextMetricsCache {
 public:
  static TextMetricsCache& Instance() {
    thread_local TextMetricsCache cache;
    return cache;
  }
  const int* Find(const std::string& key) const {
    const auto found = widths_.find(key);
    return found == widths_.end() ? nullptr : &found->second;
  }
  void Store(std::string key, int width) {
    if (widths_.size() >= kMaxEntries) widths_.clear();
    widths_.emplace(std::move(key), width);
  }

 private:
  static constexpr std::size_t kMaxEntries = 1 << 14;
  static constexpr std::size_t kMaxKey = 512;

 public:
  // Longer texts are measured every time rather than kept.
  static bool Cacheable(std::string_view text) { return text.size() <= kMaxKey; }

 private:
  std::unordered_map<std::string, int> widths_;
};

template <class T>
void AppendBytes(std::string& key, const T& value) {
  key.append(reinterpret_cast<const char*>(&value), sizeof value);
}

}  // namespace

GdiMarkupSurface::GdiMarkupSurface(TCanvas& canvas, const MarkupPictureSources& sources)
    : canvas_(canvas), sources_(sources) {
  TFont& font = canvas.Font();
  canvasFont_.Name = font.Name();
  canvasFont_.Size = font.Size();
  canvasFont_.Style.Bold = font.Style().Contains(fsBold);
  canvasFont_.Style.Italic = font.Style().Contains(fsItalic);
  canvasFont_.Style.Underline = font.Style().Contains(fsUnderline);
  canvasFont_.Style.StrikeOut = font.Style().Contains(fsStrikeOut);
  canvasFont_.Color = font.Color();
  // Made before the DC state is saved: the canvas selects nothing for it.
  HFONT canvasHandle = font.Handle();

  dc_ = canvas.Handle();
  savedState_ = canvas.SaveState();
  pixelsPerInchX_ = std::max(1, GetDeviceCaps(dc_, LOGPIXELSX));
  pixelsPerInchY_ = std::max(1, GetDeviceCaps(dc_, LOGPIXELSY));
  AppendBytes(deviceKey_, pixelsPerInchX_);
  AppendBytes(deviceKey_, pixelsPerInchY_);
  AppendBytes(deviceKey_, GetMapMode(dc_));
  AppendBytes(deviceKey_, GetTextCharacterExtra(dc_));
  AppendBytes(deviceKey_, GetDeviceCaps(dc_, TECHNOLOGY));
  SetBkMode(dc_, TRANSPARENT);

  auto own = std::make_unique<RealizedFont>();
  own->Font = canvasFont_;
  own->Handle = canvasHandle;
  LOGFONTA logFont{};
  GetObjectA(canvasHandle, sizeof logFont, &logFont);
  own->MetricsKey = deviceKey_;
  AppendBytes(own->MetricsKey, logFont);
  fonts_.push_back(std::move(own));
}

GdiMarkupSurface::~GdiMarkupSurface() {
  // Puts back the DC's objects (our fonts leave it) and the clip region.
  canvas_.RestoreState(savedState_);
}

GdiMarkupSurface::RealizedFont& GdiMarkupSurface::Realize(const MarkupFont& font) {
  for (const auto& realized : fonts_) {
    if (realized->Font == font) return *realized;
  }
  const RealizedFont& canvasFont = *fonts_.front();
  LOGFONTA logFont{};
  GetObjectA(canvasFont.Handle, sizeof logFont, &logFont);
  // The canvas' own height is kept while the size is the canvas'; other
  // sizes are points at the font's resolution.
  if (font.Size != canvasFont_.Size) {
    const int points = std::clamp(font.Size, -kMaxFontPoints, kMaxFontPoints);
    logFont.lfHeight = -MulDiv(points, canvas_.Font().PixelsPerInch(), 72);
  }
  logFont.lfWeight = font.Style.Bold ? FW_BOLD : FW_NORMAL;
  logFont.lfItalic = font.Style.Italic;
  logFont.lfUnderline = font.Style.Underline;
  logFont.lfStrikeOut = font.Style.StrikeOut;
  logFont.lfEscapement = font.Escapement;
  logFont.lfOrientation = font.Escapement;
  auto realized = std::make_unique<RealizedFont>();
  std::memset(logFont.lfFaceName, 0, sizeof logFont.lfFaceName);
  const std::string name = font.Name.substr(0, font.Name.find('\0'));
  std::strncpy(logFont.lfFaceName, name.c_str(), LF_FACESIZE - 1);
  // The Symbol font's glyphs (the list bullet among them) are reached
  // through its own character set; any other face keeps the canvas' set.
  realized->Symbol = lstrcmpiA(logFont.lfFaceName, "Symbol") == 0;
  if (realized->Symbol) logFont.lfCharSet = SYMBOL_CHARSET;

  realized->Font = font;
  realized->Owned.Reset(CreateFontIndirectA(&logFont));
  // Without a font of its own the text stays in the canvas font.
  realized->Handle = realized->Owned ? realized->Owned.Get() : canvasFont.Handle;
  realized->MetricsKey = deviceKey_;
  AppendBytes(realized->MetricsKey, logFont);
  fonts_.push_back(std::move(realized));
  return *fonts_.back();
}

void GdiMarkupSurface::SelectFont(const MarkupFont& font) {
  if (selected_ && selected_->Font == font) return;
  selected_ = &Realize(font);
  SelectObject(dc_, selected_->Handle);
}

int GdiMarkupSurface::TextHeight(std::string_view) {
  if (!selected_) SelectFont(canvasFont_);
  if (selected_->Height < 0) {
    TEXTMETRICA metrics{};
    selected_->Height = GetTextMetricsA(dc_, &metrics) ? static_cast<int>(metrics.tmHeight) : 0;
  }
  return selected_->Height;
}

int GdiMarkupSurface::CachedWidth(std::string_view text, UINT flags, int rectWidth) {
  if (!selected_) SelectFont(canvasFont_);
  const bool cacheable = TextMetricsCache::Cacheable(text);
  std::string key;
  if (cacheable) {
    key.reserve(selected_->MetricsKey.size() + text.size() + 12);
    key = selected_->MetricsKey;
    AppendBytes(key, flags);
    AppendBytes(key, rectWidth);
    key.append(text);
    if (const int* width = TextMetricsCache::Instance().Find(key)) return *width;
  }
  int width = 0;
  if (flags == UINT_MAX) {
    SIZE size{};
    GetTextExtentPoint32A(dc_, text.data(), TextLength(text), &size);
    width = size.cx;
  } else {
    RECT r{0, 0, rectWidth, 0};
    ::DrawTextA(dc_, text.data(), TextLength(text), &r, flags | DT_CALCRECT);
    width = r.right - r.left;
  }
  if (cacheable) TextMetricsCache::Instance().Store(std::move(key), width);
  return width;
}

int GdiMarkupSurface::TextWidth(std::string_view text) { return CachedWidth(text, UINT_MAX, 0); }

int GdiMarkupSurface::MeasureText(std::string_view text, const TRect& r, TextFormat format) {
  const UINT flags = TextFlags(format);
  // Only a cut text depends on the room it is given.
  const int rectWidth = (flags & DT_END_ELLIPSIS) ? std::max(0, r.Width()) : 0;
  return CachedWidth(text, flags, rectWidth);
}

void GdiMarkupSurface::DrawText(std::string_view text, const TRect& r, TextFormat format, TColor color,
                                TColor background) {
  if (!selected_) SelectFont(canvasFont_);
  SetTextColor(dc_, DeviceColor(color));
  if (background == clNone) {
    SetBkMode(dc_, TRANSPARENT);
  } else {
    SetBkMode(dc_, OPAQUE);
    SetBkColor(dc_, DeviceColor(background));
  }
  RECT rc = ToRECT(r);
  if (selected_->Symbol) {
    const std::wstring symbols = SymbolText(text);
    ::DrawTextW(dc_, symbols.data(), static_cast<int>(symbols.size()), &rc, TextFlags(format));
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
  SetBkColor(dc_, DeviceColor(color));
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
  SetDCPenColor(dc_, DeviceColor(color));
  ::Polyline(dc_, devicePoints.data(), static_cast<int>(std::min<std::size_t>(count, INT_MAX)));
  SelectObject(dc_, previous);
}

TColor GdiMarkupSurface::ResolveColor(TColor color) { return DeviceColor(color); }

void GdiMarkupSurface::PushClip(const TRect& r) {
  clipLevels_.push_back(SaveDC(dc_));
  IntersectClipRect(dc_, r.Left, r.Top, r.Right, r.Bottom);
}

void GdiMarkupSurface::PopClip() {
  if (clipLevels_.empty()) return;
  RestoreDC(dc_, clipLevels_.back());
  clipLevels_.pop_back();
  // RestoreDC put back the font of the moment the clip was pushed.
  if (selected_) SelectObject(dc_, selected_->Handle);
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
}

MarkupSize GdiMarkupSurface::SystemIcon(std::string_view pathOrIndex, bool large, bool draw, int x, int y) {
  const TSize size = DrawSystemIcon(dc_, x, y, pathOrIndex, large, draw);
  return MarkupSize{size.cx, size.cy};
}

std::optional<MarkupPictureInfo> GdiMarkupSurface::NamedPicture(std::string_view) { return std::nullopt; }

std::optional<MarkupPictureInfo> GdiMarkupSurface::UrlPicture(std::string_view) { return std::nullopt; }

void GdiMarkupSurface::DrawPicture(const MarkupPictureInfo&, int, int) {}

void GdiMarkupSurface::StretchDrawPicture(const MarkupPictureInfo&, const TRect&) {}

}  // namespace plx
