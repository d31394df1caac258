#pragma once
// The layout and drawing engine behind RenderMarkup: it breaks a markup
// string into lines, measures and places its text runs and pictures, paints
// backgrounds, rules, bullets and decorations, and finds the anchor under a
// point. Every line is laid out twice: a measuring pass at the left edge finds
// how much of the remaining markup fits and how wide and high the line is;
// then a second pass over exactly that markup draws it (or only hit-tests it)
// on the line moved for alignment and indent.
//
// Platform-neutral: all drawing and measuring goes through a MarkupSurface.

#include <string>
#include <string_view>

#include "framework/Types.h"
#include "markup/MarkupSurface.h"
#include "markup/RenderState.h"

namespace plx {

struct MarkupLayoutRequest {
  TRect Bounds;                 // area to lay the string out in
  int MouseX = 0;               // point to hit-test
  int MouseY = 0;
  int ShadowOffset = 0;         // pixels right and down for shadow text
  bool HitTestOnly = false;     // lay out and hit-test, draw nothing
  bool MeasureOnly = false;     // one measuring pass per line, no stop at the bottom
  bool Selected = false;        // markup colours that fight the selection stay off
  bool BlinkOn = true;          // visible phase of blinking text
  bool WordWrap = true;         // break at blanks; otherwise cut lines with an ellipsis
  TColor URLColor = clBlue;
  TColor ShadowColor = clGray;
  int LineSpacing = 0;          // extra pixels on every line
  MarkupFont StartFont;         // the canvas font at entry
  TColor StartBackground = clNone;  // the canvas brush colour at entry
};

struct MarkupLayoutResult {
  bool OnAnchor = false;         // the point lies on an anchor
  std::string AnchorUnderMouse;  // meaningful when OnAnchor
  int ExtentX = 0;               // 2 more than the widest line
  int ExtentY = 0;               // total height of the lines
};

MarkupLayoutResult LayoutMarkup(MarkupSurface& surface, std::string_view markup, const MarkupLayoutRequest& request);

// A banded gradient from `from` to `to` over r (bands 0 counts as 1), then a
// one-pixel outline in `border` unless it is clNone.
void FillGradient(MarkupSurface& surface, TColor from, TColor to, bool horizontal, const TRect& r, int bands,
                  TColor border);

}  // namespace plx
