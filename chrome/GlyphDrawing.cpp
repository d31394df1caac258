#include "chrome/GlyphDrawing.h"

#include <vector>

#include "framework/Graphics.h"

namespace plx {
namespace {

// Recolouring must not turn glyph pixels into the transparent colour: the
// transparent pixels move to this otherwise unlikely colour first.
constexpr TColor kSpareTransparent = 0x654321;

// The glyph scaled to width x height (nearest pixel), as TColor values.
std::vector<TColor> Scaled(TBitmap& glyph, int width, int height) {
  std::vector<TColor> pixels(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      pixels[static_cast<std::size_t>(y) * width + x] =
          glyph.Pixel(x * glyph.Width() / width, y * glyph.Height() / height);
  return pixels;
}

void Put(TBitmap& target, int x, int y, TColor color) { target.SetPixel(x, y, color); }

}  // namespace

void DrawGlyph(TBitmap& target, int x, int y, int width, int height, TBitmap& glyph, const TGlyphOptions& options) {
  if (glyph.Empty() || width <= 0 || height <= 0) return;
  std::vector<TColor> pixels = Scaled(glyph, width, height);
  TColor transparent = glyph.Pixel(0, 0);
  if (options.recolour && !options.disabled) {
    const TColor text = ColorToRGB(options.text_color);
    if (options.transparent && text == transparent) {
      for (TColor& p : pixels)
        if (p == transparent) p = kSpareTransparent;
      transparent = kSpareTransparent;
    }
    for (TColor& p : pixels)
      if (p == clBlack) p = text;
  }
  auto at = [&](int px, int py) { return pixels[static_cast<std::size_t>(py) * width + px]; };
  if (options.disabled) {
    const TColor highlight = ColorToRGB(clBtnHighlight), shadow = ColorToRGB(clBtnShadow);
    for (int py = 0; py < height; ++py)
      for (int px = 0; px < width; ++px)
        if (at(px, py) != transparent) Put(target, x + px + 1, y + py + 1, highlight);
    for (int py = 0; py < height; ++py)
      for (int px = 0; px < width; ++px)
        if (at(px, py) != transparent) Put(target, x + px, y + py, shadow);
    return;
  }
  for (int py = 0; py < height; ++py)
    for (int px = 0; px < width; ++px)
      if (!options.transparent || at(px, py) != transparent) Put(target, x + px, y + py, at(px, py));
}

void DrawButtonFace(TBitmap& target, bool pressed) {
  RECT r{0, 0, target.Width(), target.Height()};
  DrawFrameControl(target.Canvas().Handle(), &r, DFC_BUTTON,
                   DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pressed ? DFCS_PUSHED : 0));
}

}  // namespace plx
