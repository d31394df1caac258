#pragma once
// The drawing routines every skinned control shares: cutting a strip into
// equal frames, nine- and three-slice drawing, tiling, colour ramps, the
// parent's background behind a control, hit testing and placing a window on
// the work area. Magenta is the see-through colour wherever they mask.
//
// Rectangles are left, top, right, bottom with right and bottom exclusive
// unless said otherwise. A size that cannot be honoured (zero or negative, a
// picture smaller than its slices, a strip narrower than its frame count)
// draws what it can: no routine divides by zero, reads outside a bitmap or
// keeps a GDI object it made.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Bitmap.h"
#include "framework/Controls.h"
#include "framework/Graphics.h"

namespace plx {

class TForm;

inline constexpr TColor kSkinTransparentColor = 0x00FF00FF;  // magenta

// Dest becomes frame index (1-based) of count equal frames of source. The
// frame width is source width div count; the last frame is the rightmost
// frame-width columns, so leftover columns are never used by it. An empty
// source, a count below 1, a frame width of 0 or an index outside 1..count
// leave dest empty.
void SpitBitmap(TBitmap& source, TBitmap& dest, int count, int index);

// Nine-slice of bitmap over rect around the source's centre lines. The
// top-left corner lands on the canvas origin; rect gives the size and the
// right and bottom edges. Corners are unscaled (cut to half the destination
// when it is smaller) and drawn opaque, or with magenta left out when
// transparent is set; edges and centre are stretched with magenta left out.
void SpitDraw(TBitmap& bitmap, TCanvas& canvas, const TRect& rect, bool transparent);

// SpitDraw with transparent set, for a control that draws the same few faces
// at the same size again and again: each face is sliced once into a picture
// that keeps magenta where nothing is drawn, and every later draw is one
// keyed copy of that picture instead of nine. The pixels are the same.
class TSpitDrawCache {
 public:
  void Draw(TBitmap& bitmap, TCanvas& canvas, const TRect& rect);

 private:
  struct TSliced {
    int sourceWidth = 0, sourceHeight = 0;
    std::vector<std::uint32_t> source;  // the face's pixels, to know it again
    TRect rect;
    std::unique_ptr<TBitmap> picture;
  };
  static constexpr std::size_t kKept = 4;  // a button's normal, hover, pressed and disabled faces
  std::vector<TSliced> sliced_;            // the most recently drawn first
};

// Three-slice of a strip of three equal frames: the first at rect's left, the
// third with its right side on rect's right, the middle stretched between,
// all at the strip's own height. Narrower than one frame: the first frame cut
// to rect's width. With masked, pixels of maskColor are left out.
void SpitDrawHorizontal2(TBitmap& bitmap, TCanvas& canvas, const TRect& rect, TColor maskColor, bool masked);

// The same three-slice, always masked: by magenta, or with sampleMask by the
// colour of the bitmap's top-left pixel (topRow) or bottom-left pixel; the
// middle frame is laid on a fill of fillColor before it is stretched.
void SpitDrawHorizontal(TBitmap& bitmap, TCanvas& canvas, const TRect& rect, bool topRow, TColor fillColor,
                        bool sampleMask);

// The picture repeated from the canvas origin over rect's width and height.
void TileDraw(TCanvas& canvas, TGraphic& picture, const TRect& rect);

// Paints the control's parent background into canvas, shifted so that the
// control's own top-left is the canvas origin: a see-through control. Nothing
// for a control without parent.
void DoTrans(TCanvas& canvas, TControl& control);

// Top-to-bottom ramp of horizontal lines: first line from, last line to.
void DrawHorizontalGradient(TCanvas& canvas, const TRect& rect, TColor from, TColor to);
// Left-to-right ramp of vertical lines: first column from, last column to.
void DrawVerticalGradient(TCanvas& canvas, const TRect& rect, TColor from, TColor to);

// Inside with the right and bottom edges counted as inside.
bool InRect(int x, int y, const TRect& rect);
inline bool InRect(TPoint point, const TRect& rect) { return InRect(point.X, point.Y, rect); }

// The work area of the monitor of the application's main form; without one,
// the system's work area.
void GetWorkAreaRect(TRect& rect);

// Left, Top, then Width, Height; the point form sets Left and Top only.
void PlaceControl(TControl& control, const TRect& rect);
void PlaceControl(TControl& control, TPoint point);

// Text when it fits in width on canvas; otherwise the shortest "first i
// characters..." that reaches width, or text itself when none is shorter.
std::string FormatStringWithWidth(TCanvas& canvas, const std::string& text, int width);

// Text when measure(text) is at most width; otherwise its longest start
// that fits width followed by "..." ("..." alone when no start fits). A
// start grows no narrower as it lengthens, so the cut is found by halving:
// a caption of any length costs a handful of measurements.
std::string CutWithEllipsis(const std::string& text, int width, const std::function<int(const std::string&)>& measure);

// Whether form counts as the application's focused form.
bool FormHasFocus(TForm& form);

// A zero-terminated text as a string; empty for nullptr.
std::string PCharToStr(const char* text);

}  // namespace plx
