#include "markup/TagReader.h"

#include <limits>

#include "markup/ColorValues.h"
#include "markup/MarkupInteger.h"
#include "markup/TagAttributes.h"
#include "markup/TextSearch.h"

namespace plx {

namespace {

// Where the attribute text starts, as a 1-based character of the tag: after
// "<FONT" and "<BODY", after "<P" and "<I".
constexpr std::size_t kLongTagAttributes = 6;
constexpr std::size_t kShortTagAttributes = 3;

// Counters kept by the state stop here instead of overflowing on huge texts.
constexpr int kMaxCount = std::numeric_limits<int>::max();

char UpperAt(std::string_view text, std::size_t i) { return i < text.size() ? AsciiUpper(text[i]) : '\0'; }

TagKind SelectOpeningTag(std::string_view rest) {
  const char second = UpperAt(rest, 2);
  switch (UpperAt(rest, 1)) {
    case 'A': return TagKind::Anchor;
    case 'B':
      switch (second) {
        case '>': return TagKind::Bold;
        case 'L': return TagKind::Blink;
        case 'O': return TagKind::Body;
        case 'R': return TagKind::Break;
        default: return TagKind::None;
      }
    case 'E': return TagKind::ErrorMark;
    case 'F': return TagKind::Font;
    case 'H':
      if (second == 'I') return TagKind::Highlight;
      if (second == 'R') return TagKind::Rule;
      return TagKind::None;
    case 'I':
      if (second == '>') return TagKind::Italic;
      if (second == 'N') return TagKind::Indent;
      if (second == 'M') return TagKind::Image;
      return TagKind::None;
    case 'L': return TagKind::ListItem;
    case 'O': return second == 'F' ? TagKind::Offset : TagKind::None;
    case 'P': return TagKind::Paragraph;
    case 'R': return TagKind::Rotate;
    case 'S':
      if (second == '>') return TagKind::StrikeOut;
      if (second == 'H') return TagKind::Shadow;
      if (StartsWithNoCase(rest, "<SUB>")) return TagKind::Subscript;
      if (StartsWithNoCase(rest, "<SUP>")) return TagKind::Superscript;
      return TagKind::None;
    case 'U':
      if (rest.size() < 3) return TagKind::None;
      return second == '>' ? TagKind::Underline : TagKind::List;
    case 'Z': return TagKind::Hidden;
    default: return TagKind::None;
  }
}

TagKind SelectClosingTag(std::string_view rest) {
  const char second = UpperAt(rest, 3);
  switch (UpperAt(rest, 2)) {
    case 'A': return TagKind::EndAnchor;
    case 'B': return second == '>' ? TagKind::EndBold : TagKind::EndColor;
    case 'E': return TagKind::EndErrorMark;
    case 'F': return TagKind::EndFont;
    case 'H': return TagKind::EndHighlight;
    case 'I': return TagKind::EndItalic;
    case 'L': return TagKind::EndListItem;
    case 'O': return TagKind::EndOffset;
    case 'P': return TagKind::EndParagraph;
    case 'R': return TagKind::EndRotate;
    case 'S':
      if (second == 'U') return TagKind::EndScript;
      if (second == 'H') return TagKind::EndShadow;
      return TagKind::EndStrikeOut;
    case 'U': return second == '>' ? TagKind::EndUnderline : TagKind::EndList;
    case 'Z': return TagKind::EndHidden;
    default: return TagKind::None;
  }
}

int FontSizeFromMarkup(int value) {
  // The five classic sizes map to points; anything else already is points.
  switch (value) {
    case 1: return 8;
    case 2: return 10;
    case 3: return 12;
    case 4: return 14;
    case 5: return 16;
    default: return value;
  }
}

void ApplyFont(RenderState& state, std::string_view tag, const TagPass& pass) {
  const TagAttributes attributes(tag, kLongTagAttributes);
  // A face written without quotes counts as empty and names no font; the
  // text engine then picks its default face.
  if (attributes.Has("FACE")) state.Font.Name = std::string(attributes.Value("FACE"));
  // The blank keeps "BGCOLOR" from matching.
  if (!pass.Selected) {
    if (const auto color = ColorFromAttribute(attributes.Value(" COLOR"))) state.Font.Color = *color;
  }
  if (attributes.Has("BGCOLOR") && pass.Drawing && !pass.Selected) {
    state.SavedFontBackground = state.Background;
    if (const auto color = ColorFromAttribute(attributes.Value("BGCOLOR"))) state.Background = *color;
  }
  if (attributes.Has("SIZE")) state.Font.Size = FontSizeFromMarkup(attributes.NumberAfterEquals("SIZE"));
}

TagEffect ApplyParagraph(RenderState& state, std::string_view tag, const TagPass& pass) {
  TagEffect effect;
  const TagAttributes attributes(tag, kShortTagAttributes);
  if (attributes.Has("ALIGN")) {
    // Tested in this order; the last test that matches wins.
    const std::string_view align = attributes.Value("ALIGN");
    if (align.find("RIGHT") != std::string_view::npos) state.Alignment = ParagraphAlignment::Right;
    if (align.find("LEFT") != std::string_view::npos) state.Alignment = ParagraphAlignment::Left;
    if (align.find("CENTER") != std::string_view::npos) state.Alignment = ParagraphAlignment::Center;
  }
  if (attributes.Has("INDENT")) state.ParagraphIndent = ReadMarkupInteger(attributes.Value("INDENT")).Value;
  if (pass.Drawing) {
    if (const auto color = ColorFromAttribute(attributes.Value("BGCOLOR"))) {
      state.ParagraphBackgroundOn = true;
      effect.Action = TagAction::ParagraphBackground;
      effect.ParagraphColor = *color;
      effect.ParagraphColorTo = ColorFromAttribute(attributes.Value("BGCOLORTO"));
      if (effect.ParagraphColorTo) {
        state.Background = clNone;  // the gradient is painted; text stays transparent on it
      } else {
        state.SavedParagraphBackground = state.Background;
        state.Background = *color;
      }
    }
  }
  return effect;
}

TagEffect ApplyBody(RenderState& state, std::string_view tag, const TagPass& pass) {
  TagEffect effect;
  if (!pass.Drawing || pass.Selected) return effect;
  const TagAttributes attributes(tag, kLongTagAttributes);
  BodyAttributes& body = effect.Body;
  body.Background = std::string(attributes.Value("BACKGROUND"));
  body.TopLeft = std::string(attributes.Value("BGTOPLEFT"));
  body.TopRight = std::string(attributes.Value("BGTOPRIGHT"));
  body.Color = ColorFromAttribute(attributes.Value("BGCOLOR"));
  if (body.Color) body.ColorTo = ColorFromAttribute(attributes.Value("BGCOLORTO"));
  // Horizontal unless a "DIR" is written with another value than "H"; an
  // unquoted value counts as empty, and empty is not "H".
  body.Vertical = attributes.Has("DIR") && attributes.Value("DIR") != "H";
  if (body.Color) {
    if (body.ColorTo) {
      state.Background = clNone;
    } else {
      // Text on a filled body is drawn opaquely on its colour; /FONT goes back
      // to what was there before.
      state.SavedFontBackground = state.Background;
      state.Background = *body.Color;
    }
  }
  effect.Action = TagAction::BodyBackground;
  return effect;
}

TagEffect ApplyImage(RenderState& state, std::string_view tag) {
  TagEffect effect;
  effect.Action = TagAction::Picture;
  if (state.ImageCounter < kMaxCount) ++state.ImageCounter;
  const TagAttributes attributes(tag, kShortTagAttributes);
  PictureAttributes& picture = effect.Picture;
  picture.Index = state.ImageCounter;
  // The alternative picture stands in while the mouse is on this picture.
  if (attributes.Has("ALT") && state.HoveredImage == state.ImageCounter) {
    picture.Source = std::string(attributes.Value("ALT"));
  } else {
    picture.Source = std::string(attributes.ValueAsWritten("SRC"));
  }
  picture.Width = ReadMarkupInteger(attributes.Value("WIDTH")).Value;
  picture.Height = ReadMarkupInteger(attributes.Value("HEIGHT")).Value;
  const std::string_view upper = attributes.UpperText();
  if (upper.find("ALIGN") != std::string_view::npos) {
    if (upper.find("\"TOP") != std::string_view::npos) {
      picture.TextAlign = PictureTextAlign::Top;
    } else if (upper.find("\"MIDDLE") != std::string_view::npos) {
      picture.TextAlign = PictureTextAlign::Middle;
    }
  }
  picture.Wrap = upper.find("WRAP") != std::string_view::npos;
  return effect;
}

void Rotate(RenderState& state, std::string_view tag) {
  const int angle = ReadMarkupInteger(QuotedValueAfterLetter(tag, 'a', 2)).Value;
  // Like every tag, R does not nest: it remembers the font in force right
  // now, so after a second R the /R goes back to the first rotation.
  state.FontBeforeRotation = state.Font;
  state.Rotated = true;
  // A full turn changes nothing; reducing the angle keeps the tenths of a
  // degree from overflowing.
  state.Font.Escapement = (angle % 360) * 10;
}

void EndRotation(RenderState& state) {
  if (!state.Rotated) return;
  state.Font = state.FontBeforeRotation;
  state.Rotated = false;
}

}  // namespace

MarkupTag ReadTag(std::string_view rest) {
  MarkupTag tag;
  if (rest.empty() || rest[0] != '<') return tag;
  const std::size_t close = rest.find('>', 1);
  tag.Terminated = close != std::string_view::npos;
  tag.Text = tag.Terminated ? rest.substr(0, close + 1) : rest;
  const bool closing = UpperAt(rest, 1) == '/' && rest.size() > 3;
  tag.Kind = closing ? SelectClosingTag(rest) : SelectOpeningTag(rest);
  return tag;
}

TagEffect ApplyTag(RenderState& state, const MarkupTag& tag, const TagPass& pass) {
  TagEffect effect;
  MarkupFont& font = state.Font;
  switch (tag.Kind) {
    case TagKind::None: break;

    case TagKind::Anchor:
      state.InAnchor = true;
      state.Anchor = std::string(QuotedValueAfter(tag.Text, 0));
      if (pass.Drawing) font.Style.Underline = true;
      if (!pass.Selected) font.Color = pass.URLColor;
      break;
    case TagKind::Bold: font.Style.Bold = true; break;
    case TagKind::Blink:
      // The hidden phase paints the text in the colour the entry had before.
      if (!pass.BlinkOn) font.Color = state.StartBackground;
      break;
    case TagKind::Body: effect = ApplyBody(state, tag.Text, pass); break;
    case TagKind::Break: effect.Action = TagAction::LineBreak; break;
    case TagKind::ErrorMark:
      if (pass.Drawing) state.ErrorMark = true;
      break;
    case TagKind::Font:
      if (tag.Terminated) ApplyFont(state, tag.Text, pass);
      break;
    case TagKind::Highlight:
      if (pass.Drawing) {
        state.SavedHighlightColor = font.Color;
        state.SavedHighlightBackground = state.Background;
        state.Background = clHighlight;
        font.Color = clHighlightText;
      }
      break;
    case TagKind::Rule: effect.Action = TagAction::HorizontalRule; break;
    case TagKind::Italic: font.Style.Italic = true; break;
    case TagKind::Indent: {
      // An indent that is not a clean number is ignored.
      const MarkupInteger x = ReadMarkupInteger(QuotedValueAfterLetter(tag.Text, 'x'));
      if (x.Clean) {
        effect.Action = TagAction::Indent;
        effect.Value = x.Value;
      }
      break;
    }
    case TagKind::Image: effect = ApplyImage(state, tag.Text); break;
    case TagKind::ListItem: effect.Action = TagAction::Bullet; break;
    case TagKind::Offset:
      state.HorizontalOffset = ReadMarkupInteger(QuotedValueAfterLetter(tag.Text, 'x')).Value;
      effect.Action = TagAction::Offset;
      effect.Value = state.HorizontalOffset;
      break;
    case TagKind::Paragraph:
      if (tag.Terminated) effect = ApplyParagraph(state, tag.Text, pass);
      break;
    case TagKind::Rotate: Rotate(state, tag.Text); break;
    case TagKind::StrikeOut: font.Style.StrikeOut = true; break;
    case TagKind::Shadow: state.Shadow = true; break;
    case TagKind::Subscript: state.Subscript = true; break;
    case TagKind::Superscript: state.Superscript = true; break;
    case TagKind::Underline: font.Style.Underline = true; break;
    case TagKind::List:
      // Saturates: a text of nothing but "<UL>" must not overflow the level.
      if (state.ListLevel < kMaxCount) ++state.ListLevel;
      effect.Action = TagAction::LineBreak;
      break;
    case TagKind::Hidden: state.Hidden = true; break;

    case TagKind::EndAnchor:
      if (pass.Drawing) font.Style.Underline = false;
      if (!pass.Selected) font.Color = state.StartFont.Color;
      state.InAnchor = false;
      break;
    case TagKind::EndBold: font.Style.Bold = false; break;
    case TagKind::EndColor: font.Color = state.StartFont.Color; break;
    case TagKind::EndErrorMark:
      if (pass.Drawing) state.ErrorMark = false;
      break;
    case TagKind::EndFont:
      font.Name = state.StartFont.Name;
      font.Size = state.StartFont.Size;
      if (pass.Drawing && !pass.Selected) {
        font.Color = state.StartFont.Color;
        state.Background = state.SavedFontBackground;
      }
      break;
    case TagKind::EndHighlight:
      if (pass.Drawing) {
        // Without an earlier HI there is no font colour to go back to; keep
        // the current one rather than draw in "no colour".
        if (state.SavedHighlightColor != clNone) font.Color = state.SavedHighlightColor;
        state.Background = state.SavedHighlightBackground;
      }
      break;
    case TagKind::EndItalic: font.Style.Italic = false; break;
    case TagKind::EndListItem: effect.Action = TagAction::LineBreak; break;
    case TagKind::EndOffset: state.HorizontalOffset = 0; break;
    case TagKind::EndParagraph:
      effect.Action = TagAction::LineBreak;
      if (pass.Drawing) {
        state.Background = state.SavedParagraphBackground;
        state.ParagraphBackgroundOn = false;
      }
      break;
    case TagKind::EndRotate: EndRotation(state); break;
    case TagKind::EndScript:
      state.Subscript = false;
      state.Superscript = false;
      break;
    case TagKind::EndShadow: state.Shadow = false; break;
    case TagKind::EndStrikeOut: font.Style.StrikeOut = false; break;
    case TagKind::EndUnderline: font.Style.Underline = false; break;
    case TagKind::EndList:
      if (state.ListLevel > 0) {
        --state.ListLevel;
      } else {
        font.Style.Underline = false;
      }
      break;
    case TagKind::EndHidden: state.Hidden = false; break;
  }
  return effect;
}

}  // namespace plx
