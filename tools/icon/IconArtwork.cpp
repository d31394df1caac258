#include "tools/icon/IconArtwork.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace plx::icongen {

namespace {

// Clip tints keep full red and vary green and blue, as the list's entries do.
constexpr TColour kPink = Rgb(0xFF9FB4);
constexpr TColour kPeach = Rgb(0xFFC089);
constexpr TColour kYellow = Rgb(0xFFE38A);
constexpr TColour kWhite = Rgb(0xFFFFFF);
constexpr TColour kText = Rgb(0x5A2E38);
constexpr TColour kHeading = Rgb(0xB8283C);

// Angles written as cosine and sine so that no trigonometry is needed.
constexpr TRotation kUpright{1.0, 0.0};
constexpr TRotation kTurnLeft6{0.9945218953682733, -0.10452846326765347};
constexpr TRotation kTurnRight11{0.981627183447664, 0.1908089953765448};

struct TCardStyle {
  double radius = 0;
  double border = 1;
  double shadowOffset = 0;  // no shadow when 0
  double shadowBlur = 1;
  double shadowAlpha = 0;
  double lineInset = 0;   // from the card's left and right edges
  double lineTop = 0;     // from the card's top to the first line's top
  double linePitch = 0;   // from one line's top to the next one's
  double lineHeight = 1;
  double lineRadius = 0;
  bool heading = false;   // the first line in the heading colour
  bool snapLines = false; // line ends on whole pixels
};

struct TCard {
  double left, top, right, bottom;
  TColour tint;
  int lines;
  TRotation rotation = kUpright;
};

// Text lines get shorter towards the end of a clip, the last one shortest.
constexpr double kLineLengths[] = {1.0, 0.82, 1.0, 0.9, 0.7, 1.0, 0.55};

TColour BorderOf(TColour tint) { return {tint.r * 0.72, tint.g * 0.46, tint.b * 0.46, 1.0}; }

void DrawCard(TRaster& raster, const TCard& card, const TCardStyle& style) {
  const double cx = (card.left + card.right) / 2, cy = (card.top + card.bottom) / 2;
  auto placed = [&](const TShape& shape) { return Rotate(shape, cx, cy, card.rotation); };
  const TShape outline = RoundedRect(card.left, card.top, card.right, card.bottom, style.radius);

  if (style.shadowAlpha > 0)
    raster.Paint(placed(Translate(outline, 0, style.shadowOffset)), Solid(Rgb(0x000000, style.shadowAlpha)),
                 style.shadowBlur);

  raster.Paint(placed(outline), Solid(BorderOf(card.tint)));
  // Paper lit from above: lighter at the top, the full tint at the bottom.
  const TPaint fill = LinearGradient(cx, card.top, Mix(card.tint, kWhite, 0.55), cx, card.bottom, card.tint);
  raster.Paint(placed(Grow(outline, -style.border)), Rotate(fill, cx, cy, card.rotation));

  const double width = card.right - card.left - 2 * style.lineInset;
  for (int i = 0; i < card.lines; ++i) {
    const double length = i + 1 == card.lines ? 0.45 : kLineLengths[i % std::size(kLineLengths)];
    double right = card.left + style.lineInset + width * length;
    if (style.snapLines) right = std::floor(right + 0.5);
    const double top = card.top + style.lineTop + i * style.linePitch;
    const TShape line = RoundedRect(card.left + style.lineInset, top, right, top + style.lineHeight, style.lineRadius);
    const TColour colour = style.heading && i == 0 ? kHeading : TColour{kText.r, kText.g, kText.b, 0.8};
    raster.Paint(placed(line), Solid(colour));
  }
}

// 16 x 16: two cards, one-pixel lines.
TRaster DrawSmall() {
  TRaster raster(16, 16);
  TCardStyle style;
  style.radius = 1.5;
  style.lineInset = 3;
  style.lineTop = 3;
  style.linePitch = 2;
  style.snapLines = true;
  DrawCard(raster, {5, 0, 16, 12, kYellow, 0}, style);
  DrawCard(raster, {0, 3, 12, 16, kPink, 4}, style);
  return raster;
}

// 32 x 32: three cards, two-pixel lines.
TRaster DrawMedium() {
  TRaster raster(32, 32);
  TCardStyle style;
  style.radius = 2.5;
  style.lineInset = 4;
  style.lineTop = 5;
  style.linePitch = 4;
  style.lineHeight = 2;
  style.lineRadius = 0.5;
  style.heading = true;
  style.snapLines = true;
  DrawCard(raster, {12, 0, 32, 22, kYellow, 0}, style);
  DrawCard(raster, {6, 4, 26, 27, kPeach, 0}, style);
  DrawCard(raster, {0, 9, 22, 32, kPink, 4}, style);
  return raster;
}

// 48 x 48: three cards with a soft shadow.
TRaster DrawLarge48() {
  TRaster raster(48, 48);
  TCardStyle style;
  style.radius = 3.5;
  style.border = 2;
  style.shadowOffset = 1;
  style.shadowBlur = 2.5;
  style.shadowAlpha = 0.35;
  style.lineInset = 6;
  style.lineTop = 8;
  style.linePitch = 6;
  style.lineHeight = 3;
  style.lineRadius = 1;
  style.heading = true;
  style.snapLines = true;
  DrawCard(raster, {18, 1, 47, 33, kYellow, 0}, style);
  DrawCard(raster, {9, 7, 39, 40, kPeach, 0}, style);
  DrawCard(raster, {1, 13, 32, 46, kPink, 4}, style);
  return raster;
}

// 128 and 256: a fanned stack, drawn on a 256 grid and scaled.
TRaster DrawFanned(int size) {
  TRaster raster(size, size);
  const double k = size / 256.0;
  TCardStyle style;
  style.radius = 16 * k;
  style.border = 4 * k;
  style.shadowOffset = 5 * k;
  style.shadowBlur = 12 * k;
  style.shadowAlpha = 0.4;
  style.lineInset = 22 * k;
  style.lineTop = 30 * k;
  style.linePitch = 24 * k;
  style.lineHeight = 10 * k;
  style.lineRadius = 5 * k;
  style.heading = true;
  auto card = [k](double left, double top, TColour tint, int lines, TRotation rotation) {
    return TCard{left * k, top * k, (left + 136) * k, (top + 168) * k, tint, lines, rotation};
  };
  DrawCard(raster, card(94, 16, kYellow, 6, kTurnRight11), style);
  DrawCard(raster, card(60, 36, kPeach, 6, kTurnLeft6), style);
  DrawCard(raster, card(20, 72, kPink, 6, kUpright), style);
  return raster;
}

}  // namespace

TRaster DrawIconPicture(int size) {
  switch (size) {
    case 16: return DrawSmall();
    case 32: return DrawMedium();
    case 48: return DrawLarge48();
    case 128:
    case 256: return DrawFanned(size);
    default: throw std::invalid_argument("no icon picture at this size");
  }
}

}  // namespace plx::icongen
