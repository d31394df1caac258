#include "tools/captionbuttons/CaptionArtwork.h"

#include <cstdlib>
#include <utility>

namespace plx::captiongen {
namespace {

TIndexedImage Blank(int width, int height, std::uint8_t fill) {
  TIndexedImage image;
  image.width = width;
  image.height = height;
  image.pixels.assign(static_cast<std::size_t>(width) * height, fill);
  return image;
}

void Plot(TIndexedImage& image, int x, int y, std::uint8_t colour) {
  if (x >= 0 && y >= 0 && x < image.width && y < image.height) image.At(x, y) = colour;
}

// Bresenham's line, both ends included.
void Line(TIndexedImage& image, int x0, int y0, int x1, int y1, std::uint8_t colour) {
  const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
  const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  int error = dx + dy;
  for (;;) {
    Plot(image, x0, y0, colour);
    if (x0 == x1 && y0 == y1) return;
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x0 += sx;
    }
    if (twice <= dx) {
      error += dx;
      y0 += sy;
    }
  }
}

void FillRect(TIndexedImage& image, int left, int top, int right, int bottom, std::uint8_t colour) {
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) Plot(image, x, y, colour);
}

void FrameRect(TIndexedImage& image, int left, int top, int right, int bottom, std::uint8_t colour) {
  Line(image, left, top, right, top, colour);
  Line(image, left, bottom, right, bottom, colour);
  Line(image, left, top, left, bottom, colour);
  Line(image, right, top, right, bottom, colour);
}

// A diamond centred on (cx, cy) with the given half size, filled and framed.
void Diamond(TIndexedImage& image, int cx, int cy, int half, std::uint8_t fill, std::uint8_t frame) {
  for (int y = -half; y <= half; ++y)
    for (int x = -half; x <= half; ++x)
      if (std::abs(x) + std::abs(y) < half) Plot(image, cx + x, cy + y, fill);
  Line(image, cx - half, cy, cx, cy - half, frame);
  Line(image, cx, cy - half, cx + half, cy, frame);
  Line(image, cx + half, cy, cx, cy + half, frame);
  Line(image, cx, cy + half, cx - half, cy, frame);
}

}  // namespace

const std::array<TRgb, 16>& PinPalette() {
  // The classic 16-colour palette.
  static const std::array<TRgb, 16> palette = {{{0x00, 0x00, 0x00},
                                                {0x80, 0x00, 0x00},
                                                {0x00, 0x80, 0x00},
                                                {0x80, 0x80, 0x00},
                                                {0x00, 0x00, 0x80},
                                                {0x80, 0x00, 0x80},
                                                {0x00, 0x80, 0x80},
                                                {0xC0, 0xC0, 0xC0},
                                                {0x80, 0x80, 0x80},
                                                {0xFF, 0x00, 0x00},
                                                {0x00, 0xFF, 0x00},
                                                {0xFF, 0xFF, 0x00},
                                                {0x00, 0x00, 0xFF},
                                                {0xFF, 0x00, 0xFF},
                                                {0x00, 0xFF, 0xFF},
                                                {0xFF, 0xFF, 0xFF}}};
  return palette;
}

TIndexedImage DrawPinUp() {
  TIndexedImage image = Blank(12, 11, kMagenta);
  Line(image, 0, 5, 3, 5, kGrey);           // the needle's point
  Line(image, 1, 5, 3, 5, kBlack);          // the needle
  Line(image, 4, 2, 4, 8, kBlack);          // the collar
  FillRect(image, 5, 3, 9, 7, kLightGrey);  // the body
  FrameRect(image, 5, 3, 9, 7, kBlack);
  Line(image, 6, 4, 8, 4, kWhite);          // light on the body's top
  Line(image, 6, 6, 8, 6, kGrey);           // shade under it
  Line(image, 10, 2, 10, 8, kBlack);        // the head
  Line(image, 11, 3, 11, 7, kGrey);
  return image;
}

TIndexedImage DrawPinDown() {
  TIndexedImage image = Blank(12, 11, kMagenta);
  Diamond(image, 7, 4, 3, kLightGrey, kBlack);  // the body, seen from above
  Line(image, 6, 3, 7, 2, kWhite);              // light on its upper edge
  Line(image, 8, 5, 9, 4, kGrey);               // shade on its lower edge
  Line(image, 3, 5, 6, 8, kBlack);              // the collar, across the needle
  Line(image, 3, 8, 4, 7, kBlack);              // the needle, going in
  Line(image, 1, 10, 2, 9, kGrey);
  return image;
}

TRgbImage DrawXPFace(TFaceColour colour) {
  static const TRgb kBase[] = {
      {0x2A, 0x5C, 0xD8},  // blue
      {0x3A, 0x9A, 0x3A},  // green
      {0xD0, 0x3C, 0x2C},  // red
      {0xE8, 0xC0, 0x20},  // yellow
      {0x8C, 0x5A, 0x2C},  // brown
  };
  const TRgb base = kBase[static_cast<int>(colour)];
  const TRgb white{0xFF, 0xFF, 0xFF}, magenta{0xFF, 0x00, 0xFF};
  TRgbImage image;
  image.width = image.height = 16;
  image.pixels.assign(16 * 16, white);
  // Light at the top left (half white) to dark at the bottom right (60 %).
  auto shade = [](int channel, int step) {
    const int light = (channel + 0xFF) / 2, dark = channel * 6 / 10;
    return static_cast<std::uint8_t>(light + (dark - light) * step / 26);
  };
  for (int y = 1; y <= 14; ++y)
    for (int x = 1; x <= 14; ++x) {
      const int step = x + y - 2;  // 0 ... 26
      image.At(x, y) = {shade(base.r, step), shade(base.g, step), shade(base.b, step)};
    }
  for (auto [x, y] : {std::pair{0, 0}, {15, 0}, {0, 15}, {15, 15}}) image.At(x, y) = magenta;
  return image;
}

}  // namespace plx::captiongen
