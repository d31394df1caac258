#include "tools/styles/StyleArtwork.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace plx::stylegen {

using namespace skingen;

namespace {

// --- Painting helpers ---------------------------------------------------------

// The colour of a shape at a point of the picture.
using TFill = std::function<TRgb(double x, double y)>;

bool IsMagenta(TRgb c) { return c.r == 255 && c.g == 0 && c.b == 255; }

// Paints fill where shape covers a pixel (4 x 4 samples), blended by
// coverage. Pixels that are still magenta are blended against `behind`, so a
// see-through edge carries no magenta fringe.
void PaintShape(TRaster& r, const TShape& shape, const TFill& fill, TRgb behind) {
  for (int y = 0; y < r.Height(); ++y)
    for (int x = 0; x < r.Width(); ++x) {
      int covered = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx)
          if (shape(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4) <= 0) ++covered;
      if (covered == 0) continue;
      TRgb& pixel = r.At(x, y);
      const TRgb under = IsMagenta(pixel) ? behind : pixel;
      pixel = Mix(under, fill(x + 0.5, y + 0.5), covered / 16.0);
    }
}

void PaintShape(TRaster& r, const TShape& shape, TRgb colour, TRgb behind) {
  PaintShape(r, shape, [colour](double, double) { return colour; }, behind);
}

// Top to bottom between two colours over rows y0..y1.
TFill Vertical(TRgb top, TRgb bottom, double y0, double y1) {
  return [=](double, double y) { return Mix(top, bottom, std::clamp((y - y0) / std::max(y1 - y0, 1.0), 0.0, 1.0)); };
}

// A vertical ramp with a glassy highlight over its upper half.
TFill Glossy(TRgb top, TRgb bottom, double y0, double y1, double strength) {
  const TFill base = Vertical(top, bottom, y0, y1);
  return [=](double x, double y) {
    const double t = (y - y0) / std::max(y1 - y0, 1.0);
    const TRgb c = base(x, y);
    return t < 0.48 ? Mix(c, Rgb(0xFFFFFF), strength * (1.0 - t / 0.48 * 0.6)) : c;
  };
}

TShape Box(double left, double top, double right, double bottom) { return RoundedRect(left, top, right, bottom, 0); }

// A frame of a strip, drawn by draw(frame, index), placed side by side.
TRaster Strip(int frameWidth, int height, int frames, const std::function<void(TRaster&, int)>& draw) {
  TRaster strip(frameWidth * frames, height);
  for (int i = 0; i < frames; ++i) {
    TRaster frame(frameWidth, height);
    draw(frame, i);
    strip.Draw(frame, i * frameWidth, 0);
  }
  return strip;
}

// --- The looks ----------------------------------------------------------------

enum TState { kNormal, kHot, kPressed };

struct TFace {
  TRgb top, bottom, border;
  bool gloss;
};

struct TLook {
  const char* prefix;
  TRgb panel;           // the frame panel colour, behind see-through edges
  TRgb frameOuter;      // outermost row and column of the window frame
  TRgb titleTop, titleBottom, titleHighlight, titleLine;
  bool titleGloss;
  bool pinstripes;
  TFace button[3];      // normal, mouse on, pressed
  double buttonRadius;  // below 0: a capsule
  TFace titleButton[3];
  TFace closeButton[3];
  double titleButtonRadius;  // below 0: round
  bool titleButtonsSeeThrough;
  TRgb glyph, glyphDim;
  TRgb accent, accentDark;
  TRgb box;  // inside of check boxes, tracks and grooves
  TRgb boxBorder;
};

const TLook kMacOS = {
    "MACOS", Rgb(0xE7E7E7), Rgb(0x8C8C8C), Rgb(0xF0F0F0), Rgb(0xC4C4C4), Rgb(0xFFFFFF), Rgb(0x8A8A8A), true, true,
    {{Rgb(0xFFFFFF), Rgb(0xD3D3D3), Rgb(0x8E8E8E), true},
     {Rgb(0x7DBDF7), Rgb(0x2C78D4), Rgb(0x2A5FA8), true},
     {Rgb(0x3B83D6), Rgb(0x1A56A8), Rgb(0x1F4580), true}},
    -1,
    {{Rgb(0xEDEDED), Rgb(0xB5B5B5), Rgb(0x7A7A7A), true},
     {Rgb(0xFFFFFF), Rgb(0xC8C8C8), Rgb(0x5E5E5E), true},
     {Rgb(0xA8A8A8), Rgb(0xD0D0D0), Rgb(0x5E5E5E), false}},
    {{Rgb(0xF29A8C), Rgb(0xC8402E), Rgb(0x8E2A1E), true},
     {Rgb(0xFFB3A6), Rgb(0xDC5038), Rgb(0x8E2A1E), true},
     {Rgb(0xB83A2A), Rgb(0xE06A58), Rgb(0x7A2418), false}},
    -1, false, Rgb(0x3A3A3A), Rgb(0x6A6A6A), Rgb(0x3875D7), Rgb(0x1F4F9E), Rgb(0xFFFFFF), Rgb(0x8E8E8E)};

