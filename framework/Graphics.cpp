#include "framework/Graphics.h"

#include <cstring>

#include "framework/Bitmap.h"
#include "framework/Exception.h"
#include "framework/GdiHandles.h"

namespace plx {

TColor ColorToRGB(TColor color) {
  if ((color & clSystemColor) != 0) return static_cast<TColor>(GetSysColor(static_cast<int>(color & 0xFF)));
  return color;
}

namespace {

// What GDI gets: the resolved colour without the flag bits of clNone and the
// like, which GDI would read as palette requests.
COLORREF GdiColor(TColor color) { return ColorToRGB(color) & 0x00FFFFFF; }

RECT ToRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

int ScreenPixelsPerInch() {
  static const int ppi = [] {
    const TWindowDC screen(nullptr);
    const int value = screen ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
    return value > 0 ? value : 96;
  }();
  return ppi;
}

int PenModeToROP2(TPenMode mode) {
  static const int kRops[] = {R2_BLACK,       R2_WHITE,       R2_NOP,         R2_NOT,
                              R2_COPYPEN,     R2_NOTCOPYPEN,  R2_MERGEPENNOT, R2_MASKPENNOT,
                              R2_MERGENOTPEN, R2_MASKNOTPEN,  R2_MERGEPEN,    R2_NOTMERGEPEN,
                              R2_MASKPEN,     R2_NOTMASKPEN,  R2_XORPEN,      R2_NOTXORPEN};
  return kRops[static_cast<int>(mode)];
}

int PenStyleToGdi(TPenStyle style) {
  switch (style) {
    case psSolid: return PS_SOLID;
    case psDash: return PS_DASH;
    case psDot: return PS_DOT;
    case psDashDot: return PS_DASHDOT;
    case psDashDotDot: return PS_DASHDOTDOT;
    case psClear: return PS_NULL;
    case psInsideFrame: return PS_INSIDEFRAME;
  }
  return PS_SOLID;
}

}  // namespace

void TGraphicsObject::Changed() {
  if (owner_changed_) owner_changed_();
  if (OnChange) OnChange(this);
}

// --- TFont -----------------------------------------------------------------

TFont::TFont() : pixels_per_inch_(ScreenPixelsPerInch()) { height_ = -MulDiv(8, pixels_per_inch_, 72); }

void TFont::FontChanged() {
  stale_ = true;
  Changed();
}

void TFont::SetName(const std::string& name) {
  if (name == name_) return;
  name_ = name;
  FontChanged();
}

void TFont::SetHeight(int height) {
  if (height == height_) return;
  height_ = height;
  FontChanged();
}

int TFont::Size() const { return -MulDiv(height_, 72, pixels_per_inch_); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, pixels_per_inch_, 72)); }

void TFont::SetStyle(TFontStyles style) {
  if (style == style_) return;
  style_ = style;
  FontChanged();
}

void TFont::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;  // the HFONT does not carry a colour
  Changed();
}

void TFont::SetCharset(BYTE charset) {
  if (charset == charset_) return;
  charset_ = charset;
  FontChanged();
}

HFONT TFont::Handle() {
  if (handle_ && !stale_) return handle_.Get();
  LOGFONTA lf{};
  lf.lfHeight = height_;
  lf.lfWeight = style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = style_.Contains(fsItalic);
  lf.lfUnderline = style_.Contains(fsUnderline);
  lf.lfStrikeOut = style_.Contains(fsStrikeOut);
  lf.lfCharSet = charset_;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH;
  std::strncpy(lf.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
  HFONT font = CreateFontIndirectA(&lf);
  if (!font) throw Exception("Cannot create the font \"" + name_ + "\"");
  handle_.Reset(font);  // a canvas that held the old one has let go of it (Changed)
  stale_ = false;
  return font;
}

void TFont::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TFont*>(&source);
  if (!other) return TGraphicsObject::Assign(source);
  if (name_ == other->name_ && height_ == other->height_ && style_ == other->style_ && color_ == other->color_ &&
      charset_ == other->charset_ && pixels_per_inch_ == other->pixels_per_inch_)
    return;
  name_ = other->name_;
  height_ = other->height_;
  style_ = other->style_;
  color_ = other->color_;
  charset_ = other->charset_;
  pixels_per_inch_ = other->pixels_per_inch_;
  FontChanged();
}

// --- TPen ------------------------------------------------------------------

void TPen::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  stale_ = true;
  Changed();
}

