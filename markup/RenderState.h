#pragma once
// The state one markup string is rendered with: where the tags of the string
// have taken the font, colours and layout flags so far. A plain value, so a
// layout engine can copy it before measuring a line and put it back before
// drawing the same line.

#include <cstdint>
#include <string>

#include "framework/Types.h"

namespace plx {

struct FontStyles {
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  friend bool operator==(const FontStyles&, const FontStyles&) = default;
};

// What the markup knows of a font; the drawing side turns it into a real one.
struct MarkupFont {
  std::string Name;
  int Size = 8;  // points
  FontStyles Style;
  TColor Color = clWindowText;
  int Escapement = 0;  // tenths of a degree, set while text is rotated
  friend bool operator==(const MarkupFont&, const MarkupFont&) = default;
};

// Flags for every text output of one render; the drawing side maps them to
// the platform's text-drawing options.
enum TextFormatFlag : std::uint32_t {
  tfBottom = 1u << 0,            // align to the bottom of the rectangle
  tfSingleLine = 1u << 1,
  tfExpandTabs = 1u << 2,
  tfExternalLeading = 1u << 3,   // include the font's external leading
  tfNoPrefix = 1u << 4,          // '&' is shown, not read as an underline prefix
  tfEndEllipsis = 1u << 5,       // text cut at the right edge ends in "..."
};
using TextFormat = std::uint32_t;

enum class ParagraphAlignment { Left, Right, Center };

// What both passes over a line go through alike: the drawing pass starts
// again from the values the measuring pass started from.
struct LinePassState {
  MarkupFont Font;
  bool Rotated = false;
  MarkupFont FontBeforeRotation;  // selected again by /R

  bool InAnchor = false;
  std::string Anchor;  // as written, case kept
  bool Hidden = false;
  bool Shadow = false;
  bool Subscript = false;
  bool Superscript = false;
  int ListLevel = 0;

  int HorizontalOffset = 0;  // pixels
  int ImageCounter = 0;

  friend bool operator==(const LinePassState&, const LinePassState&) = default;
};

// The rest is either fixed for the render, found by the measuring pass for
// the drawing pass (paragraph alignment and indent, the picture under the
// mouse), or carried by the drawing passes alone (colours and marks).
struct RenderState : LinePassState {
  RenderState() = default;
  // Starts from the canvas: its font and brush colour are what closing tags
  // and blinking text return to.
  RenderState(const MarkupFont& canvasFont, TColor canvasBrushColor, TextFormat format)
      : StartFont(canvasFont), StartBackground(canvasBrushColor), Format(format) {
    Font = canvasFont;
  }

  MarkupFont StartFont;
  TColor StartBackground = clNone;
  TextFormat Format = 0;

  TColor Background = clNone;  // clNone: text is drawn transparently
  bool ErrorMark = false;

  // Sizes, indents and offsets come from the markup as written and may lie
  // anywhere in the int range: layout arithmetic on them must not assume
  // screen-sized values.
  ParagraphAlignment Alignment = ParagraphAlignment::Left;
  int ParagraphIndent = 0;  // pixels
  bool ParagraphBackgroundOn = false;

  int HoveredImage = -1;

  // Colours put back by closing tags; clNone when nothing was saved.
  TColor SavedFontBackground = clNone;       // by FONT and BODY background colours, for /FONT
  TColor SavedHighlightColor = clNone;       // font colour before HI
  TColor SavedHighlightBackground = clNone;  // background before HI
  TColor SavedParagraphBackground = clNone;  // background before a P background

  friend bool operator==(const RenderState&, const RenderState&) = default;
};

}  // namespace plx
