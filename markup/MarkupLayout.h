#pragma once
// The layout engine behind RenderMarkup: it breaks a markup string into
// lines, measures and places its text runs and pictures, and sets down what
// drawing it takes (backgrounds, rules, bullets, decorations) and where its
// anchors lie, as a MarkupLayout value. Drawing and hit-testing then only
// read that value, as often as they like.
//
// Every line is laid out twice: a measuring pass at the left edge finds how
// much of the remaining markup fits and how wide and high the line is; then
// a second pass over exactly that markup, on the line moved for alignment
// and indent, places its runs, pictures and anchors.
//
// Platform-neutral: all measuring and drawing goes through a MarkupSurface.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/Types.h"
#include "markup/MarkupSurface.h"
#include "markup/RenderState.h"

namespace plx {

// What changes the layout of a string. Two equal requests over the same
// string and surface metrics give the same layout.
struct MarkupLayoutRequest {
  TRect Bounds;                 // area to lay the string out in
  int MouseX = 0;               // the point a hovered picture reacts to, and
  int MouseY = 0;               // that RenderOnSurface hit-tests
  int ShadowOffset = 0;         // pixels right and down for shadow text
  bool HitTestOnly = false;     // anchors only: the layout keeps nothing to draw
  bool MeasureOnly = false;     // one measuring pass per line, no stop at the bottom; nothing to draw
  bool Selected = false;        // markup colours that fight the selection stay off
  bool BlinkOn = true;          // visible phase of blinking text
  bool WordWrap = true;         // break at blanks; otherwise cut lines with an ellipsis
  TColor URLColor = clBlue;
  TColor ShadowColor = clGray;
  int LineSpacing = 0;          // extra pixels on every line
  MarkupFont StartFont;         // the canvas font at entry
  TColor StartBackground = clNone;  // the canvas brush colour at entry
};

enum class MarkupStepKind : std::uint8_t {
  Text,              // a run: Text in Fonts[Font], Color on Background, into Rect with Format, ending at x = Value
  Fill,              // Rect in Color
  Gradient,          // Rect from Color to Background, horizontal when Flag, in Value bands
  Line,              // from (Rect.Left, Rect.Top) to (Rect.Right, Rect.Bottom) in Color
  ErrorMark,         // a zigzag under Rect.Left..Rect.Right about the base line Value
  ListImage,         // image Value of the image list at (Rect.Left, Rect.Top)
  Icon,              // the system icon Text, large when Flag, at (Rect.Left, Rect.Top)
  Picture,           // the picture Text with its frame's corner at (Rect.Left, Rect.Top)
  StretchedPicture,  // the picture Text stretched into Rect
  TiledPicture,      // the picture Text repeated over Rect from its top-left corner
  PushClip,          // drawing clipped to Rect until the matching PopClip
  PopClip,
};

// One thing drawing does, in the order the markup asks for it. Pictures are
// named by their source and looked up when drawn, so an animation shows its
// current frame; what only the drawing surface knows (the clip box, system
// colours) is also read when drawn.
struct MarkupStep {
  MarkupStepKind Kind = MarkupStepKind::Text;
  bool Flag = false;
  std::uint16_t Font = 0;
  TextFormat Format = 0;
  int Value = 0;
  TRect Rect;
  TColor Color = clNone;
  TColor Background = clNone;
  // The step's text or picture source: TextLength bytes of the layout's
  // Text from TextStart (MarkupLayout::TextOf).
  std::size_t TextStart = 0;
  std::size_t TextLength = 0;
};

// Where an anchor reacts to the mouse: x and y in [Left, Right) and
// [Top, Bottom).
struct MarkupAnchorBox {
  TRect Box;
  std::string Value;  // as written, case kept
  bool Picture = false;
};

struct MarkupLine {
  TRect Box;               // placed for alignment and indent; as high as the line's block
  std::size_t FirstStep = 0;
};

// A string laid out for a surface, a width and a starting font.
struct MarkupLayout {
  std::vector<MarkupFont> Fonts;
  std::vector<MarkupLine> Lines;
  std::vector<MarkupStep> Steps;
  // The texts of all steps one after the other: one block for a whole
  // layout rather than one for each of its runs.
  std::string Text;
  std::vector<MarkupAnchorBox> Anchors;
  int ExtentX = 0;  // 2 more than the widest line
  int ExtentY = 0;  // total height of the lines

  std::string_view TextOf(const MarkupStep& step) const {
    return std::string_view(Text).substr(step.TextStart, step.TextLength);
  }
};

MarkupLayout LayoutMarkup(MarkupSurface& surface, std::string_view markup, const MarkupLayoutRequest& request);

// Draws a layout made on a surface with the same metrics, moved down by dy
// pixels: a layout does not depend on where its top lies. With fillArea,
// plain fills are cut to it, as a clip to that area would cut them.
void DrawMarkupLayout(MarkupSurface& surface, const MarkupLayout& layout, int dy = 0,
                      const TRect* fillArea = nullptr);

// Whether drawing the layout moved down by dy, with plain fills cut to area,
// can only paint inside area. Text is clipped to its own rectangle;
// pictures, images and icons are sized only when drawn, so a layout with any
// of them does not count as inside.
bool MarkupLayoutDrawsWithin(const MarkupLayout& layout, const TRect& area, int dy = 0);

// The anchor under (x, y), or null; with picturesOnly, text anchors do not
// count. Where boxes meet, the one laid out last wins.
const MarkupAnchorBox* MarkupAnchorAt(const MarkupLayout& layout, int x, int y, bool picturesOnly = false);

// What one render of a string on a surface answers.
struct MarkupLayoutResult {
  bool OnAnchor = false;         // the point lies on an anchor
  std::string AnchorUnderMouse;  // meaningful when OnAnchor
  int ExtentX = 0;
  int ExtentY = 0;
};

// Lays the string out and, unless measuring or hit-testing only, draws it.
// While drawing only picture anchors count as under the mouse.
MarkupLayoutResult RenderOnSurface(MarkupSurface& surface, std::string_view markup, const MarkupLayoutRequest& request);

// A banded gradient from `from` to `to` over r (bands 0 counts as 1), then a
// one-pixel outline in `border` unless it is clNone.
void FillGradient(MarkupSurface& surface, TColor from, TColor to, bool horizontal, const TRect& r, int bands,
                  TColor border);

}  // namespace plx
