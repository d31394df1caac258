#pragma once
// Drawing, measuring and hit-testing one markup string on a canvas: the
// routine every list entry is handed to. The canvas' font, brush colour and
// brush style at entry are the starting values of the render; the canvas'
// font, pen and brush are unchanged afterwards.

#include <string>

#include "framework/Graphics.h"
#include "framework/ImageList.h"
#include "framework/Types.h"

namespace plx {

class THTMLPictureCache;
class TPictureContainer;

// Lays `markup` out in `bounds` and, unless hitTestOnly or measureOnly, draws
// it. Answers true when (mouseX, mouseY) lies on an anchor; anchorUnderMouse
// is then that anchor's value. extentX is 2 more than the widest line and
// extentY the height of all lines. measureOnly makes one measuring pass per
// line and does not stop at the bottom of the bounds. Pictures come from
// `images` ("IDX:"), `pictureCache` (by URL, loaded into it on first use) and
// `pictureContainer` (by name); any of them may be null.
bool RenderMarkup(TCanvas& canvas, const std::string& markup, const TRect& bounds, TCustomImageList* images,
                  int mouseX, int mouseY, int shadowOffset, bool hitTestOnly, bool measureOnly, bool selected,
                  bool blinkOn, bool wordWrap, TColor urlColor, TColor shadowColor, std::string& anchorUnderMouse,
                  int& extentX, int& extentY, THTMLPictureCache* pictureCache, TPictureContainer* pictureContainer,
                  int lineSpacing);

// A banded gradient from `from` to `to` over r, horizontal or vertical, in
// `bands` bands (0 counts as 1), then a one-pixel outline in `border` unless
// it is clNone.
void GradientFill(TCanvas& canvas, TColor from, TColor to, bool horizontal, const TRect& r, int bands,
                  TColor border);

}  // namespace plx
