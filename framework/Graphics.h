#pragma once
// Fonts, pens, brushes and the canvas that draws with them on a device context.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "framework/Component.h"
#include "framework/GdiHandles.h"
#include "framework/Types.h"

// The canvas has methods named TextOut and DrawText; the Win32 macros of those
// names would silently rename them. The program calls the ...A functions.
#undef TextOut
#undef DrawText

namespace plx {

class TGraphic;

struct TSize {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

// The plain 0x00BBGGRR value of a colour: system colours (0x80000000 + n) are
// looked up with GetSysColor; every other value is returned unchanged.
TColor ColorToRGB(TColor color);

// ---------------------------------------------------------------------------

// Base of font, pen and brush: anything that changes raises OnChange. The
// canvas that owns the object also listens through a private hook, so the
// public event stays free for the program.
class TGraphicsObject : public TPersistent {
 public:
  TNotifyEvent OnChange;

 protected:
  void Changed();

 private:
  friend class TCanvas;
  std::function<void()> owner_changed_;
};

enum class TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using enum TFontStyle;

// A set of font styles.
class TFontStyles {
 public:
  constexpr TFontStyles() = default;
  constexpr TFontStyles(std::initializer_list<TFontStyle> styles) {
    for (TFontStyle s : styles) bits_ |= Bit(s);
  }
  constexpr bool Contains(TFontStyle s) const { return (bits_ & Bit(s)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr TFontStyles& Include(TFontStyle s) { bits_ |= Bit(s); return *this; }
  constexpr TFontStyles& Exclude(TFontStyle s) { bits_ &= ~Bit(s); return *this; }
  friend constexpr TFontStyles operator+(TFontStyles a, TFontStyle s) { return a.Include(s); }
  friend constexpr TFontStyles operator-(TFontStyles a, TFontStyle s) { return a.Exclude(s); }
  friend constexpr bool operator==(TFontStyles, TFontStyles) = default;

 private:
  static constexpr unsigned Bit(TFontStyle s) { return 1u << static_cast<unsigned>(s); }
  unsigned bits_ = 0;
};

// A logical font. Height is in pixels (negative: character height without the
// internal leading, as Windows means it); Size is in points at PixelsPerInch.
// The HFONT is made when first asked for and remade after a change.
class TFont : public TGraphicsObject {
 public:
  TFont();

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name);
  int Height() const { return height_; }
  void SetHeight(int height);
  int Size() const;
  void SetSize(int points);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles style);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  BYTE Charset() const { return charset_; }
  void SetCharset(BYTE charset);
  // Logical pixels per inch used to convert between Size and Height (the
  // screen's when the font was made).
  int PixelsPerInch() const { return pixels_per_inch_; }
  void SetPixelsPerInch(int ppi) { pixels_per_inch_ = ppi > 0 ? ppi : 96; }

  // Owned by the font; valid until the next change or the font's end.
  HFONT Handle();

  void Assign(const TPersistent& source) override;

 private:
  void FontChanged();  // the HFONT no longer matches

  bool stale_ = false;

  std::string name_ = "MS Sans Serif";
  int height_ = -11;
  TFontStyles style_;
  TColor color_ = clWindowText;
  BYTE charset_ = DEFAULT_CHARSET;
  int pixels_per_inch_ = 96;
  TOwnedFont handle_;
};

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
using enum TPenStyle;

// Raster operations of the pen, named after what happens to the screen pixel.
enum class TPenMode {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
  pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
using enum TPenMode;

class TPen : public TGraphicsObject {
 public:
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  int Width() const { return width_; }
  void SetWidth(int width);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle style);
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode mode);

  // Owned by the pen; valid until the next change of colour, width or style.
  HPEN Handle();

  void Assign(const TPersistent& source) override;

 private:
  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  TPenMode mode_ = pmCopy;
  bool stale_ = false;
  TOwnedPen handle_;
};

enum class TBrushStyle { bsSolid, bsClear };
using enum TBrushStyle;

class TBrush : public TGraphicsObject {
 public:
  TColor Color() const { return color_; }
  // Setting a colour makes a clear brush solid again.
  void SetColor(TColor color);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle style);

  // Solid: owned by the brush until its next change. Clear: the stock null
  // brush, which nobody deletes.
  HBRUSH Handle();

  void Assign(const TPersistent& source) override;

 private:
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
  bool stale_ = false;
  TOwnedBrush handle_;
};

enum class TCopyMode : DWORD {
  cmSrcCopy = SRCCOPY,
  cmSrcPaint = SRCPAINT,
  cmSrcAnd = SRCAND,
  cmSrcInvert = SRCINVERT,
  cmDstInvert = DSTINVERT,
  cmBlackness = BLACKNESS,
  cmWhiteness = WHITENESS,
};
using enum TCopyMode;

// ---------------------------------------------------------------------------

// Draws on a DC it borrows (SetHandle) or that a subclass makes on demand
// (CreateHandle). Font, pen and brush are selected into the DC only when an
// operation needs them; when the canvas lets the DC go (SetHandle with
// another DC or nullptr, or its end) the DC gets back the objects, colours,
// modes and clip region it came with.
//
// Text is drawn in Font().Color(); its cell background is painted in the
// brush colour when the brush is solid and left alone when it is clear.
class TCanvas : public TPersistent {
 public:
  TCanvas();
  ~TCanvas() override;

