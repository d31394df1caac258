#include "markup/MarkupLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "markup/MarkupGeometry.h"
#include "markup/MarkupInteger.h"
#include "markup/MarkupPictureSource.h"
#include "markup/MarkupPreprocess.h"
#include "markup/TagReader.h"
#include "markup/TextSearch.h"

namespace plx {

namespace {

constexpr int kBulletIndent = 12;       // pixels per list level
constexpr int kBodyGradientBands = 64;  // BODY and P gradients
constexpr TColor kRuleColor = 0x000000;

// What one line has gathered so far. Height, script room and the picture
// text lift carry from the measuring pass into the drawing pass; the rest
// starts afresh in every pass.
struct LineState {
  int PenX = 0;
  int Height = 0;
  int SubscriptRoom = 0;
  int SuperscriptRoom = 0;
  int PictureTextLift = 0;
  int TrailingBlankWidth = 0;
  bool TextEmpty = true;       // no visible text placed on the line yet
  bool TextEndsInBlank = false;
  bool BulletSeen = false;
  bool Full = false;           // a picture or a second bullet did not fit
  bool Ended = false;          // a break tag, or a run that did not fit
  bool Broken = false;         // ended by a break tag: another line follows
};

class LayoutEngine {
 public:
  LayoutEngine(MarkupSurface& surface, const MarkupLayoutRequest& request, MarkupLayout& out)
      : surface_(surface), request_(request), out_(out) {
    bounds_ = TRect{ClampCoordinate(request.Bounds.Left), ClampCoordinate(request.Bounds.Top),
                    ClampCoordinate(request.Bounds.Right), ClampCoordinate(request.Bounds.Bottom)};
    line_spacing_ = ClampCoordinate(request.LineSpacing);
    shadow_offset_ = ClampCoordinate(request.ShadowOffset);
    pass_.Selected = request.Selected;
    pass_.BlinkOn = request.BlinkOn;
    pass_.URLColor = request.URLColor;
  }

  void Run(std::string_view markup);

 private:
  // One pass over a line: consumes from the front of `rest` what fits and
  // counts its bytes in `consumed`. What a line consumes is always a prefix
  // of the markup it started at: markup is only ever dropped at its end.
  // Unless measuring, sets down the line's drawing and anchors.
  void RenderLine(std::string_view& rest, const TRect& line, bool measuring, std::size_t* consumed);
  void TextRun(std::string_view& rest, std::size_t length, const TRect& line, int baseBottom, bool measuring,
               std::size_t* consumed);
  void Tag(std::string_view& rest, const TRect& line, int baseBottom, bool measuring, std::size_t* consumed);
  void Bullet(const TRect& line, int baseBottom, bool drawing);
  void Picture(const PictureAttributes& picture, const TRect& line, bool drawing);
  void BodyBackground(const BodyAttributes& body, const TRect& line, bool drawing);
  void ParagraphBackground(const TagEffect& effect, const TRect& line, int baseBottom);
  void ErrorMark(int left, int right, int baseBottom);

  // The size of an "IDX:", "SSYS:" or "LSYS:" picture, drawn at (x, y) when
  // asked; nothing for other sources. `source` loses the prefix it had.
  std::optional<MarkupSize> ListOrIconPicture(std::string& source, bool draw, int x, int y);
  void DrawBackgroundPicture(std::string_view value, bool tiled, bool atRight, const TRect& line);

  // The drawing pass starts from the state the measuring pass started from,
  // except for what the measuring pass finds for it (see RenderState).
  void RestoreForDrawing(const LinePassState& before) { static_cast<LinePassState&>(state_) = before; }
  void SelectFont() { surface_.SelectFont(state_.Font); }
  int LineTextHeight() { return surface_.TextHeight("gh"); }

