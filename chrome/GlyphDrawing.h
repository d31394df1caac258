#pragma once
// Drawing a caption button's glyph into its face bitmap, and the classic
// push-button face.

#include <windows.h>

#include "framework/Bitmap.h"
#include "framework/Types.h"

namespace plx {

struct TGlyphOptions {
  bool transparent = true;  // pixels of the glyph's top-left colour are left out
  bool disabled = false;    // the shape drawn embossed in highlight and shadow
  bool recolour = false;    // black pixels take text_color
  TColor text_color = clBlack;
};

// Stretches glyph into the rectangle (x, y, width, height) of target.
void DrawGlyph(TBitmap& target, int x, int y, int width, int height, TBitmap& glyph, const TGlyphOptions& options);

// A classic push-button frame over the whole of target, pressed or not.
void DrawButtonFace(TBitmap& target, bool pressed);

}  // namespace plx