  // The DC; asks CreateHandle for one when none is set. Raises
  // EInvalidOperation "Canvas does not allow drawing" when there is none.
  HDC Handle();
  // Borrows dc (nullptr: lets the current DC go). The caller keeps owning it.
  void SetHandle(HDC dc);
  bool HandleAllocated() const { return dc_ != nullptr; }

  TFont& Font() { return font_; }
  TPen& Pen() { return pen_; }
  TBrush& Brush() { return brush_; }
  TCopyMode CopyMode() const { return copy_mode_; }
  void SetCopyMode(TCopyMode mode) { copy_mode_ = mode; }

  TPoint PenPos();
  void SetPenPos(TPoint pos) { MoveTo(pos.X, pos.Y); }
  void MoveTo(int x, int y);
  void LineTo(int x, int y);

  // Pen outline, brush inside.
  void Rectangle(int left, int top, int right, int bottom);
  void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  // Brush only.
  void FillRect(const TRect& r);
  // One-pixel frame in the brush colour.
  void FrameRect(const TRect& r);
  // The dotted focus frame, drawn by inverting: drawing it twice undoes it.
  void DrawFocusRect(const TRect& r);

  void TextOut(int x, int y, const std::string& text);
  // Text at (x, y) clipped to r; a solid brush fills r behind it.
  void TextRect(const TRect& r, int x, int y, const std::string& text);
  // DrawTextA with the DT_* flags; with DT_CALCRECT r receives the text's
  // bounding rectangle and nothing is drawn. Answers the text height.
  int DrawText(const std::string& text, TRect& r, UINT format);
  TSize TextExtent(const std::string& text);
  int TextWidth(const std::string& text) { return TextExtent(text).cx; }
  int TextHeight(const std::string& text) { return TextExtent(text).cy; }

  // The graphic at its own size at (x, y), or stretched into r.
  void Draw(int x, int y, TGraphic& graphic);
  void StretchDraw(const TRect& r, TGraphic& graphic);
  // Copies source_rect of another canvas into dest (stretched) with CopyMode.
  void CopyRect(const TRect& dest, TCanvas& source, const TRect& sourceRect);

  // clNone outside the DC's surface or clip region.
  TColor Pixel(int x, int y);
  void SetPixel(int x, int y, TColor color);

  // The part of the surface drawing can reach (GetClipBox).
  TRect ClipRect();
  // Narrows the clip region to r (logical coordinates).
  void IntersectClipRect(const TRect& r);
  void ExcludeClipRect(const TRect& r);
  // Saves or restores the DC's whole state (clip region, origins, modes).
  // The canvas' own objects are taken out of the DC first so that a restore
  // can never select an object that has since been deleted.
  int SaveState();
  void RestoreState(int saved);

  int PixelsPerInchX();
  int PixelsPerInchY();

 protected:
  // Called by Handle() when no DC is set; a subclass may SetHandle here.
  virtual void CreateHandle() {}

  // Puts the original objects back into the DC and forgets which of ours
  // were selected (the DC stays set).
  void DeselectObjects();

 private:
  enum : unsigned { kFontValid = 1, kPenValid = 2, kBrushValid = 4 };
  void Require(unsigned what);
  void Deselect(unsigned what);
  void LetDCGo();

  HDC dc_ = nullptr;  // borrowed
  int saved_level_ = 0;
  unsigned state_ = 0;
  HGDIOBJ original_font_ = nullptr;  // borrowed: the DC owner's
  HGDIOBJ original_pen_ = nullptr;
  HGDIOBJ original_brush_ = nullptr;
  TFont font_;
  TPen pen_;
  TBrush brush_;
  TCopyMode copy_mode_ = cmSrcCopy;
};

// A canvas that borrows a DC for one scope (an owner-draw or paint DC).
class TBorrowedCanvas : public TCanvas {
 public:
  explicit TBorrowedCanvas(HDC dc) { SetHandle(dc); }
};

// Lends a DC to a canvas for one scope: on every path out of it the canvas
// lets the DC go, and the DC gets back the state it came with.
class TCanvasDCBinding {
 public:
  TCanvasDCBinding(TCanvas& canvas, HDC dc) : canvas_(canvas) { canvas_.SetHandle(dc); }
  TCanvasDCBinding(const TCanvasDCBinding&) = delete;
  TCanvasDCBinding& operator=(const TCanvasDCBinding&) = delete;
  ~TCanvasDCBinding() { canvas_.SetHandle(nullptr); }

 private:
  TCanvas& canvas_;
};

// Keeps the canvas' DC state (clip region and origins included) for a scope.
class TCanvasStateGuard {
 public:
  explicit TCanvasStateGuard(TCanvas& canvas) : canvas_(canvas), saved_(canvas.SaveState()) {}
  TCanvasStateGuard(const TCanvasStateGuard&) = delete;
  TCanvasStateGuard& operator=(const TCanvasStateGuard&) = delete;
  ~TCanvasStateGuard() { canvas_.RestoreState(saved_); }

 private:
  TCanvas& canvas_;
  int saved_;
};

}  // namespace plx