  MarkupStep& Emit(MarkupStepKind kind, const TRect& r) {
    // A layout only hit-tested keeps nothing to draw.
    MarkupStep& step = request_.HitTestOnly ? (discarded_ = MarkupStep{}) : out_.Steps.emplace_back();
    step.Kind = kind;
    step.Rect = r;
    return step;
  }
  // A run of `width` pixels, joined to the text step before it where it
  // carries that text on.
  void EmitText(std::string_view text, const TRect& r, int width, const MarkupFont& font, TextFormat format,
                TColor color);
  void EmitFill(const TRect& r, TColor color) { Emit(MarkupStepKind::Fill, r).Color = color; }
  // The step's text, put at the end of the layout's text.
  void SetText(MarkupStep& step, std::string_view text) {
    if (request_.HitTestOnly) return;
    step.TextStart = out_.Text.size();
    step.TextLength = text.size();
    out_.Text.append(text);
  }
  void EmitGradient(TColor from, TColor to, bool horizontal, const TRect& r);

  MarkupSurface& surface_;
  const MarkupLayoutRequest& request_;
  MarkupLayout& out_;
  TRect bounds_;
  int line_spacing_ = 0;
  int shadow_offset_ = 0;
  TagPass pass_;
  TextFormat format_ = 0;

  RenderState state_;
  LineState line_;
  int run_left_ = 0;
  int carried_offset_ = 0;
  // Text anchors of the line being placed, across; their band at the line's
  // bottom is known once the whole line is.
  std::vector<MarkupAnchorBox> text_anchors_;
  MarkupStep discarded_;
  std::string run_text_;  // the run being laid out, entities decoded
};

void LayoutEngine::EmitText(std::string_view text, const TRect& r, int width, const MarkupFont& font,
                            TextFormat format, TColor color) {
  if (request_.HitTestOnly) return;
  std::size_t index = 0;
  while (index < out_.Fonts.size() && !(out_.Fonts[index] == font)) ++index;
  if (index == out_.Fonts.size()) out_.Fonts.push_back(font);
  const int end = AddCoordinates(r.Left, width);
  // The words of a wrapped text follow each other on a line: set down as one
  // run, they are drawn with one call and each glyph lands where drawing them
  // one by one would put it. Joined only on the terms text is drawn alike
  // either way: after a blank (no '&' prefix spans the two), without tabs
  // (stops count from the start of the string) or a cut, and on a
  // transparent background or in an upright, regular font (no overhang
  // reaches into the next run's box); never in the Symbol font, whose
  // characters are drawn from other code points.
  if (!out_.Steps.empty() && out_.Steps.back().Kind == MarkupStepKind::Text) {
    MarkupStep& last = out_.Steps.back();
    const MarkupFont& lastFont = out_.Fonts[last.Font];
    const std::string_view lastText = out_.TextOf(last);
    if (last.Font == index && last.Format == format && last.Color == color &&
        last.Background == state_.Background && last.Rect.Top == r.Top && last.Rect.Bottom == r.Bottom &&
        last.Rect.Right == r.Right && last.Value == r.Left && !lastText.empty() && lastText.back() == ' ' &&
        last.TextStart + last.TextLength == out_.Text.size() && (format & tfEndEllipsis) == 0 &&
        !ContainsByte(text, '\t') && !ContainsByte(lastText, '\t') &&
        (last.Background == clNone || (!lastFont.Style.Italic && !lastFont.Style.Bold)) &&
        !StartsWithNoCase(lastFont.Name, "Symbol")) {
      out_.Text.append(text);
      last.TextLength += text.size();
      last.Value = end;
      return;
    }
  }
  MarkupStep& step = Emit(MarkupStepKind::Text, r);
  step.Font = static_cast<std::uint16_t>(index);
  step.Format = format;
  step.Color = color;
  step.Background = state_.Background;
  step.Value = end;
  SetText(step, text);
}

void LayoutEngine::EmitGradient(TColor from, TColor to, bool horizontal, const TRect& r) {
  MarkupStep& step = Emit(MarkupStepKind::Gradient, r);
  step.Color = from;
  step.Background = to;
  step.Flag = horizontal;
  step.Value = kBodyGradientBands;
}

void LayoutEngine::Run(std::string_view markup) {
  const PreprocessedMarkup prepared = PreprocessMarkup(markup, request_.WordWrap);
  format_ = prepared.Format;
  if (!request_.HitTestOnly && !request_.MeasureOnly) {
    // Room for what a short entry sets down, taken at once: the texts are
    // at most the markup's (twice with a shadow), and a long markup is only
    // laid out as far as its area reaches.
    out_.Text.reserve(std::min<std::size_t>(prepared.Markup.size(), 4096));
    out_.Steps.reserve(8);
    out_.Lines.reserve(4);
  }
  state_ = RenderState(request_.StartFont, request_.StartBackground, format_);
  state_.Background = clNone;

  // The measuring passes and the drawing passes each carry their own font
  // from line to line; both begin with the starting font.
  MarkupFont measuringFont = request_.StartFont;
  MarkupFont drawingFont = request_.StartFont;
  int lineTop = bounds_.Top;
  std::string_view rest = prepared.Markup;
  // A break starts a new line even at the very end of the markup.
  bool brokenAtEnd = false;
  while (!rest.empty() || brokenAtEnd) {
    line_ = LineState{};
    state_.Subscript = false;
    state_.Superscript = false;
    state_.Font = measuringFont;
    SelectFont();
    line_.Height = LineTextHeight();
    const int stopHeight = line_.Height;

    const LinePassState before = state_;
    const std::string_view lineStart = rest;
    std::size_t consumed = 0;
    const TRect lineRect{bounds_.Left + 1, lineTop, bounds_.Right, bounds_.Bottom};
    RenderLine(rest, lineRect, true, &consumed);
    measuringFont = state_.Font;
    brokenAtEnd = line_.Broken && rest.empty();
    const int lineWidth = line_.PenX;
    if (!request_.MeasureOnly) RestoreForDrawing(before);
    // Without a drawing pass the measured state runs on to the next line,
    // as the drawing pass's would have.

    // A negative spacing may tighten lines but never make them run backwards.
    line_.Height = std::max(0, AddCoordinates(line_.Height, line_spacing_));
    TRect aligned = lineRect;
    if (state_.Alignment == ParagraphAlignment::Right) {
      if (static_cast<std::int64_t>(aligned.Right) - lineWidth > aligned.Left) aligned.Left = aligned.Right - lineWidth;
    } else if (state_.Alignment == ParagraphAlignment::Center) {
      const std::int64_t room = static_cast<std::int64_t>(aligned.Right) - aligned.Left - lineWidth;
      if (room > 0) aligned.Left = ClampCoordinate(aligned.Left + room / 2);
    }
    aligned.Left = AddCoordinates(aligned.Left, ClampCoordinate(state_.ParagraphIndent));
    const int lineBlock =
        AddCoordinates(AddCoordinates(line_.Height, line_.SubscriptRoom), line_.SuperscriptRoom);
    aligned.Bottom = AddCoordinates(aligned.Top, lineBlock);

    if (!request_.MeasureOnly) {
      state_.Font = drawingFont;
      SelectFont();
      // Lines lead drawing to their steps: a layout only hit-tested has none.
      if (!request_.HitTestOnly) out_.Lines.push_back(MarkupLine{aligned, out_.Steps.size()});
      text_anchors_.clear();
      std::string_view lineMarkup = lineStart.substr(0, consumed);
      RenderLine(lineMarkup, aligned, false, nullptr);
      drawingFont = state_.Font;
      // Text anchors count only inside the text band at the line's bottom.
      const int textBottom = AddCoordinates(aligned.Bottom, -line_.PictureTextLift);
      const int bandTop = AddCoordinates(AddCoordinates(textBottom, -LineTextHeight()), 1);
      for (MarkupAnchorBox& anchor : text_anchors_) {
        anchor.Box.Top = bandTop;
        anchor.Box.Bottom = textBottom;
        out_.Anchors.push_back(std::move(anchor));
      }
      state_.HorizontalOffset = ClampCoordinate(state_.HorizontalOffset);
      carried_offset_ = state_.HorizontalOffset;
    }

    lineTop = AddCoordinates(lineTop, lineBlock);
    out_.ExtentY = AddCoordinates(out_.ExtentY, lineBlock);
    // Drawing stops where the next line would not fit.
    if (!request_.MeasureOnly && static_cast<std::int64_t>(bounds_.Bottom) < static_cast<std::int64_t>(lineTop) + stopHeight)
      break;
  }
  if (out_.ExtentY == 0) {
    state_.Font = request_.StartFont;
    SelectFont();
    out_.ExtentY = LineTextHeight();
  }
}

void LayoutEngine::RenderLine(std::string_view& rest, const TRect& line, bool measuring, std::size_t* consumed) {
  const bool drawing = !measuring;
  pass_.Drawing = drawing;
  const int baseBottom = AddCoordinates(line.Bottom, -line_.SubscriptRoom);
  line_.PenX = 0;
  line_.TrailingBlankWidth = 0;
  line_.TextEmpty = true;
  line_.TextEndsInBlank = false;
  line_.BulletSeen = false;
  line_.Full = false;
  line_.Ended = false;
  line_.Broken = false;
  run_left_ = drawing ? AddCoordinates(line.Left, carried_offset_) : line.Left;

  if (drawing && state_.ParagraphBackgroundOn && state_.Background != clNone) {
    EmitFill(TRect{bounds_.Left, line.Top, bounds_.Right, AddCoordinates(line.Top, line_.Height)},
             state_.Background);
  }

  while (!rest.empty() && !line_.Ended && !line_.Full) {
    // A run reaches up to the next tag, or with word wrap through the next
    // blank before it. Only the run is scanned, not the rest of the markup:
    // a line of many words would otherwise cost the square of its length.
    std::size_t run = 0;
    while (run < rest.size() && rest[run] != '<') {
      if (rest[run++] == ' ' && request_.WordWrap) break;
    }
    if (run > 0) TextRun(rest, run, line, baseBottom, measuring, consumed);
    // A '<' with at most one character after it can never be a tag.
    if (!rest.empty() && rest.front() == '<' && rest.size() <= 2) rest = {};
    if (!line_.Ended && rest.size() >= 3 && rest.front() == '<') Tag(rest, line, baseBottom, measuring, consumed);
  }

  line_.PenX = AddCoordinates(line_.PenX, -line_.TrailingBlankWidth);
  if (out_.ExtentX < line_.PenX) out_.ExtentX = AddCoordinates(line_.PenX, 2);
}

void LayoutEngine::TextRun(std::string_view& rest, std::size_t length, const TRect& line, int baseBottom,
                           bool measuring, std::size_t* consumed) {
  const std::string_view raw = rest.substr(0, length);
  // Most runs hold no entity: they are measured and placed as they stand.
  std::string_view text = raw;
  if (ContainsByte(raw, '&')) {
    DecodeRunEntities(raw, run_text_);
    text = run_text_;
  }
  const int height = surface_.TextHeight(text);
  if (state_.Subscript) line_.SubscriptRoom = std::max(line_.SubscriptRoom, height / 4);
  if (state_.Superscript) line_.SuperscriptRoom = std::max(line_.SuperscriptRoom, height / 4);
  line_.Height = std::max(line_.Height, height);

  // Hidden text takes no room and is not handed to the drawing pass.
  if (state_.Hidden) {
    rest.remove_prefix(length);
    return;
  }

  int width = 0;
  if (measuring) {
    width = ClampCoordinate(surface_.MeasureText(text, TRect{line.Left, line.Top, line.Right, baseBottom}, format_));
    line_.PenX = AddCoordinates(line_.PenX, width);
  } else {
    TRect r{run_left_, line.Top, std::max(line.Right, run_left_), baseBottom};
    if (state_.Superscript) r.Bottom = AddCoordinates(r.Bottom, -line_.SuperscriptRoom);
    if (state_.Subscript) r.Bottom = AddCoordinates(r.Bottom, line_.SubscriptRoom);
    r.Bottom = AddCoordinates(r.Bottom, -line_.PictureTextLift);
    const TextFormat drawFormat = format_ & ~static_cast<TextFormat>(tfExternalLeading);
    width = ClampCoordinate(surface_.MeasureText(text, r, format_));
    if (state_.Shadow) {
      const TRect shadow{AddCoordinates(r.Left, shadow_offset_), AddCoordinates(r.Top, shadow_offset_),
                         AddCoordinates(r.Right, shadow_offset_), AddCoordinates(r.Bottom, shadow_offset_)};
      EmitText(text, shadow, width, state_.Font, drawFormat, request_.ShadowColor);
    }
    EmitText(text, r, width, state_.Font, drawFormat, state_.Font.Color);
    const int right = AddCoordinates(r.Left, width);
    if (state_.ErrorMark) ErrorMark(r.Left, right, baseBottom);
    // The run's anchor reaches over both its ends.
    if (state_.InAnchor) {
      text_anchors_.push_back(MarkupAnchorBox{TRect{r.Left, 0, AddCoordinates(right, 1), 0}, state_.Anchor, false});
    }
    run_left_ = right;
  }

  // Fit rule: the run fits while the pen stays left of the available width; a
  // run wider than the whole line is placed anyway, and a run that continues
  // a word (the line text does not end in a blank) stays with it.
  const std::int64_t available = static_cast<std::int64_t>(line.Right) - line.Left - carried_offset_;
  bool fits = line_.PenX < available || width >= available;
  if (!fits && !line_.TextEmpty && !line_.TextEndsInBlank) fits = true;
  if (!text.empty()) {
    line_.TextEmpty = false;
    line_.TextEndsInBlank = text.back() == ' ';
  }
  if (fits || !request_.WordWrap) {
    if (consumed) *consumed += raw.size();
    rest.remove_prefix(length);
    // The decoded text is what was measured: an entity before the blank
    // makes it shorter than the raw run.
    line_.TrailingBlankWidth = (!text.empty() && text.back() == ' ') ? surface_.TextWidth(" ") : 0;
  } else {
    line_.Ended = true;
    line_.PenX = AddCoordinates(line_.PenX, -width);
  }
}

void LayoutEngine::Tag(std::string_view& rest, const TRect& line, int baseBottom, bool measuring,
                       std::size_t* consumed) {
  const bool drawing = !measuring;
  const MarkupTag tag = ReadTag(rest);
  const TagEffect effect = ApplyTag(state_, tag, pass_);
  SelectFont();
  switch (effect.Action) {
    case TagAction::None: break;
    case TagAction::LineBreak:
      line_.Ended = true;
      line_.Broken = true;
      break;
    case TagAction::HorizontalRule:
      line_.Ended = true;
      line_.Broken = true;
      if (drawing) {
        const int y = AddCoordinates(baseBottom, 1);
        Emit(MarkupStepKind::Line, TRect{line.Left, y, line.Right, y}).Color = kRuleColor;
      }
      break;
    case TagAction::Bullet: Bullet(line, baseBottom, drawing); break;
    case TagAction::Indent: {
      const int x = ClampCoordinate(effect.Value);
      if (line_.PenX < x) {
        line_.PenX = x;
        run_left_ = AddCoordinates(bounds_.Left, x);
      }
      break;
    }
    case TagAction::Offset:
      // An absolute position on the canvas; carried into the next line.
      state_.HorizontalOffset = ClampCoordinate(effect.Value);
      run_left_ = state_.HorizontalOffset;
      line_.PenX = state_.HorizontalOffset;
      break;
    case TagAction::Picture: Picture(effect.Picture, line, drawing); break;
    case TagAction::BodyBackground: BodyBackground(effect.Body, line, drawing); break;
    case TagAction::ParagraphBackground: ParagraphBackground(effect, line, baseBottom); break;
  }
  if (line_.Full) return;  // the tag starts the next line
  if (tag.Terminated) {
    if (consumed) *consumed += tag.Text.size();
    rest.remove_prefix(tag.Text.size());
  } else {
    rest = {};
  }
}

void LayoutEngine::Bullet(const TRect& line, int baseBottom, bool drawing) {
  const std::int64_t indent = static_cast<std::int64_t>(kBulletIndent) * state_.ListLevel;
  line_.PenX = ClampCoordinate(line_.PenX + indent);
  if (line_.BulletSeen) {
    line_.Full = true;
    return;
  }
  line_.BulletSeen = true;
  run_left_ = ClampCoordinate(run_left_ + indent - kBulletIndent);
  if (drawing && !state_.Hidden) {
    MarkupFont symbol = state_.Font;
    symbol.Name = "Symbol";
    const char* glyph = (state_.ListLevel % 2 == 1) ? "\xB7" : "o";
    EmitText(glyph, TRect{run_left_, line.Top, std::max(line.Right, run_left_), baseBottom}, 0, symbol, 0,
             state_.Font.Color);
  }
  run_left_ = AddCoordinates(run_left_, kBulletIndent);
}

std::optional<MarkupSize> LayoutEngine::ListOrIconPicture(std::string& source, bool draw, int x, int y) {
  std::optional<MarkupSize> size;
  // A source is of these kinds only by its start: "http://h/IDX:1" is a URL.
  if (StartsWithNoCase(source, "IDX:")) {
    source.erase(0, 4);
    const MarkupInteger index = ReadMarkupInteger(source);
    const std::optional<MarkupSize> listSize = surface_.ImageListSize();
    if (listSize && index.Value >= 0 && index.Value < surface_.ImageCount()) {
      size = MarkupSize{ScaleToDevice(listSize->Width, surface_.PixelsPerInchX()),
                        ScaleToDevice(listSize->Height, surface_.PixelsPerInchY())};
      if (draw) Emit(MarkupStepKind::ListImage, TRect{x, y, x, y}).Value = index.Value;
    }
  }
  const bool small = StartsWithNoCase(source, "SSYS:");
  if (small || StartsWithNoCase(source, "LSYS:")) {
    source.erase(0, 5);
    const MarkupSize icon = surface_.SystemIcon(source, !small, false, x, y);
    if (draw) {
      MarkupStep& step = Emit(MarkupStepKind::Icon, TRect{x, y, x, y});
      SetText(step, source);
      step.Flag = !small;
    }
    size = MarkupSize{ScaleToDevice(icon.Width, surface_.PixelsPerInchX()),
                      ScaleToDevice(icon.Height, surface_.PixelsPerInchY())};
  }
  return size;
}

void LayoutEngine::Picture(const PictureAttributes& attributes, const TRect& line, bool drawing) {
  std::string source = attributes.Source;
  const int wantWidth = ClampPictureSize(attributes.Width);
  const int wantHeight = ClampPictureSize(attributes.Height);
  MarkupSize size;
  if (const auto listOrIcon = ListOrIconPicture(source, drawing, run_left_, line.Top)) size = *listOrIcon;
  const std::optional<MarkupPictureInfo> picture = NamedOrUrlPicture(surface_, source);
  if (picture && !picture->Empty) {
    const bool stretched = wantWidth >= 1 && wantHeight >= 1;
    if (drawing) {
      MarkupStep& step =
          stretched ? Emit(MarkupStepKind::StretchedPicture,
                           TRect{run_left_, line.Top, AddCoordinates(run_left_, wantWidth),
                                 AddCoordinates(line.Top, wantHeight)})
                    : Emit(MarkupStepKind::Picture, TRect{run_left_, line.Top, run_left_, line.Top});
      SetText(step, source);
    }
    const MarkupSize natural = stretched ? MarkupSize{wantWidth, wantHeight} : picture->MaxSize;
    size = MarkupSize{ScaleToDevice(ClampPictureSize(natural.Width), surface_.PixelsPerInchX()),
                      ScaleToDevice(ClampPictureSize(natural.Height), surface_.PixelsPerInchY())};
  }

  // A picture under the mouse in an anchor shows its alternative: found in
  // the measuring pass, so that the placing pass draws that one.
  const std::int64_t mouseX = static_cast<std::int64_t>(request_.MouseX) - line.Left;
  if (state_.InAnchor && line_.PenX < mouseX && mouseX < static_cast<std::int64_t>(line_.PenX) + size.Width &&
      line.Top < request_.MouseY && request_.MouseY < static_cast<std::int64_t>(line.Top) + size.Height) {
    state_.HoveredImage = state_.ImageCounter;
  }

  const std::int64_t lineWidth = static_cast<std::int64_t>(line.Right) - line.Left;
  if (lineWidth < static_cast<std::int64_t>(line_.PenX) + size.Width && size.Width < lineWidth) {
    line_.Full = true;
    return;
  }
  if (drawing && state_.InAnchor && size.Width > 0 && size.Height > 0) {
    out_.Anchors.push_back(MarkupAnchorBox{TRect{AddCoordinates(run_left_, 1), AddCoordinates(line.Top, 1),
                                                 AddCoordinates(run_left_, size.Width),
                                                 AddCoordinates(line.Top, size.Height)},
                                           state_.Anchor, true});
  }
  line_.PenX = AddCoordinates(line_.PenX, size.Width);
  run_left_ = AddCoordinates(run_left_, size.Width);
  line_.Height = std::max(line_.Height, size.Height);

  if (attributes.TextAlign == PictureTextAlign::Top) {
    line_.PictureTextLift = line_.Height - LineTextHeight();
  } else if (attributes.TextAlign == PictureTextAlign::Middle) {
    line_.PictureTextLift = (line_.Height - LineTextHeight()) / 2;
  }
  if (attributes.Wrap) {
    line_.Height = LineTextHeight();
    line_.PictureTextLift = 0;
  }
}

void LayoutEngine::DrawBackgroundPicture(std::string_view value, bool tiled, bool atRight, const TRect& line) {
  std::string source(value);
  // List images and icons are placed once on the line, as an IMG would be.
  const int listX = atRight ? line.Right : run_left_;
  std::optional<MarkupSize> placed;
  if (atRight) {
    // Measured first, drawn once its width is known.
    std::string probe = source;
    placed = ListOrIconPicture(probe, false, 0, 0);
    if (placed) ListOrIconPicture(source, true, AddCoordinates(listX, -placed->Width), line.Top);
  } else {
    placed = ListOrIconPicture(source, true, listX, line.Top);
  }
  const std::optional<MarkupPictureInfo> picture = NamedOrUrlPicture(surface_, source);
  if (!picture || picture->Empty) return;
  const int width = ScaleToDevice(ClampPictureSize(picture->MaxSize.Width), surface_.PixelsPerInchX());
  Emit(MarkupStepKind::PushClip, bounds_);
  if (tiled) {
    SetText(Emit(MarkupStepKind::TiledPicture, bounds_), source);
  } else {
    const int x = atRight ? AddCoordinates(bounds_.Right, -width) : bounds_.Left;
    // Drawn at its own place: the frame offset does not move it.
    MarkupStep& step = Emit(MarkupStepKind::Picture, TRect{x, bounds_.Top, x, bounds_.Top});
    SetText(step, source);
    step.Flag = true;
  }
  Emit(MarkupStepKind::PopClip, TRect{});
}

void LayoutEngine::BodyBackground(const BodyAttributes& body, const TRect& line, bool drawing) {
  if (!drawing) return;
  if (!body.Background.empty()) DrawBackgroundPicture(body.Background, true, false, line);
  if (!body.TopLeft.empty()) DrawBackgroundPicture(body.TopLeft, false, false, line);
  if (!body.TopRight.empty()) DrawBackgroundPicture(body.TopRight, false, true, line);
  if (!body.Color) return;
  if (body.ColorTo) {
    EmitGradient(*body.Color, *body.ColorTo, !body.Vertical, bounds_);
  } else {
    EmitFill(TRect{AddCoordinates(bounds_.Left, -2), bounds_.Top, bounds_.Right, bounds_.Bottom}, *body.Color);
  }
}

void LayoutEngine::ParagraphBackground(const TagEffect& effect, const TRect& line, int baseBottom) {
  if (effect.ParagraphColorTo) {
    EmitGradient(effect.ParagraphColor, *effect.ParagraphColorTo, true,
                 TRect{bounds_.Left, line.Top, bounds_.Right, AddCoordinates(baseBottom, 2)});
  } else {
    EmitFill(TRect{bounds_.Left, line.Top, bounds_.Right, baseBottom}, effect.ParagraphColor);
  }
}

void LayoutEngine::ErrorMark(int left, int right, int baseBottom) {
  Emit(MarkupStepKind::ErrorMark, TRect{left, baseBottom, right, baseBottom}).Value = baseBottom;
}

}  // namespace

MarkupLayout LayoutMarkup(MarkupSurface& surface, std::string_view markup, const MarkupLayoutRequest& request) {
  MarkupLayout layout;
  LayoutEngine engine(surface, request, layout);
  engine.Run(markup);
  return layout;
}

}  // namespace plx