const TLook kWinXP = {
    "WINXP", Rgb(0xEFEBDE), Rgb(0x0831D9), Rgb(0x0A66F0), Rgb(0x0046C8), Rgb(0x3D95FF), Rgb(0x003DB8), true, false,
    {{Rgb(0xFFFFFF), Rgb(0xE6E4DA), Rgb(0x003C74), false},
     {Rgb(0xFFF4D9), Rgb(0xF6C860), Rgb(0x003C74), false},
     {Rgb(0xD8D6CB), Rgb(0xF2F1EB), Rgb(0x003C74), false}},
    3,
    {{Rgb(0x5A95FF), Rgb(0x1E50DC), Rgb(0xFFFFFF), true},
     {Rgb(0x84B2FF), Rgb(0x3A6EEE), Rgb(0xFFFFFF), true},
     {Rgb(0x1A47C2), Rgb(0x3D72E8), Rgb(0xDDE6FF), false}},
    {{Rgb(0xF08A6A), Rgb(0xC8381A), Rgb(0xFFFFFF), true},
     {Rgb(0xFFA688), Rgb(0xE04A28), Rgb(0xFFFFFF), true},
     {Rgb(0xA82A10), Rgb(0xD8502E), Rgb(0xFFE0D8), false}},
    3, false, Rgb(0xFFFFFF), Rgb(0xE8EEFF), Rgb(0x2FB52F), Rgb(0x1E7A1E), Rgb(0xFFFFFF), Rgb(0x1C5180)};

const TLook kDeepBlue = {
    "DEEPBLUE", Rgb(0xE8E8E8), Rgb(0x05080F), Rgb(0x223462), Rgb(0x0C1530), Rgb(0x3E5A92), Rgb(0x5B8BD9), false, false,
    {{Rgb(0xDCE5F3), Rgb(0xAFC2E0), Rgb(0x1F3A6B), false},
     {Rgb(0xC6DAF8), Rgb(0x8FB0E6), Rgb(0x1F3A6B), false},
     {Rgb(0x94ADD6), Rgb(0xB6C8E6), Rgb(0x13284F), false}},
    1.5,
    {{Rgb(0x2E4678), Rgb(0x1A2A4E), Rgb(0x5B8BD9), false},
     {Rgb(0x3E5C98), Rgb(0x26396A), Rgb(0x8FB6F0), false},
     {Rgb(0x13203F), Rgb(0x22355F), Rgb(0x5B8BD9), false}},
    {{Rgb(0x8A2433), Rgb(0x5E1420), Rgb(0xD96A78), false},
     {Rgb(0xA83040), Rgb(0x74202C), Rgb(0xF08A98), false},
     {Rgb(0x4E101A), Rgb(0x72202C), Rgb(0xD96A78), false}},
    1, false, Rgb(0xF2F6FF), Rgb(0xB8C8E8), Rgb(0x2E5FB0), Rgb(0x16315E), Rgb(0xFFFFFF), Rgb(0x1F3A6B)};

const TLook kProtein = {
    "PROTEIN", Rgb(0xFBFBFB), Rgb(0x6E747E), Rgb(0xFAFAFA), Rgb(0xD2D6DC), Rgb(0xFFFFFF), Rgb(0x9DA3AD), false, false,
    {{Rgb(0xF6F7F9), Rgb(0xD6DAE0), Rgb(0x8C929C), true},
     {Rgb(0xEEF2FF), Rgb(0xC3D0F8), Rgb(0x2D30C4), true},
     {Rgb(0xC6CCD8), Rgb(0xE4E7EC), Rgb(0x5D636D), false}},
    4,
    {{Rgb(0xF4F5F7), Rgb(0xCDD1D8), Rgb(0x9097A2), true},
     {Rgb(0xE6ECFF), Rgb(0xB8C6F4), Rgb(0x2D30C4), true},
     {Rgb(0xB8BFCC), Rgb(0xDADDE3), Rgb(0x5D636D), false}},
    {{Rgb(0xF6C2BA), Rgb(0xDE6E5E), Rgb(0xA8301E), true},
     {Rgb(0xFFD2CA), Rgb(0xEE8270), Rgb(0xB8321F), true},
     {Rgb(0xD9887C), Rgb(0xEEB8B0), Rgb(0x8E2A1E), false}},
    4, true, Rgb(0x2D30C4), Rgb(0x6A6F8A), Rgb(0x2D30C4), Rgb(0x1A1C80), Rgb(0xFFFFFF), Rgb(0x8C929C)};

