#pragma once
// What the markup layout needs of a drawing surface: fonts and text, filled
// rectangles, lines, clipping, and the pictures markup can name. The layout
// itself is platform-neutral; the program implements this over a GDI canvas,
// and tests over a recording surface with fixed metrics.
//
// Colours reach the surface as markup gave them (system colours included);
// the surface turns them into device colours. Rectangles are (left, top,
// right, bottom) with right and bottom exclusive.

#include <cstddef>
#include <optional>
#include <string_view>

#include "framework/Types.h"
#include "markup/RenderState.h"

namespace plx {

struct MarkupSize {
  int Width = 0;
  int Height = 0;
  friend bool operator==(const MarkupSize&, const MarkupSize&) = default;
};

// A picture found by name or URL. The handle is the surface's own and is only
// handed back to it for drawing within the same layout call.
struct MarkupPictureInfo {
  const void* Handle = nullptr;
  bool Empty = true;
  MarkupSize MaxSize;   // largest frame, in the picture's own pixels
  TPoint FrameOffset;   // where the current animation frame sits
};

class MarkupSurface {
 public:
  virtual ~MarkupSurface() = default;

  // Text: measured and drawn in the font last selected.
  virtual void SelectFont(const MarkupFont& font) = 0;
  // Height of a text line in the selected font (the text only matters when
  // it is empty).
  virtual int TextHeight(std::string_view text) = 0;
  virtual int TextWidth(std::string_view text) = 0;
  // Width of the text's bounding rectangle when output into r with format.
  virtual int MeasureText(std::string_view text, const TRect& r, TextFormat format) = 0;
  // background clNone: transparent.
  virtual void DrawText(std::string_view text, const TRect& r, TextFormat format, TColor color,
                        TColor background) = 0;

  virtual void FillRect(const TRect& r, TColor color) = 0;
  // A one-pixel outline inside r.
  virtual void FrameRect(const TRect& r, TColor color) = 0;
  // Connected one-pixel lines; the last point is not painted.
  virtual void Polyline(const TPoint* points, std::size_t count, TColor color) = 0;
  // Colour as red, green and blue (system colours resolved).
  virtual TColor ResolveColor(TColor color) = 0;

  // Drawing is clipped to the intersection of every pushed rectangle.
  virtual void PushClip(const TRect& r) = 0;
  virtual void PopClip() = 0;
  // The part of the surface drawing can reach: repeated decorations (tiles,
  // wavy underlines) are only worked out over it.
  virtual TRect ClipBox() = 0;

  virtual int PixelsPerInchX() = 0;
  virtual int PixelsPerInchY() = 0;

  // The image list of "IDX:" pictures: its image size, or nothing without one.
  virtual std::optional<MarkupSize> ImageListSize() = 0;
  virtual int ImageCount() = 0;
  virtual void DrawImage(int index, int x, int y) = 0;
  // A system icon by index or path ("SSYS:"/"LSYS:"); its size. Draws it at
  // (x, y) when draw is set.
  virtual MarkupSize SystemIcon(std::string_view pathOrIndex, bool large, bool draw, int x, int y) = 0;
  // A picture of the container, by name in any case.
  virtual std::optional<MarkupPictureInfo> NamedPicture(std::string_view name) = 0;
  // A picture of the cache, loaded into it on first use.
  virtual std::optional<MarkupPictureInfo> UrlPicture(std::string_view url) = 0;
  // At its own size with its top-left corner at (x, y), or stretched into r.
  virtual void DrawPicture(const MarkupPictureInfo& picture, int x, int y) = 0;
  virtual void StretchDrawPicture(const MarkupPictureInfo& picture, const TRect& r) = 0;
};

}  // namespace plx
