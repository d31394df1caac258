#include "tools/skin/SkinArtwork.h"

#include <cmath>

namespace plx::skingen {

namespace {

// The palette: charcoal chrome with a warm amber accent, matching the
// skin's menu colours.
constexpr TRgb kTitleTop = Rgb(0x44474D);
constexpr TRgb kTitleMiddle = Rgb(0x33363B);
constexpr TRgb kTitleBottom = Rgb(0x26282C);
constexpr TRgb kTitleHighlight = Rgb(0x5A5E65);
constexpr TRgb kEdgeDark = Rgb(0x17181B);
constexpr TRgb kAccent = Rgb(0xC9A227);
constexpr TRgb kAccentDim = Rgb(0x8A6F1E);
constexpr TRgb kGlyph = Rgb(0xE4E6EA);
constexpr TRgb kGlyphDim = Rgb(0xB9BCC2);
constexpr TRgb kFormColour = Rgb(0xF0F0F0);
constexpr TRgb kControlBorder = Rgb(0xB5B5B5);

constexpr int kTitleHeight = 36;

// One column of the title bar: highlight row, glassy upper half, darker
// lower half, amber accent and a dark edge at the bottom.
TRgb TitleColour(int y) {
  if (y == 0) return kTitleHighlight;
  if (y == kTitleHeight - 1) return kEdgeDark;
  if (y == kTitleHeight - 2) return kAccentDim;
  if (y < 17) return Mix(kTitleTop, kTitleMiddle, (y - 1) / 16.0);
  return Mix(Mix(kTitleMiddle, kTitleBottom, 0.35), kTitleBottom, (y - 17) / 17.0);
}

TRaster TitleSection(int width, bool leftEdge, bool rightEdge) {
  TRaster r(width, kTitleHeight);
  for (int y = 0; y < kTitleHeight; ++y) r.FillRect(0, y, width, y + 1, TitleColour(y));
  // A faint lighter inner column at the outer edges gives the bar a bevel.
  for (int y = 1; y < kTitleHeight - 2; ++y) {
    if (leftEdge) r.At(0, y) = Mix(TitleColour(y), kTitleHighlight, 0.6);
    if (rightEdge) r.At(width - 1, y) = Mix(TitleColour(y), kEdgeDark, 0.6);
  }
  return r;
}

TRaster BottomSection(int width, bool leftEdge, bool rightEdge) {
  TRaster r(width, 6);
  const TRgb rows[6] = {Rgb(0x3A3D42), Rgb(0x33363B), Rgb(0x2E3135), Rgb(0x2A2C30), Rgb(0x25272B), kEdgeDark};
  for (int y = 0; y < 6; ++y) r.FillRect(0, y, width, y + 1, rows[y]);
  for (int y = 0; y < 5; ++y) {
    if (leftEdge) r.At(0, y) = Mix(rows[y], kTitleHighlight, 0.4);
    if (rightEdge) r.At(width - 1, y) = Mix(rows[y], kEdgeDark, 0.6);
  }
  return r;
}

TRaster SideBorder(bool left) {
  TRaster r(2, 12);
  r.FillRect(0, 0, 2, 12, Rgb(0x2E3135));
  r.FillRect(left ? 0 : 1, 0, left ? 1 : 2, 12, left ? Rgb(0x44474D) : Rgb(0x1F2023));
  return r;
}

// --- Title buttons: 18 frames of 20 x 20 on magenta --------------------------

enum TButtonState { bsNormal, bsHot, bsPressed };

// The glyph of each button kind, centred in a 20 x 20 frame.
TShape ButtonGlyph(int kind) {
  const double w = 0.75;  // half stroke width
  switch (kind) {
    case 0:  // control box: a menu of three lines
      return Union(Union(Segment(6, 7, 14, 7, w), Segment(6, 10, 14, 10, w)), Segment(6, 13, 14, 13, w));
    case 1:  // help: a question mark
      return Union(Union(Intersect(Ring(10, 7.6, 3, w), [](double x, double y) {
                           return (y > 8.2 && x < 10) ? 1.0 : -1.0;  // the open lower-left of the hook
                         }),
                         Segment(10.3, 10.6, 10, 12.2, w)),
                   Circle(10, 14.6, 1.0));
    case 2:  // maximise: a window outline with a heavier top
      return Union(Subtract(RoundedRect(5.5, 5.5, 14.5, 14.5, 0.8), RoundedRect(7, 8, 13, 13, 0.2)),
                   Segment(6, 6.2, 14, 6.2, w));
    case 3:  // restore: two overlapping windows
      return Union(Subtract(RoundedRect(5, 8, 12, 15, 0.6), RoundedRect(6.5, 10, 10.5, 13.5, 0.2)),
                   Subtract(Subtract(RoundedRect(8, 5, 15, 12, 0.6), RoundedRect(9.5, 7, 13.5, 10.5, 0.2)),
                            RoundedRect(5, 8, 12.7, 15.7, 0.6)));
    case 4:  // minimise: a bar near the bottom
      return Segment(6, 13.5, 14, 13.5, 1.0);
    default:  // close: a cross
      return Union(Segment(6.3, 6.3, 13.7, 13.7, 0.95), Segment(13.7, 6.3, 6.3, 13.7, 0.95));
  }
}

TRaster TitleButtons() {
  TRaster strip(360, 20);
  // The buttons sit 7 pixels down the title bar; their anti-aliased edges
  // blend with the bar behind them so no magenta fringe shows.
  for (int kind = 0; kind < 6; ++kind) {
    for (int state = bsNormal; state <= bsPressed; ++state) {
      TRaster frame(20, 20);
      const bool close = kind == 5;
      TRgb face = Rgb(0x53575E);
      if (state == bsPressed) face = Rgb(0x1E2023);
      if (close) face = state == bsPressed ? Rgb(0x9E2418) : Rgb(0xC8342A);
      for (int y = 0; y < 20; ++y) {
        const TRgb behind = TitleColour(7 + y);
        if (state != bsNormal) {
          const TShape body = RoundedRect(0.5, 0.5, 19.5, 19.5, 3.5);
          for (int x = 0; x < 20; ++x) {
            int covered = 0;
            for (int sy = 0; sy < 4; ++sy)
              for (int sx = 0; sx < 4; ++sx)
                if (body(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4) <= 0) ++covered;
            if (covered == 0) continue;
            // Lighter top, darker bottom: a soft raised (or sunken) face.
            const double shade = state == bsPressed ? 0.10 * y / 19.0 : 0.14 * (1.0 - y / 19.0);
            const TRgb lit = Mix(face, Rgb(0xFFFFFF), shade);
            frame.At(x, y) = Mix(behind, lit, covered / 16.0);
          }
        }
      }
      const TRgb glyphColour = (state == bsNormal && !close) ? kGlyphDim : kGlyph;
      const TShape glyph = ButtonGlyph(kind);
      // A pressed button's glyph moves half a pixel down and right.
      const double shift = state == bsPressed ? 0.5 : 0.0;
      frame.Paint([glyph, shift](double x, double y) { return glyph(x - shift, y - shift); }, glyphColour, 1.0,
                  [](int, int y) { return TitleColour(7 + y); });
      strip.Draw(frame, (kind * 3 + state) * 20, 0);
    }
  }
  return strip;
}

// --- Push button: three 75 x 27 frames (normal, hot, pressed) ---------------

TRaster PushButtons() {
  TRaster strip(225, 27);
  for (int state = 0; state < 3; ++state) {
    TRaster frame(75, 27);
    TRgb top = Rgb(0x50545B), bottom = Rgb(0x2B2E32);
    if (state == 1) top = Rgb(0x60656D), bottom = Rgb(0x35383D);
    if (state == 2) top = Rgb(0x24262A), bottom = Rgb(0x34373C);
    const TShape outer = RoundedRect(0, 0, 75, 27, 4);
    const TShape inner = RoundedRect(1, 1, 74, 26, 3);
    frame.Paint(outer, kEdgeDark, 1.0, Solid(kFormColour));
    for (int y = 1; y < 26; ++y) {
      const TRgb c = Mix(top, bottom, (y - 1) / 24.0);
      frame.Paint(Intersect(inner, [y](double, double py) { return (py >= y && py < y + 1) ? -1.0 : 1.0; }), c);
    }
    // A one-pixel sheen under the top edge, and an amber hint when hot.
    const TRgb sheen = state == 2 ? Rgb(0x1C1D20) : state == 1 ? Mix(kAccent, Rgb(0xFFFFFF), 0.2) : Rgb(0x6A6E76);
    frame.Paint(Intersect(inner, [](double, double py) { return (py >= 1 && py < 2) ? -1.0 : 1.0; }), sheen, 0.8);
    strip.Draw(frame, state * 75, 0);
  }
  return strip;
}

// --- The rest of the control set ---------------------------------------------

TRaster MinimizedTitle() {
  TRaster r(251, 31);
  for (int y = 0; y < 31; ++y) r.FillRect(0, y, 251, y + 1, TitleColour(y * (kTitleHeight - 1) / 30));
  for (int y = 0; y < 31; ++y) {
    r.At(0, y) = Mix(r.At(0, y), kTitleHighlight, 0.6);
    r.At(250, y) = kEdgeDark;
  }
  return r;
}

TRaster CheckedMenuIcon() {
  TRaster r(16, 16);
  r.Paint(Union(Segment(3.5, 8.5, 6.5, 11.5, 1.0), Segment(6.5, 11.5, 12.5, 4.5, 1.0)), Rgb(0x7A7320), 1.0,
          Solid(kFormColour));
  return r;
}

TRaster ToolBar() {
  TRaster r(14, 46);
  r.VerticalGradient(0, 0, 14, 46, Rgb(0x797220), Rgb(0x948122));
  r.FillRect(0, 45, 14, 46, Rgb(0x5E5518));
  return r;
}

// Boxes of a given cell size; frames alternate off/on, normal/hot/disabled.
TRaster CheckBoxes(int cell, int frames, bool round) {
  TRaster strip(cell * frames, cell);
  for (int f = 0; f < frames; ++f) {
    TRaster frame(cell, cell);
    const bool checked = (f % 2) == 1 || (frames == 4 && f >= 2);
    const bool hot = frames == 6 ? (f / 2) == 1 : (f % 2) == 1;
    const bool disabled = frames == 6 && f >= 4;
    const double c = cell / 2.0;
    const TShape box = round ? Circle(c, c, c - 0.5) : RoundedRect(0.5, 0.5, cell - 0.5, cell - 0.5, 1.5);
    const TShape face = round ? Circle(c, c, c - 1.5) : RoundedRect(1.5, 1.5, cell - 1.5, cell - 1.5, 0.8);
    frame.Paint(box, disabled ? Rgb(0xC8C8C8) : hot ? kAccentDim : Rgb(0x6B6F76), 1.0, Solid(kFormColour));
    frame.Paint(face, disabled ? Rgb(0xEDEDED) : Rgb(0xFFFFFF));
    if (checked) {
      const TRgb mark = disabled ? Rgb(0xA0A0A0) : Rgb(0x2E3135);
      if (round)
        frame.Paint(Circle(c, c, c * 0.38), mark);
      else
        frame.Paint(Union(Segment(cell * 0.25, cell * 0.52, cell * 0.43, cell * 0.7, 0.9),
                          Segment(cell * 0.43, cell * 0.7, cell * 0.76, cell * 0.3, 0.9)),
                    mark);
    }
    strip.Draw(frame, f * cell, 0);
  }
  return strip;
}

TRaster Gradient(int width, int height, TRgb top, TRgb bottom, TRgb edge) {
  TRaster r(width, height);
  r.VerticalGradient(0, 0, width, height, top, bottom);
  r.FillRect(0, 0, width, 1, edge);
  r.FillRect(0, height - 1, width, height, edge);
  return r;
}

TRaster ProgressEdge() { return Gradient(2, 15, Rgb(0x8E9198), Rgb(0x8E9198), Rgb(0x8E9198)); }

TRaster TrackBar() {
  TRaster r(60, 6);
  for (int f = 0; f < 3; ++f)
    r.Paint(RoundedRect(f * 20 + 0.5, 1, f * 20 + 19.5, 5, 2), f == 1 ? kAccentDim : Rgb(0x6B6F76), 1.0, Solid(kFormColour));
  return r;
}

TRaster Slider(int width, int height) {
  TRaster r(width, height);
  r.Paint(RoundedRect(0.5, 0.5, width - 0.5, height - 0.5, 2.5), kEdgeDark, 1.0, Solid(kFormColour));
  r.Paint(RoundedRect(1.5, 1.5, width - 1.5, height - 1.5, 1.5), Rgb(0x4A4E54));
  return r;
}

// Three 17 x 17 scroll buttons (normal, hot, pressed) with an arrow.
TRaster ScrollButtons(bool up) {
  TRaster strip(51, 17);
  for (int f = 0; f < 3; ++f) {
    TRaster frame(17, 17);
    frame.VerticalGradient(0, 0, 17, 17, f == 2 ? Rgb(0x2B2E32) : Rgb(0x4A4E54), f == 1 ? Rgb(0x44474D) : Rgb(0x33363B));
    const double tip = up ? 6 : 11, base = up ? 10.5 : 6.5;
    frame.Paint(Union(Segment(5, base, 8.5, tip, 0.8), Segment(8.5, tip, 12, base, 0.8)), kGlyph);
    strip.Draw(frame, f * 17, 0);
  }
  return strip;
}

TRaster ScrollBar() {
  TRaster r(17, 61, Rgb(0xF4F3F3));
  r.Paint(RoundedRect(3, 2, 14, 59, 4), Rgb(0x6B6F76), 1.0);
  r.Paint(RoundedRect(4, 3, 13, 58, 3.2), Rgb(0x80848B), 1.0);
  return r;
}

TRaster TabControl() {
  TRaster r(24, 24);
  r.Paint(RoundedRect(0.5, 0.5, 23.5, 30, 3), kControlBorder, 1.0, Solid(kFormColour));
  r.Paint(RoundedRect(1.5, 1.5, 22.5, 30, 2), Rgb(0xFFFFFF));
  r.FillRect(2, 1, 22, 3, kAccent);
  return r;
}

TRaster ScrollButtonStrip() {
  TRaster strip(72, 18);
  for (int f = 0; f < 4; ++f) {
    TRaster frame(18, 18);
    frame.Paint(RoundedRect(0.5, 0.5, 17.5, 17.5, 3), f == 2 ? Rgb(0x2B2E32) : f == 1 ? Rgb(0x5A5E65) : Rgb(0x44474D), 1.0,
                Solid(kFormColour));
    const bool left = f % 2 == 0;
    const double tip = left ? 6.5 : 11.5, base = left ? 10.5 : 7.5;
    frame.Paint(Union(Segment(base, 5.5, tip, 9, 0.8), Segment(tip, 9, base, 12.5, 0.8)), kGlyph);
    strip.Draw(frame, f * 18, 0);
  }
  return strip;
}

TRaster SideChannelBar() {
  TRaster r(8, 84);
  r.VerticalGradient(0, 0, 8, 84, Rgb(0x3A3D42), Rgb(0x26282C));
  r.FillRect(7, 0, 8, 84, Rgb(0x592E0D));
  return r;
}

TRaster SideChannelTitle() {
  TRaster r(35, 22);
  for (int y = 0; y < 22; ++y) r.FillRect(0, y, 35, y + 1, TitleColour(y * (kTitleHeight - 1) / 21));
  return r;
}

}  // namespace

std::vector<TSkinPicture> DrawSkinPictures() {
  std::vector<TSkinPicture> p;
  p.push_back({"SKIN2_TITLEBAR1", TitleSection(126, true, false)});
  p.push_back({"SKIN2_TITLEBAR2", TitleSection(190, false, false)});
  p.push_back({"SKIN2_TITLEBAR3", TitleSection(125, false, true)});
  p.push_back({"SKIN2_FORMLEFTBORDER", SideBorder(true)});
  p.push_back({"SKIN2_FORMRIGHTBORDER", SideBorder(false)});
  p.push_back({"SKIN2_FORMBOTTOMBORDER1", BottomSection(126, true, false)});
  p.push_back({"SKIN2_FORMBOTTOMBORDER2", BottomSection(190, false, false)});
  p.push_back({"SKIN2_FORMBOTTOMBORDER3", BottomSection(125, false, true)});
  p.push_back({"SKIN2_MINIMIZEDTITLE", MinimizedTitle()});
  p.push_back({"SKIN2_TITLEBUTTONS", TitleButtons()});
  p.push_back({"SKIN2_CHECKEDMENUICON", CheckedMenuIcon()});
  p.push_back({"SKIN2_TOOLBAR", ToolBar()});
  p.push_back({"SKIN2_BUTTON", PushButtons()});
  p.push_back({"SKIN2_CHECKBOX", CheckBoxes(13, 6, false)});
  p.push_back({"SKIN2_CHECKBOXLIST", CheckBoxes(11, 4, false)});
  p.push_back({"SKIN2_RADIOBUTTON", CheckBoxes(13, 4, true)});
  p.push_back({"SKIN2_PROGRESSBAR1", ProgressEdge()});
  p.push_back({"SKIN2_PROGRESSBAR2", Gradient(16, 15, Rgb(0xE4E4E4), Rgb(0xF8F8F8), Rgb(0xB5B5B5))});
  p.push_back({"SKIN2_PROGRESSBAR3", Gradient(14, 15, Rgb(0xD8B43A), Rgb(0x94811F), Rgb(0x6E5F16))});
  p.push_back({"SKIN2_PROGRESSBAR4", ProgressEdge()});
  p.push_back({"SKIN2_TRACKBAR", TrackBar()});
  p.push_back({"SKIN2_TRACKBARSLIDER", Slider(11, 21)});
  p.push_back({"SKIN2_TRACKBARVSLIDER", Slider(21, 11)});
  p.push_back({"SKIN2_SCROLLBARUPBUTTON", ScrollButtons(true)});
  p.push_back({"SKIN2_SCROLLBAR", ScrollBar()});
  p.push_back({"SKIN2_SCROLLBARDOWNBUTTON", ScrollButtons(false)});
  p.push_back({"SKIN2_TABCONTROL", TabControl()});
  p.push_back({"SKIN2_TABCONTROLLINE", Gradient(26, 1, kControlBorder, kControlBorder, kControlBorder)});
  p.push_back({"SKIN2_SIDECHANNELBAR", SideChannelBar()});
  p.push_back({"SKIN2_SIDECHANNELTITLE", SideChannelTitle()});
  p.push_back({"SKIN2_SCROLLBUTTON", ScrollButtonStrip()});
  return p;
}

TRaster ComposeTitleBarPreview(const std::vector<TSkinPicture>& pictures) {
  auto find = [&](const char* key) -> const TRaster& {
    for (const TSkinPicture& p : pictures)
      if (p.key == key) return p.picture;
    return pictures.front().picture;
  };
  // Scaled up 3x below the 1:1 strip so details can be judged.
  const int width = 243;
  TRaster bar(width, 36 + 4 + 40 + 4 + 27);
  bar.FillRect(0, 0, width, bar.Height(), kFormColour);
  const TRaster& left = find("SKIN2_TITLEBAR1");
  const TRaster& middle = find("SKIN2_TITLEBAR2");
  const TRaster& right = find("SKIN2_TITLEBAR3");
  bar.Draw(left, 0, 0);
  for (int x = left.Width(); x < width - right.Width(); ++x) bar.Draw(middle.Crop(0, 0, 1, 36), x, 0);
  bar.Draw(right, width - right.Width(), 0);
  const TRaster& buttons = find("SKIN2_TITLEBUTTONS");
  auto putButton = [&](int frame, int x, int y, const TRgb* under) {
    for (int by = 0; by < 20; ++by)
      for (int bx = 0; bx < 20; ++bx) {
        const TRgb c = buttons.At(frame * 20 + bx, by);
        if (c.r == 255 && c.g == 0 && c.b == 255) {
          if (under) bar.At(x + bx, y + by) = *under;
          continue;
        }
        bar.At(x + bx, y + by) = c;
      }
  };
  // Close, minimise at the right; control box at the left.
  putButton(15, width - 14 - 20, 7, nullptr);
  putButton(12, width - 14 - 40, 7, nullptr);
  putButton(0, 9, 7, nullptr);
  // Second row: all 18 frames side by side, over the bar colour.
  for (int f = 0; f < 12; ++f) {
    const TRgb under = TitleColour(20);
    putButton(f, f * 20, 40, &under);
  }
  for (int f = 12; f < 18; ++f) {
    const TRgb under = TitleColour(20);
    putButton(f, (f - 12) * 20, 60, &under);
  }
  const TRaster& push = find("SKIN2_BUTTON");
  bar.Draw(push.Crop(0, 0, 118, 27), 125, 60);
  return bar;
}

}  // namespace plx::skingen
