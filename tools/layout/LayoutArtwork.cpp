#include "tools/layout/LayoutArtwork.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace plx::layoutgen {

using namespace skingen;

namespace {

// A slate-blue bar, so that the layout's own pictures are never mistaken for
// the skin's charcoal ones.
constexpr TRgb kBarTop = Rgb(0x5B7FB4);
constexpr TRgb kBarBottom = Rgb(0x23406E);
constexpr TRgb kBarEdge = Rgb(0x142A4C);
constexpr TRgb kGlyph = Rgb(0xF2F5FA);
constexpr int kBarHeight = 36;
constexpr int kButtonSize = 20;

TRgb BarColour(int y) {
  if (y == kBarHeight - 1) return kBarEdge;
  return Mix(kBarTop, kBarBottom, y / static_cast<double>(kBarHeight - 2));
}

TRaster Section(int width) {
  TRaster r(width, kBarHeight);
  for (int y = 0; y < kBarHeight; ++y) r.FillRect(0, y, width, y + 1, BarColour(y));
  return r;
}

enum TButtonKind { kControlBox, kClose, kMax, kMin };
enum TButtonState { kNormal, kMouseOn, kMouseDown };

TShape Glyph(TButtonKind kind) {
  switch (kind) {
    case kControlBox: return Circle(10, 10, 4);
    case kClose: return Union(Segment(6, 6, 14, 14, 1.1), Segment(14, 6, 6, 14, 1.1));
    case kMax: return Subtract(RoundedRect(5, 5, 15, 15, 0.5), RoundedRect(7, 8, 13, 13, 0.2));
    case kMin: return Segment(6, 14, 14, 14, 1.2);
  }
  return Circle(10, 10, 4);
}

// A button on magenta: a round face whose shade follows its state, and
// its glyph. Edges blend with the bar row the button sits on (top 7).
TRaster Button(TButtonKind kind, TButtonState state) {
  TRaster r(kButtonSize, kButtonSize);
  const TRgb face = state == kNormal ? Rgb(0x3D5F94) : state == kMouseOn ? Rgb(0x6A93D0) : Rgb(0x1B3358);
  const TBackground behind = [](int, int y) { return BarColour(7 + y); };
  r.Paint(Circle(10, 10, 9.2), face, 1.0, behind);
  r.Paint(Glyph(kind), kGlyph, 1.0, behind);
  return r;
}

void Put16(std::string& s, unsigned v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& s, std::uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}
char Channel(double v) { return static_cast<char>(static_cast<int>(std::lround(std::clamp(v, 0.0, 255.0)))); }

}  // namespace

std::string EncodeBmp(const TRaster& picture, int bitsPerPixel) {
  const int bytesPerPixel = bitsPerPixel / 8;
  const std::uint32_t stride = (static_cast<std::uint32_t>(picture.Width() * bytesPerPixel) + 3) & ~3u;
  const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(picture.Height());
  std::string bmp = "BM";
  Put32(bmp, 54 + imageSize);
  Put32(bmp, 0);
  Put32(bmp, 54);
  Put32(bmp, 40);
  Put32(bmp, static_cast<std::uint32_t>(picture.Width()));
  Put32(bmp, static_cast<std::uint32_t>(picture.Height()));  // bottom-up rows
  Put16(bmp, 1);
  Put16(bmp, static_cast<unsigned>(bitsPerPixel));
  Put32(bmp, 0);  // BI_RGB: the fourth byte of a 32-bit pixel is unused
  Put32(bmp, imageSize);
  Put32(bmp, 2835);
  Put32(bmp, 2835);
  Put32(bmp, 0);
  Put32(bmp, 0);
  for (int y = picture.Height() - 1; y >= 0; --y) {
    std::size_t written = 0;
    for (int x = 0; x < picture.Width(); ++x) {
      const TRgb p = picture.At(x, y);
      bmp.push_back(Channel(p.b));
      bmp.push_back(Channel(p.g));
      bmp.push_back(Channel(p.r));
      if (bytesPerPixel == 4) bmp.push_back('\0');
      written += static_cast<std::size_t>(bytesPerPixel);
    }
    bmp.append(stride - written, '\0');
  }
  return bmp;
}

std::vector<TLayoutPicture> DrawLayoutPictures() {
  std::vector<TLayoutPicture> pictures;
  pictures.push_back({"section_left.bmp", Section(126), 24});
  pictures.push_back({"section_client.bmp", Section(190), 24});
  pictures.push_back({"section_right.bmp", Section(125), 24});
  const struct {
    TButtonKind kind;
    const char* name;
  } buttons[] = {{kControlBox, "controlbox"}, {kClose, "close"}, {kMax, "max"}, {kMin, "min"}};
  const char* states[] = {"normal", "mouseon", "mousedown"};
  for (const auto& b : buttons)
    for (int s = kNormal; s <= kMouseDown; ++s)
      pictures.push_back({std::string("button_") + b.name + "_" + states[s] + ".bmp",
                          Button(b.kind, static_cast<TButtonState>(s)), 32});
  return pictures;
}

}  // namespace plx::layoutgen