const TLook kBlueGlass = {
    "BLUEGLASS", Rgb(0xE7E7E7), Rgb(0x1D4F8C), Rgb(0x8CC4F8), Rgb(0x2C74C2), Rgb(0xD6ECFF), Rgb(0x1D5A9E), true, false,
    // Normal: a light, almost white capsule; mouse on: saturated blue; pressed: paler flat blue.
    {{Rgb(0xFDFEFF), Rgb(0xE2EAF4), Rgb(0xA3B4C8), true},
     {Rgb(0x5AAEFA), Rgb(0x1565CF), Rgb(0x0F4E9E), true},
     {Rgb(0xA6CBF0), Rgb(0x92BDE8), Rgb(0x5C8CC2), false}},
    -1,
    {{Rgb(0xA8D4FA), Rgb(0x3C86D6), Rgb(0x1D5A9E), true},
     {Rgb(0xC8E6FF), Rgb(0x5AA2EC), Rgb(0x1D5A9E), true},
     {Rgb(0x2E6CB4), Rgb(0x5A94D6), Rgb(0x16467E), false}},
    {{Rgb(0xF5A08E), Rgb(0xD23A22), Rgb(0x8A2414), true},
     {Rgb(0xFFC0B0), Rgb(0xE8503A), Rgb(0x8A2414), true},
     {Rgb(0xB02A16), Rgb(0xDC6450), Rgb(0x7A1E10), false}},
    -1, true, Rgb(0xFFFFFF), Rgb(0xE4F1FF), Rgb(0x2F86E6), Rgb(0x15539E), Rgb(0xFFFFFF), Rgb(0x7F9AB8)};

// --- Push buttons: three frames, normal, mouse on, pressed --------------------

TRaster PushButtons(const TLook& look, int width, int height) {
  return Strip(width / 3, height, 3, [&](TRaster& frame, int state) {
    const TFace& face = look.button[state];
    const double w = frame.Width(), h = frame.Height();
    const double radius = look.buttonRadius < 0 ? h / 2 - 0.5 : look.buttonRadius;
    PaintShape(frame, RoundedRect(0.5, 0.5, w - 0.5, h - 0.5, radius), face.border, look.panel);
    const TFill fill = face.gloss ? Glossy(face.top, face.bottom, 1, h - 1, 0.55) : Vertical(face.top, face.bottom, 1, h - 1);
    PaintShape(frame, RoundedRect(1.5, 1.5, w - 1.5, h - 1.5, std::max(radius - 1, 0.0)), fill, look.panel);
    if (state == kHot && !face.gloss)  // the flat looks mark the mouse with a warm or light inner line
      PaintShape(frame, Subtract(RoundedRect(1.5, 1.5, w - 1.5, h - 1.5, std::max(radius - 1, 0.0)),
                                 RoundedRect(3, 3, w - 3, h - 3, std::max(radius - 2, 0.0))),
                 Vertical(Mix(face.top, Rgb(0xFFFFFF), 0.3), face.bottom, 1, h - 1), look.panel);
  });
}

// --- Title bar sections --------------------------------------------------------

// The colour of a title-bar row; the top three rows are the window frame.
TRgb TitleRow(const TLook& look, int y, int height) {
  if (y == 0) return look.frameOuter;
  if (y <= 2) return Mix(look.frameOuter, look.titleTop, y / 3.0);
  if (y == height - 1) return look.titleLine;
  if (y == 3) return look.titleHighlight;
  const double t = (y - 3.0) / std::max(height - 5.0, 1.0);
  TRgb c = Mix(look.titleTop, look.titleBottom, t);
  if (look.titleGloss && t < 0.5) c = Mix(c, Rgb(0xFFFFFF), 0.22 * (1 - t * 2));
  if (look.pinstripes && y % 2 == 0) c = Mix(c, Rgb(0x000000), 0.035);
  return c;
}

// One long bar cut into left, client and right: the client is uniform across
// so it stretches cleanly; the outer columns carry a light and a dark edge.
TRaster TitleBar(const TLook& look, int width, int height) {
  TRaster bar(width, height);
  for (int y = 0; y < height; ++y) bar.FillRect(0, y, width, y + 1, TitleRow(look, y, height));
  for (int y = 1; y < height - 1; ++y) {
    bar.At(0, y) = look.frameOuter;
    bar.At(width - 1, y) = look.frameOuter;
    if (y >= 3) {
      bar.At(1, y) = Mix(bar.At(1, y), look.titleHighlight, 0.5);
      bar.At(width - 2, y) = Mix(bar.At(width - 2, y), look.frameOuter, 0.35);
    }
  }
  return bar;
}

// Protein's long left section: bright metal with a blue glow that fades out
// before the section ends, so that its last column matches the client.
TRaster ProteinTitleLeft(const TLook& look, int width, int height) {
  TRaster left = TitleBar(look, width + 2, height).Crop(0, 0, width, height);
  for (int y = 4; y < height - 1; ++y)
    for (int x = 2; x < width; ++x) {
      const double fade = std::clamp(1.0 - x / (width * 0.8), 0.0, 1.0);
      const double band = std::exp(-std::pow((y - height * 0.42) / (height * 0.3), 2.0));
      left.At(x, y) = Mix(left.At(x, y), look.accent, 0.55 * fade * fade * band);
    }
  return left;
}