void TPen::SetWidth(int width) {
  if (width == width_) return;
  width_ = width;
  stale_ = true;
  Changed();
}

void TPen::SetStyle(TPenStyle style) {
  if (style == style_) return;
  style_ = style;
  stale_ = true;
  Changed();
}

void TPen::SetMode(TPenMode mode) {
  if (mode == mode_) return;
  mode_ = mode;  // a DC mode, not part of the HPEN
  Changed();
}

HPEN TPen::Handle() {
  if (handle_ && !stale_) return handle_.Get();
  HPEN pen = CreatePen(PenStyleToGdi(style_), width_, GdiColor(color_));
  if (!pen) throw Exception("Cannot create a pen");
  handle_.Reset(pen);
  stale_ = false;
  return pen;
}

void TPen::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TPen*>(&source);
  if (!other) return TGraphicsObject::Assign(source);
  if (color_ == other->color_ && width_ == other->width_ && style_ == other->style_ && mode_ == other->mode_) return;
  color_ = other->color_;
  width_ = other->width_;
  style_ = other->style_;
  mode_ = other->mode_;
  stale_ = true;
  Changed();
}

// --- TBrush ----------------------------------------------------------------

void TBrush::SetColor(TColor color) {
  if (color == color_ && style_ == bsSolid) return;
  color_ = color;
  style_ = bsSolid;
  stale_ = true;
  Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
  if (style == style_) return;
  style_ = style;
  stale_ = true;
  Changed();
}

HBRUSH TBrush::Handle() {
  if (style_ == bsClear) {
    handle_.Reset();
    stale_ = false;
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  }
  if (handle_ && !stale_) return handle_.Get();
  HBRUSH brush = CreateSolidBrush(GdiColor(color_));
  if (!brush) throw Exception("Cannot create a brush");
  handle_.Reset(brush);
  stale_ = false;
  return brush;
}

void TBrush::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TBrush*>(&source);
  if (!other) return TGraphicsObject::Assign(source);
  if (color_ == other->color_ && style_ == other->style_) return;
  color_ = other->color_;
  style_ = other->style_;
  stale_ = true;
  Changed();
}

// --- TCanvas ---------------------------------------------------------------

TCanvas::TCanvas() {
  // An object about to be remade must leave the DC first: GDI does not
  // delete an object that is still selected.
  font_.owner_changed_ = [this] { Deselect(kFontValid); };
  pen_.owner_changed_ = [this] { Deselect(kPenValid); };
  brush_.owner_changed_ = [this] { Deselect(kBrushValid); };
}

TCanvas::~TCanvas() { LetDCGo(); }

HDC TCanvas::Handle() {
  if (!dc_) CreateHandle();
  if (!dc_) throw EInvalidOperation("Canvas does not allow drawing");
  return dc_;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == dc_) return;
  LetDCGo();
  if (!dc) return;
  dc_ = dc;
  // Everything the canvas changes on the DC is undone from this snapshot.
  saved_level_ = SaveDC(dc);
  state_ = 0;
  original_font_ = original_pen_ = original_brush_ = nullptr;
}

void TCanvas::LetDCGo() {
  if (!dc_) return;
  DeselectObjects();
  if (saved_level_ > 0) RestoreDC(dc_, saved_level_);
  saved_level_ = 0;
  dc_ = nullptr;
}

void TCanvas::Deselect(unsigned what) {
  if (!dc_) return;
  if ((what & state_ & kFontValid) != 0) SelectObject(dc_, original_font_);
  if ((what & state_ & kPenValid) != 0) SelectObject(dc_, original_pen_);
  if ((what & state_ & kBrushValid) != 0) SelectObject(dc_, original_brush_);
  state_ &= ~what;
}

void TCanvas::DeselectObjects() { Deselect(kFontValid | kPenValid | kBrushValid); }

void TCanvas::Require(unsigned what) {
  HDC dc = Handle();
  const unsigned missing = what & ~state_;
  if ((missing & kFontValid) != 0) {
    HGDIOBJ previous = SelectObject(dc, font_.Handle());
    if (!original_font_) original_font_ = previous;
    SetTextColor(dc, GdiColor(font_.Color()));
  }
  if ((missing & kPenValid) != 0) {
    HGDIOBJ previous = SelectObject(dc, pen_.Handle());
    if (!original_pen_) original_pen_ = previous;
    SetROP2(dc, PenModeToROP2(pen_.Mode()));
  }
  if ((missing & kBrushValid) != 0) {
    HGDIOBJ previous = SelectObject(dc, brush_.Handle());
    if (!original_brush_) original_brush_ = previous;
    SetBkColor(dc, GdiColor(brush_.Color()));
    SetBkMode(dc, brush_.Style() == bsClear ? TRANSPARENT : OPAQUE);
  }
  state_ |= missing;
}

