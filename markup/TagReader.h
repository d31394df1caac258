#pragma once
// Recognising one tag at the front of the remaining markup and applying it to
// the render state. Tags do not nest: each sets or clears part of the state,
// and closing tags go back to fixed values (mostly the starting font), not to
// what was in force before the matching opening tag.
//
// A layout engine drives this tag by tag, once per pass over a line:
//   MarkupTag tag = ReadTag(rest);               // rest starts with '<'
//   TagEffect effect = ApplyTag(state, tag, pass);
//   ... perform effect.Action (break the line, draw a bullet, a picture ...)
//   rest.remove_prefix(tag.Text.size());
// Everything that only changes the state is done by ApplyTag; layout and
// painting are reported in the effect and left to the caller.

#include <optional>
#include <string>
#include <string_view>

#include "framework/Types.h"
#include "markup/RenderState.h"

namespace plx {

enum class TagKind {
  None,  // selects nothing: removed without effect
  // Opening tags.
  Anchor, Bold, Blink, Body, Break, ErrorMark, Font, Highlight, Rule, Italic, Indent, Image, ListItem,
  Offset, Paragraph, Rotate, StrikeOut, Shadow, Subscript, Superscript, Underline, List, Hidden,
  // Closing tags.
  EndAnchor, EndBold, EndColor /* /BLINK, /BODY and any other </B..> */, EndErrorMark, EndFont,
  EndHighlight, EndItalic /* also /IMG and /IND */, EndListItem, EndOffset, EndParagraph, EndRotate,
  EndScript /* /SUB and /SUP */, EndShadow, EndStrikeOut, EndUnderline, EndList, EndHidden,
};

struct MarkupTag {
  TagKind Kind = TagKind::None;
  std::string_view Text;    // from '<' through the first '>', or to the end when there is none
  bool Terminated = false;  // a '>' was found
};

// Reads the tag at the front of `rest` (which should start with '<'). Only
// the first one or two letters of the name select the tag; a closing tag needs
// more than three characters of remaining markup.
MarkupTag ReadTag(std::string_view rest);

// The pass the tag is applied in.
struct TagPass {
  bool Drawing = false;   // false in measuring and hit-testing passes
  bool Selected = false;  // the entry is drawn selected: its own colours stay off
  bool BlinkOn = true;    // visible phase of blinking text
  TColor URLColor = clBlue;
};

enum class PictureTextAlign { Bottom, Top, Middle };

struct PictureAttributes {
  std::string Source;  // "SRC" as written, or the upper-cased "ALT" while this picture is hovered
  int Width = 0;       // 0 when absent
  int Height = 0;
  PictureTextAlign TextAlign = PictureTextAlign::Bottom;
  bool Wrap = false;  // the picture does not make its line taller
  int Index = 0;      // this picture's number within the string, from 1
};

struct BodyAttributes {
  std::string Background;  // picture tiled over the bounds (upper-cased)
  std::string TopLeft;     // picture placed once at the top left
  std::string TopRight;    // picture placed once at the top right
  std::optional<TColor> Color;
  std::optional<TColor> ColorTo;  // with Color: a gradient instead of a fill
  bool Vertical = false;          // gradient direction: "DIR" other than "H"
};

enum class TagAction {
  None,
  LineBreak,            // end the line
  HorizontalRule,       // end the line and rule a line under it
  Bullet,               // a list bullet at the current list level
  Indent,               // move the pen to Value when it is left of it
  Offset,               // move the pen to the absolute position Value
  Picture,              // place Picture
  BodyBackground,       // paint Body over the whole bounds (drawing, not selected)
  ParagraphBackground,  // fill or shade the line with ParagraphColor(To) (drawing)
};

struct TagEffect {
  TagAction Action = TagAction::None;
  int Value = 0;  // pixels for Indent and Offset, as written: any int
  PictureAttributes Picture;
  BodyAttributes Body;
  TColor ParagraphColor = clNone;
  std::optional<TColor> ParagraphColorTo;
};

// Applies `tag` to `state` for one pass. FONT and P take effect only with
// their closing '>'; other tags cut off by the end of the markup still apply.
TagEffect ApplyTag(RenderState& state, const MarkupTag& tag, const TagPass& pass);

}  // namespace plx