void TitleSections(const TLook& look, int leftWidth, int clientWidth, int rightWidth, int height,
                   std::vector<TStylePicture>& out) {
  const std::string p = look.prefix;
  if (p == "PROTEIN") {
    out.push_back({p + "_TITLE_CLIENT", TitleBar(look, clientWidth + 4, height).Crop(2, 0, clientWidth, height)});
    out.push_back({p + "_TITLE_LEFT", ProteinTitleLeft(look, leftWidth, height)});
    TRaster right = TitleBar(look, rightWidth + 4, height).Crop(2, 0, rightWidth, height);
    for (int y = 1; y < height - 1; ++y) right.At(rightWidth - 1, y) = look.frameOuter;
    out.push_back({p + "_TITLE_RIGHT", right});
    return;
  }
  const TRaster bar = TitleBar(look, leftWidth + clientWidth + rightWidth, height);
  out.push_back({p + "_TITLE_CLIENT", bar.Crop(leftWidth, 0, clientWidth, height)});
  out.push_back({p + "_TITLE_LEFT", bar.Crop(0, 0, leftWidth, height)});
  out.push_back({p + "_TITLE_RIGHT", bar.Crop(leftWidth + clientWidth, 0, rightWidth, height)});
}

// --- Title buttons: 18 frames, three per kind ----------------------------------

// The glyph of each kind (control box, help, maximise, restore, minimise,
// close) in a frame of size s.
TShape TitleGlyph(int kind, double s) {
  const double k = s / 20.0, w = std::max(0.8, 0.9 * k);
  auto p = [k](double v) { return v * k; };
  switch (kind) {
    case 0:
      return Union(Union(Segment(p(6), p(7), p(14), p(7), w), Segment(p(6), p(10), p(14), p(10), w)),
                   Segment(p(6), p(13), p(14), p(13), w));
    case 1:
      return Union(Union(Intersect(Ring(p(10), p(7.6), p(3), w),
                                   [p](double x, double y) { return (y > p(8.2) && x < p(10)) ? 1.0 : -1.0; }),
                         Segment(p(10.3), p(10.6), p(10), p(12.2), w)),
                   Circle(p(10), p(14.6), 1.1 * k));
    case 2:
      return Union(Subtract(Box(p(5.5), p(5.5), p(14.5), p(14.5)), Box(p(7), p(8), p(13), p(13))),
                   Segment(p(6), p(6.2), p(14), p(6.2), w));
    case 3:
      return Union(Subtract(Box(p(5), p(8), p(12), p(15)), Box(p(6.5), p(10), p(10.5), p(13.5))),
                   Subtract(Subtract(Box(p(8), p(5), p(15), p(12)), Box(p(9.5), p(7), p(13.5), p(10.5))),
                            Box(p(5), p(8), p(12.7), p(15.7))));
    case 4:
      return Segment(p(6), p(13.5), p(14), p(13.5), 1.1 * k);
    default:
      return Union(Segment(p(6.3), p(6.3), p(13.7), p(13.7), 1.1 * k), Segment(p(13.7), p(6.3), p(6.3), p(13.7), 1.1 * k));
  }
}

TRaster TitleButtons(const TLook& look, int width, int height, int titleHeight, int buttonTop) {
  const int size = width / 18;
  return Strip(size, height, 18, [&](TRaster& frame, int index) {
    const int kind = index / 3, state = index % 3;
    const bool close = kind == 5;
    const TFace& face = close ? look.closeButton[state] : look.titleButton[state];
    // What lies behind: the title bar at the buttons' rows.
    auto behindAt = [&](double y) { return TitleRow(look, std::clamp(buttonTop + static_cast<int>(y), 0, titleHeight - 1), titleHeight); };
    if (!look.titleButtonsSeeThrough)
      for (int y = 0; y < height; ++y) frame.FillRect(0, y, size, y + 1, behindAt(y));
    const double s = size;
    const TShape body = look.titleButtonRadius < 0 ? Circle(s / 2, s / 2, s / 2 - 0.6)
                                                   : RoundedRect(0.5, 0.5, s - 0.5, s - 0.5, look.titleButtonRadius);
    const TShape inner = look.titleButtonRadius < 0 ? Circle(s / 2, s / 2, s / 2 - 1.6)
                                                    : RoundedRect(1.5, 1.5, s - 1.5, s - 1.5, std::max(look.titleButtonRadius - 1, 0.0));
    const TRgb behind = behindAt(s / 2);
    PaintShape(frame, body, face.border, behind);
    PaintShape(frame, inner, face.gloss ? Glossy(face.top, face.bottom, 1, s - 1, 0.45) : Vertical(face.top, face.bottom, 1, s - 1),
               behind);
    const TRgb glyph = close ? Rgb(0xFFFFFF) : (state == kNormal ? look.glyphDim : look.glyph);
    const double shift = state == kPressed ? 0.5 : 0.0;
    const TShape mark = TitleGlyph(kind, s);
    PaintShape(frame, [=](double x, double y) { return mark(x - shift, y - shift); }, glyph, behind);
  });
}