TPoint TCanvas::PenPos() {
  POINT p{};
  GetCurrentPositionEx(Handle(), &p);
  return {p.x, p.y};
}

void TCanvas::MoveTo(int x, int y) { MoveToEx(Handle(), x, y, nullptr); }

void TCanvas::LineTo(int x, int y) {
  Require(kPenValid | kBrushValid);  // dashed pens fill their gaps with the background
  ::LineTo(dc_, x, y);
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  Require(kPenValid | kBrushValid);
  ::Rectangle(dc_, left, top, right, bottom);
}

void TCanvas::FillRect(const TRect& r) {
  const RECT rc = ToRECT(r);
  ::FillRect(Handle(), &rc, brush_.Handle());
}

void TCanvas::FrameRect(const TRect& r) {
  const RECT rc = ToRECT(r);
  ::FrameRect(Handle(), &rc, brush_.Handle());
}

void TCanvas::DrawFocusRect(const TRect& r) {
  const RECT rc = ToRECT(r);
  ::DrawFocusRect(Handle(), &rc);
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  Require(kFontValid | kBrushValid);
  ::TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size()));
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text) {
  Require(kFontValid | kBrushValid);
  const RECT rc = ToRECT(r);
  UINT options = ETO_CLIPPED;
  if (brush_.Style() != bsClear) options |= ETO_OPAQUE;
  ExtTextOutA(dc_, x, y, options, &rc, text.data(), static_cast<UINT>(text.size()), nullptr);
}

int TCanvas::DrawText(const std::string& text, TRect& r, UINT format) {
  Require(kFontValid | kBrushValid);
  RECT rc = ToRECT(r);
  // The text is a byte buffer the caller still owns: never let GDI write to it.
  const int height = ::DrawTextA(dc_, text.data(), static_cast<int>(text.size()), &rc, format & ~DT_MODIFYSTRING);
  r = TRect{rc.left, rc.top, rc.right, rc.bottom};
  return height;
}

TSize TCanvas::TextExtent(const std::string& text) {
  Require(kFontValid);
  SIZE size{};
  GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size);
  return {size.cx, size.cy};
}

void TCanvas::Draw(int x, int y, TGraphic& graphic) {
  if (graphic.Empty()) return;
  graphic.Draw(*this, TRect{x, y, x + graphic.Width(), y + graphic.Height()});
}

void TCanvas::StretchDraw(const TRect& r, TGraphic& graphic) {
  if (graphic.Empty()) return;
  graphic.Draw(*this, r);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect) {
  HDC dc = Handle();
  HDC sourceDc = source.Handle();
  SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, dest.Left, dest.Top, dest.Width(), dest.Height(), sourceDc, sourceRect.Left, sourceRect.Top,
             sourceRect.Width(), sourceRect.Height(), static_cast<DWORD>(copy_mode_));
}

TColor TCanvas::Pixel(int x, int y) {
  const COLORREF c = GetPixel(Handle(), x, y);
  return c == CLR_INVALID ? clNone : static_cast<TColor>(c);
}

void TCanvas::SetPixel(int x, int y, TColor color) { ::SetPixel(Handle(), x, y, GdiColor(color)); }

TRect TCanvas::ClipRect() {
  RECT rc{};
  GetClipBox(Handle(), &rc);
  return {rc.left, rc.top, rc.right, rc.bottom};
}

void TCanvas::IntersectClipRect(const TRect& r) { ::IntersectClipRect(Handle(), r.Left, r.Top, r.Right, r.Bottom); }

void TCanvas::ExcludeClipRect(const TRect& r) { ::ExcludeClipRect(Handle(), r.Left, r.Top, r.Right, r.Bottom); }

int TCanvas::SaveState() {
  HDC dc = Handle();
  DeselectObjects();
  return SaveDC(dc);
}

void TCanvas::RestoreState(int saved) {
  if (!dc_ || saved <= 0) return;
  DeselectObjects();
  RestoreDC(dc_, saved);
}

int TCanvas::PixelsPerInchX() { return GetDeviceCaps(Handle(), LOGPIXELSX); }

int TCanvas::PixelsPerInchY() { return GetDeviceCaps(Handle(), LOGPIXELSY); }

}  // namespace plx