// --- Check boxes, radio buttons, check list marks ------------------------------

// Four frames: unchecked, checked, unchecked with the mouse on, checked with
// the mouse on.
TRaster Marks(const TLook& look, int width, int height, bool round) {
  return Strip(width / 4, height, 4, [&](TRaster& frame, int index) {
    const bool checked = index % 2 == 1, hot = index >= 2;
    const double w = frame.Width(), h = frame.Height(), side = std::min(w, h);
    const double x0 = (w - side) / 2, y0 = (h - side) / 2;
    const TShape outer = round ? Circle(w / 2, h / 2, side / 2 - 0.5) : RoundedRect(x0 + 0.5, y0 + 0.5, x0 + side - 0.5, y0 + side - 0.5, 1.2);
    const TShape inner = round ? Circle(w / 2, h / 2, side / 2 - 1.5) : RoundedRect(x0 + 1.5, y0 + 1.5, x0 + side - 1.5, y0 + side - 1.5, 0.6);
    PaintShape(frame, outer, hot ? look.accent : look.boxBorder, look.panel);
    PaintShape(frame, inner, Vertical(Mix(look.box, look.panel, 0.5), look.box, y0, y0 + side), look.panel);
    if (!checked) return;
    if (round)
      PaintShape(frame, Circle(w / 2, h / 2, side * 0.2), look.accentDark, look.panel);
    else
      PaintShape(frame, Union(Segment(x0 + side * 0.25, y0 + side * 0.52, x0 + side * 0.43, y0 + side * 0.72, 0.9),
                              Segment(x0 + side * 0.43, y0 + side * 0.72, x0 + side * 0.77, y0 + side * 0.28, 0.9)),
                 look.accentDark, look.panel);
  });
}

// --- Scrolling ------------------------------------------------------------------

TShape Chevron(double cx, double cy, double size, int direction) {  // 0 up, 1 down, 2 left, 3 right
  const double a = size * 0.5, b = size * 0.28, w = 0.85;
  switch (direction) {
    case 0: return Union(Segment(cx - a, cy + b, cx, cy - b, w), Segment(cx, cy - b, cx + a, cy + b, w));
    case 1: return Union(Segment(cx - a, cy - b, cx, cy + b, w), Segment(cx, cy + b, cx + a, cy - b, w));
    case 2: return Union(Segment(cx + b, cy - a, cx - b, cy, w), Segment(cx - b, cy, cx + b, cy + a, w));
    default: return Union(Segment(cx - b, cy - a, cx + b, cy, w), Segment(cx + b, cy, cx - b, cy + a, w));
  }
}

// Up and down arrows, each normal, mouse on and pressed.
TRaster ScrollBarButtons(const TLook& look, int width, int height) {
  return Strip(width / 6, height, 6, [&](TRaster& frame, int index) {
    const TFace& face = look.button[index % 3];
    const double w = frame.Width(), h = frame.Height();
    frame.FillRect(0, 0, frame.Width(), frame.Height(), look.box);
    PaintShape(frame, RoundedRect(0.5, 0.5, w - 0.5, h - 0.5, 2), face.border, look.box);
    PaintShape(frame, RoundedRect(1.5, 1.5, w - 1.5, h - 1.5, 1), Vertical(face.top, face.bottom, 1, h - 1), look.box);
    PaintShape(frame, Chevron(w / 2, h / 2, std::min(w, h) * 0.5, index < 3 ? 0 : 1), look.accentDark,
               look.box);
  });
}

// A thumb drawn across the whole strip and cut into three slices.
TRaster ScrollTrack(const TLook& look, int width, int height) {
  TRaster track(width, height, look.box);
  const double w = width, h = height;
  PaintShape(track, RoundedRect(0.5, 1.5, w - 0.5, h - 1.5, (h - 3) / 2), look.button[kHot].border, look.box);
  PaintShape(track, RoundedRect(1.5, 2.5, w - 1.5, h - 2.5, (h - 5) / 2), Glossy(look.button[kNormal].top, look.button[kNormal].bottom, 2, h - 2, 0.3),
             look.box);
  return track;
}

// Left, right, left pressed, right pressed.
TRaster ScrollButtons(const TLook& look, int width, int height) {
  return Strip(width / 4, height, 4, [&](TRaster& frame, int index) {
    const TFace& face = look.button[index >= 2 ? kPressed : kNormal];
    const double w = frame.Width(), h = frame.Height();
    PaintShape(frame, RoundedRect(0.5, 0.5, w - 0.5, h - 0.5, 3), face.border, look.panel);
    PaintShape(frame, RoundedRect(1.5, 1.5, w - 1.5, h - 1.5, 2), Vertical(face.top, face.bottom, 1, h - 1), look.panel);
    PaintShape(frame, Chevron(w / 2, h / 2, h * 0.5, index % 2 == 0 ? 2 : 3), look.accentDark, look.panel);
  });
}

// --- Tabs, side channel, track bar, progress ------------------------------------

TRaster Tab(const TLook& look, int width, int height) {
  TRaster tab(width, height);
  const double w = width, h = height, r = std::min(4.0, w / 3);
  PaintShape(tab, RoundedRect(0.5, 0.5, w - 0.5, h + r, r), look.boxBorder, look.panel);
  PaintShape(tab, RoundedRect(1.5, 1.5, w - 1.5, h + r, std::max(r - 1, 0.0)), Vertical(look.box, Mix(look.box, look.panel, 0.6), 1, h),
             look.panel);
  tab.FillRect(2, 1, width - 2, 2, look.accent);
  return tab;
}

TRaster TabLine(const TLook& look, int width, int height) {
  TRaster line(width, height, look.box);
  line.FillRect(0, 0, width, 1, look.boxBorder);
  for (int y = 1; y < height; ++y) line.FillRect(0, y, width, y + 1, Mix(look.box, look.panel, y / static_cast<double>(height)));
  return line;
}

TRaster SideChannelBar(const TLook& look, int height) {
  TRaster bar(1, height);
  for (int y = 0; y < height; ++y) bar.At(0, y) = TitleRow(look, 3 + y * (height - 4) / std::max(height - 1, 1), height + 3);
  return bar;
}

TRaster SideChannelHandle(const TLook& look, int width, int height) {
  TRaster handle(width, height);
  for (int x = 0; x < width; ++x) handle.FillRect(x, 0, x + 1, height, Mix(look.titleTop, look.titleBottom, x / std::max(width - 1.0, 1.0)));
  for (int y = height / 2 - 9; y <= height / 2 + 9; y += 3)
    PaintShape(handle, Circle(width / 2.0, y + 0.5, 0.9), look.titleHighlight, look.titleTop);
  return handle;
}

TRaster TrackBarBar(const TLook& look, int width, int height) {
  TRaster groove(width, height);
  const double w = width, h = height;
  PaintShape(groove, RoundedRect(0.5, 0.5, w - 0.5, h - 0.5, std::min(2.0, h / 2)), look.boxBorder, look.panel);
  if (height > 2)
    PaintShape(groove, RoundedRect(1.5, 1.5, w - 1.5, h - 1.5, std::min(1.0, h / 2 - 1)), Mix(look.box, look.panel, 0.4), look.panel);
  return groove;
}

TRaster Slider(const TLook& look, int width, int height, bool vertical) {
  TRaster thumb(width, height);
  const double w = width, h = height;
  // A body with a point toward the track: down for the horizontal slider,
  // right for the vertical one.
  const TShape body = vertical ? Union(RoundedRect(0.5, 0.5, w * 0.62, h - 0.5, 1.5),
                                       [=](double x, double y) { return std::max(std::abs(y - h / 2) + (x - w + 0.5) * (h / 2) / (w * 0.45), w * 0.55 - x); })
                               : Union(RoundedRect(0.5, 0.5, w - 0.5, h * 0.62, 1.5),
                                       [=](double x, double y) { return std::max(std::abs(x - w / 2) + (y - h + 0.5) * (w / 2) / (h * 0.45), h * 0.55 - y); });
  PaintShape(thumb, body, look.button[kHot].border, look.panel);
  PaintShape(thumb, [=](double x, double y) { return body(x, y) + 1.0; },
             Glossy(look.button[kNormal].top, look.button[kNormal].bottom, 0, vertical ? h : h * 0.7, 0.3), look.panel);
  return thumb;
}

TRaster Progress(const TLook& look, int width, int height) {
  TRaster bar(width, height);
  for (int y = 0; y < height; ++y) {
    const double t = y / std::max(height - 1.0, 1.0);
    TRgb c = Mix(Mix(look.accent, Rgb(0xFFFFFF), 0.45), look.accent, std::min(t * 2, 1.0));
    if (t > 0.5) c = Mix(look.accent, look.accentDark, (t - 0.5) * 2 * 0.6);
    bar.FillRect(0, y, width, y + 1, c);
  }
  return bar;
}

// MacOS: candy stripes; WinXP: blocks with a gap.
TRaster StripedProgress(const TLook& look, int width, int height) {
  TRaster bar = Progress(look, width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (((x + y) % width) < width / 2) bar.At(x, y) = Mix(bar.At(x, y), Rgb(0xFFFFFF), 0.35);
  return bar;
}

TRaster BlockProgress(const TLook& look, int width, int height) {
  TRaster bar = Progress(look, width, height);
  bar.FillRect(width - 2, 0, width, height, look.box);
  return bar;
}

TRaster ComboButton(const TLook& look, int width, int height) {
  TRaster button(width, height);
  const TFace& face = look.button[kNormal];
  const double w = width, h = height;
  PaintShape(button, RoundedRect(0.5, 0.5, w - 0.5, h - 0.5, 2), face.border, look.box);
  PaintShape(button, RoundedRect(1.5, 1.5, w - 1.5, h - 1.5, 1), Glossy(face.top, face.bottom, 1, h - 1, 0.4), look.box);
  PaintShape(button, Chevron(w / 2, h / 2, w * 0.45, 1), look.accentDark, look.box);
  return button;
}

TRaster Ramp(int width, int height, TRgb top, TRgb bottom) {
  TRaster r(width, height);
  r.VerticalGradient(0, 0, width, height, top, bottom);
  return r;
}

// --- One style -------------------------------------------------------------------

struct TSizes {
  int buttonW, buttonH, checkW, checkH, checklistW, checklistH, progressW, progressH, radioW, radioH;
  int scrollBarButtonW, scrollBarButtonH, scrollTrackW, scrollTrackH, sideBarH, handleW, handleH;
  int tabW, tabH, tabLineW, tabLineH, titleButtonsW, titleButtonsH;
  int titleClientW, titleLeftW, titleRightW, titleH;
  int trackBarW, trackBarH, sliderW, sliderH, sliderVW, sliderVH;
  int comboW, comboH;          // 0: the style has none
  int scrollButtonW, scrollButtonH;  // 0: the style uses the shared MORE_SCROLLBUTTON
  int titleButtonTop;          // built-in item 9
};

void DrawStyle(const TLook& look, const TSizes& s, std::vector<TStylePicture>& out) {
  const std::string p = look.prefix;
  out.push_back({p + "_BUTTON", PushButtons(look, s.buttonW, s.buttonH)});
  out.push_back({p + "_CHECKBOX", Marks(look, s.checkW, s.checkH, false)});
  out.push_back({p + "_CHECKLIST", Marks(look, s.checklistW, s.checklistH, false)});
  if (s.comboW > 0) out.push_back({p + "_COMBOBOX_BUTTON", ComboButton(look, s.comboW, s.comboH)});
  TRaster progress = p == "MACOS"   ? StripedProgress(look, s.progressW, s.progressH)
                     : p == "WINXP" ? BlockProgress(look, s.progressW, s.progressH)
                                    : Progress(look, s.progressW, s.progressH);
  out.push_back({p + "_PROGRESSBAR", progress});
  out.push_back({p + "_RADIOBUTTON", Marks(look, s.radioW, s.radioH, true)});
  out.push_back({p + "_SCROLLBAR_BUTTON", ScrollBarButtons(look, s.scrollBarButtonW, s.scrollBarButtonH)});
  out.push_back({p + "_SCROLLBAR_TRACK", ScrollTrack(look, s.scrollTrackW, s.scrollTrackH)});
  if (s.scrollButtonW > 0) out.push_back({p + "_SCROLLBUTTON", ScrollButtons(look, s.scrollButtonW, s.scrollButtonH)});
  out.push_back({p + "_SIDECHENNEL_BAR", SideChannelBar(look, s.sideBarH)});
  out.push_back({p + "_SIDECHENNEL_HANDLE", SideChannelHandle(look, s.handleW, s.handleH)});
  out.push_back({p + "_TAB", Tab(look, s.tabW, s.tabH)});
  out.push_back({p + "_TAB_LINE", TabLine(look, s.tabLineW, s.tabLineH)});
  out.push_back({p + "_TITLEBTN", TitleButtons(look, s.titleButtonsW, s.titleButtonsH, s.titleH, s.titleButtonTop)});
  TitleSections(look, s.titleLeftW, s.titleClientW, s.titleRightW, s.titleH, out);
  out.push_back({p + "_TRACKBAR_BAR", TrackBarBar(look, s.trackBarW, s.trackBarH)});
  out.push_back({p + "_TRACKBAR_SLIDER", Slider(look, s.sliderW, s.sliderH, false)});
  out.push_back({p + "_TRACKBAR_SLIDER_V", Slider(look, s.sliderVW, s.sliderVH, true)});
}

// The sizes of each style's pictures.
// clang-format off
constexpr TSizes kMacOSSizes     = {252, 23, 60, 17, 40, 11, 13, 10, 64, 17,  96, 22, 33, 16, 21, 7, 84, 36, 27, 17, 7, 306, 17,  49,  48,  48, 23, 45, 5, 11, 20, 19, 11, 16, 17, 72, 18, 4};
constexpr TSizes kWinXPSizes     = { 54, 21, 52, 13, 44, 11,  6, 10, 52, 13,  96, 17, 21, 16, 21, 8, 86, 18, 18,  8, 1, 378, 21,  37,  35,  35, 29, 45, 8, 11, 21, 22, 11, 16, 18, 72, 18, 5};
constexpr TSizes kDeepBlueSizes  = {222, 21, 52, 13, 44, 11,  1, 10, 52, 13,  96, 16, 21, 16, 20, 8, 83, 12, 17,  5, 5, 342, 19,  98,  97,  97, 32, 45, 4, 11, 20, 18, 11,  0,  0,  0,  0, 2};
constexpr TSizes kProteinSizes   = {222, 21, 52, 13, 44, 11,  1, 10, 52, 13,  96, 16, 21, 16, 21, 8, 83, 18, 17, 10, 5, 342, 19,   1, 441,   1, 23, 45, 4, 11, 20, 18, 11,  0,  0,  0,  0, 2};
constexpr TSizes kBlueGlassSizes = {231, 27, 52, 13, 44, 11,  1, 10, 52, 13, 102, 16, 21, 16, 21, 8, 86, 18, 17, 10, 5, 342, 19, 179, 162, 101, 33, 45, 4, 11, 20, 18, 11,  0,  0,  0,  0, 6};
// clang-format on

// An 8 x 8 background tile: fine horizontal pinstripes.
TRaster Pinstripes(const TLook& look) {
  TRaster tile(8, 8, look.panel);
  for (int y = 0; y < 8; y += 2) tile.FillRect(0, y, 8, y + 1, Mix(look.panel, Rgb(0xFFFFFF), 0.45));
  return tile;
}

// An 8 x 8 background tile: a faint diagonal grain.
TRaster Grain(const TLook& look) {
  TRaster tile(8, 8, look.panel);
  for (int i = 0; i < 8; ++i) tile.At(i, (i + 3) % 8) = Mix(look.panel, look.boxBorder, 0.12);
  return tile;
}

}  // namespace

std::vector<TStylePicture> DrawStylePictures() {
  std::vector<TStylePicture> out;
  DrawStyle(kMacOS, kMacOSSizes, out);
  out.push_back({"MACOS_FORM_BACKGROUND", Pinstripes(kMacOS)});
  out.push_back({"MACOS_MENU_BAR", Ramp(1, 22, Rgb(0xF4F4F4), Rgb(0xD6D6D6))});
  out.push_back({"MACOS_MENU_SELECT", Ramp(1, 21, Rgb(0x6FA8F0), Rgb(0x2D6FCF))});
  DrawStyle(kWinXP, kWinXPSizes, out);
  DrawStyle(kDeepBlue, kDeepBlueSizes, out);
  DrawStyle(kProtein, kProteinSizes, out);
  out.push_back({"PROTEIN_FORM_BACKGROUND", Grain(kProtein)});
  DrawStyle(kBlueGlass, kBlueGlassSizes, out);
  // The scroll buttons the last three styles share: neutral grey.
  TLook neutral = kDeepBlue;
  neutral.panel = Rgb(0xEFEFEF);
  neutral.button[kNormal] = {Rgb(0xF7F7F7), Rgb(0xDADADA), Rgb(0x8C8C8C), false};
  neutral.button[kPressed] = {Rgb(0xC8C8C8), Rgb(0xE2E2E2), Rgb(0x6E6E6E), false};
  neutral.accentDark = Rgb(0x404040);
  out.push_back({"MORE_SCROLLBUTTON", ScrollButtons(neutral, 72, 17)});
  return out;
}

TRaster ComposeStylePreview(const std::vector<TStylePicture>& pictures) {
  auto find = [&](const std::string& name) -> const TRaster* {
    for (const TStylePicture& p : pictures)
      if (p.name == name) return &p.picture;
    return nullptr;
  };
  // One row per style: the title bar at 243 pixels, the 18 title-button
  // frames, the three push-button frames, on the main window's panel colour.
  const int width = 380, rowHeight = 92, barWidth = 243;
  TRaster sheet(width, rowHeight * 5, Rgb(0xF0F0F0));
  const char* prefixes[] = {"MACOS", "WINXP", "DEEPBLUE", "PROTEIN", "BLUEGLASS"};
  for (int row = 0; row < 5; ++row) {
    const std::string p = prefixes[row];
    const TRaster* left = find(p + "_TITLE_LEFT");
    const TRaster* client = find(p + "_TITLE_CLIENT");
    const TRaster* right = find(p + "_TITLE_RIGHT");
    const TRaster* buttons = find(p + "_TITLEBTN");
    const TRaster* face = find(p + "_BUTTON");
    if (!left || !client || !right || !buttons || !face) continue;
    const int top = row * rowHeight;
    for (int x = 0; x < barWidth; ++x) {
      const TRaster* from = client;
      int sx = (x - left->Width()) % client->Width();
      if (x >= barWidth - right->Width()) from = right, sx = x - (barWidth - right->Width());
      if (x < left->Width()) from = left, sx = x;
      for (int y = 0; y < from->Height(); ++y) sheet.At(x, top + y) = from->At(sx, y);
    }
    sheet.Draw(*buttons, 0, top + 38);
    sheet.Draw(*face, 0, top + 38 + 23);
  }
  return sheet;
}

}  // namespace plx::stylegen
