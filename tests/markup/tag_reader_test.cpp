#include "markup/TagReader.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "markup/MarkupPreprocess.h"

namespace plx {
namespace {

const MarkupFont kCanvasFont{"MS Sans Serif", 8, {}, clWindowText, 0};
constexpr TColor kCanvasBrush = clWindow;

const TagPass kMeasuring{false, false, true, clBlue};
const TagPass kDrawing{true, false, true, clBlue};
const TagPass kDrawingSelected{true, true, true, clBlue};

RenderState StartState() { return RenderState(kCanvasFont, kCanvasBrush, 0); }

// What one pass over a string does: the state each text run is drawn with,
// and the effects the tags hand to the layout.
struct PassRecord {
  std::vector<std::pair<std::string, RenderState>> Runs;
  std::vector<TagEffect> Effects;
  RenderState End;
};

PassRecord RunPass(std::string_view markup, const TagPass& pass, RenderState state = StartState()) {
  PassRecord record;
  while (!markup.empty()) {
    const std::size_t lt = markup.find('<');
    if (lt != 0) {
      const std::string_view run = markup.substr(0, lt);
      record.Runs.emplace_back(std::string(run), state);
      markup.remove_prefix(run.size());
      continue;
    }
    if (markup.size() <= 2) break;
    const MarkupTag tag = ReadTag(markup);
    record.Effects.push_back(ApplyTag(state, tag, pass));
    markup.remove_prefix(tag.Text.size());
  }
  record.End = state;
  return record;
}

const RenderState& StateOfRun(const PassRecord& record, std::string_view text) {
  for (const auto& [run, state] : record.Runs) {
    if (run == text) return state;
  }
  ADD_FAILURE() << "no run " << text;
  return record.End;
}

TEST(ReadTagTest, SelectsByTheFirstOneOrTwoLetters) {
  struct Case {
    std::string Markup;
    TagKind Kind;
  };
  const Case cases[] = {
      {"<A href=\"x\">", TagKind::Anchor}, {"<B>", TagKind::Bold},          {"<b>", TagKind::Bold},
      {"<BIG>", TagKind::None},            {"<BOLD>", TagKind::Body},       {"<BLINK>", TagKind::Blink},
      {"<BR>", TagKind::Break},            {"<E>", TagKind::ErrorMark},     {"<F>", TagKind::Font},
      {"<HI>", TagKind::Highlight},        {"<HR>", TagKind::Rule},         {"<H1>", TagKind::None},
      {"<I>", TagKind::Italic},            {"<IND x=\"1\">", TagKind::Indent}, {"<img>", TagKind::Image},
      {"<IX>", TagKind::None},             {"<LI>", TagKind::ListItem},     {"<OF>", TagKind::Offset},
      {"<OX>", TagKind::None},             {"<P>", TagKind::Paragraph},     {"<R a=\"9\">", TagKind::Rotate},
      {"<S>", TagKind::StrikeOut},         {"<SHADOW>", TagKind::Shadow},   {"<sub>", TagKind::Subscript},
      {"<SuP>", TagKind::Superscript},     {"<SUBX>", TagKind::None},       {"<SPAN>", TagKind::None},
      {"<U>", TagKind::Underline},         {"<UL>", TagKind::List},         {"<Z>", TagKind::Hidden},
      {"<X>", TagKind::None},              {"<>", TagKind::None},
      {"</A>", TagKind::EndAnchor},        {"</B>", TagKind::EndBold},      {"</BLINK>", TagKind::EndColor},
      {"</BODY>", TagKind::EndColor},      {"</BR>", TagKind::EndColor},    {"</E>", TagKind::EndErrorMark},
      {"</FONT>", TagKind::EndFont},       {"</HI>", TagKind::EndHighlight}, {"</I>", TagKind::EndItalic},
      {"</IMG>", TagKind::EndItalic},      {"</IND>", TagKind::EndItalic},  {"</LI>", TagKind::EndListItem},
      {"</OF>", TagKind::EndOffset},       {"</P>", TagKind::EndParagraph}, {"</R>", TagKind::EndRotate},
      {"</SUB>", TagKind::EndScript},      {"</sup>", TagKind::EndScript},  {"</SHADOW>", TagKind::EndShadow},
      {"</S>", TagKind::EndStrikeOut},     {"</STRIKE>", TagKind::EndStrikeOut}, {"</U>", TagKind::EndUnderline},
      {"</UL>", TagKind::EndList},         {"</Z>", TagKind::EndHidden},    {"</X>", TagKind::None},
      {"</>", TagKind::None},              // three characters: not a closing tag
      {"</B", TagKind::None},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadTag(c.Markup).Kind, c.Kind) << c.Markup;
  }
}

TEST(ReadTagTest, TagRunsThroughTheFirstCloseOrToTheEnd) {
  const MarkupTag closed = ReadTag("<B>x>y");
  EXPECT_EQ(closed.Text, "<B>");
  EXPECT_TRUE(closed.Terminated);
  const MarkupTag open = ReadTag("<A href=\"x");
  EXPECT_EQ(open.Text, "<A href=\"x");
  EXPECT_FALSE(open.Terminated);
  EXPECT_EQ(ReadTag("x<B>").Kind, TagKind::None);
  EXPECT_EQ(ReadTag("").Text, "");
}

TEST(ApplyTagTest, LettersThatSelectNothingLeaveTheFontAlone) {
  // <BIG> selects nothing; <BOLD> reads as a BODY without attributes.
  for (const char* markup : {"<BIG>x", "<BOLD>x"}) {
    const PassRecord record = RunPass(markup, kDrawing);
    EXPECT_EQ(StateOfRun(record, "x").Font, kCanvasFont) << markup;
  }
}

TEST(ApplyTagTest, StyleTagsSwitchTheirStyleAndClosingTagsSwitchItOff) {
  const PassRecord record = RunPass("<B>b<I>bi<U>biu<S>bius</B>ius</I>us</U>s</S>n", kDrawing);
  const auto style = [&](const char* run) { return StateOfRun(record, run).Font.Style; };
  EXPECT_EQ(style("b"), (FontStyles{true, false, false, false}));
  EXPECT_EQ(style("bius"), (FontStyles{true, true, true, true}));
  EXPECT_EQ(style("ius"), (FontStyles{false, true, true, true}));
  EXPECT_EQ(style("s"), (FontStyles{false, false, false, true}));
  EXPECT_EQ(style("n"), FontStyles{});
}

TEST(ApplyTagTest, ClosingImageTagClosesItalic) {
  const PassRecord record = RunPass("<I>a<IMG src=\"x\"></IMG>b", kDrawing);
  EXPECT_TRUE(StateOfRun(record, "a").Font.Style.Italic);
  EXPECT_FALSE(StateOfRun(record, "b").Font.Style.Italic);
}

TEST(ApplyTagTest, ClosingFontGoesBackToTheStartingColourNotTheOuterFont) {
  const PassRecord record =
      RunPass("<FONT color=\"clred\">a<FONT color=\"clblue\">b</FONT>c</FONT>d<FONT color=\"red\">e", kDrawing);
  EXPECT_EQ(StateOfRun(record, "a").Font.Color, clRed);
  EXPECT_EQ(StateOfRun(record, "b").Font.Color, clBlue);
  EXPECT_EQ(StateOfRun(record, "c").Font.Color, clWindowText);
  EXPECT_EQ(StateOfRun(record, "e").Font.Color, clBlack);  // red is not a colour name
}

TEST(ApplyTagTest, FontAttributes) {
  struct Case {
    std::string Tag;
    std::string Name;
    int Size;
    TColor Color;
  };
  const Case cases[] = {
      {"<FONT face=\"Tahoma\" size=\"3\" color=\"#FF0000\">", "TAHOMA", 12, clRed},
      {"<FONT size=1>", "MS Sans Serif", 8, clWindowText},
      {"<FONT size=\"5\">", "MS Sans Serif", 16, clWindowText},
      {"<FONT size=\"7\">", "MS Sans Serif", 7, clWindowText},
      {"<FONT size=\"0\">", "MS Sans Serif", 0, clWindowText},
      {"<FONT size=\"+2pt\">", "MS Sans Serif", 10, clWindowText},
      {"<FONT color=clred face=Arial>", "", 8, clWindowText},  // unquoted values are empty
      {"<FONT face=\"\" size=\"2\">", "", 10, clWindowText},
      {"<FONT size=\"2\" color=\"clnavy\">", "MS Sans Serif", 10, clNavy},  // no FACE keeps the name
      {"<FONT bgcolor=\"clred\">", "MS Sans Serif", 8, clWindowText},       // no " COLOR" in BGCOLOR
      {"<FX color=\"clred\">", "MS Sans Serif", 8, clWindowText},  // attributes start at the sixth character
  };
  for (const Case& c : cases) {
    RenderState state = StartState();
    ApplyTag(state, ReadTag(c.Tag), kDrawing);
    EXPECT_EQ(state.Font.Name, c.Name) << c.Tag;
    EXPECT_EQ(state.Font.Size, c.Size) << c.Tag;
    EXPECT_EQ(state.Font.Color, c.Color) << c.Tag;
  }
}

TEST(ApplyTagTest, FontAndParagraphNeedTheirClosingBracket) {
  RenderState state = StartState();
  ApplyTag(state, ReadTag("<FONT color=\"clred\" size=\"4\""), kDrawing);
  ApplyTag(state, ReadTag("<P align=\"right\""), kDrawing);
  EXPECT_EQ(state, StartState());
}

TEST(ApplyTagTest, FontBackgroundIsSavedAndRestoredInUnselectedDrawingOnly) {
  RenderState drawn = StartState();
  ApplyTag(drawn, ReadTag("<FONT bgcolor=\"#00FF00\" color=\"clred\">"), kDrawing);
  EXPECT_EQ(drawn.Background, clLime);
  ApplyTag(drawn, ReadTag("</FONT>"), kDrawing);
  EXPECT_EQ(drawn.Background, clNone);
  EXPECT_EQ(drawn.Font.Color, clWindowText);

  for (const TagPass& pass : {kMeasuring, kDrawingSelected}) {
    RenderState state = StartState();
    ApplyTag(state, ReadTag("<FONT bgcolor=\"#00FF00\" color=\"clred\" size=\"4\">"), pass);
    EXPECT_EQ(state.Background, clNone);
    EXPECT_EQ(state.Font.Size, 14);
    EXPECT_EQ(state.Font.Color, pass.Selected ? clWindowText : clRed);
  }
}

TEST(ApplyTagTest, ParagraphAlignmentAndIndentOutliveTheParagraph) {
  const PassRecord record = RunPass("<P align=\"center\" indent=\"$10\">Title</P>Body", kMeasuring);
  for (const char* run : {"Title", "Body"}) {
    EXPECT_EQ(StateOfRun(record, run).Alignment, ParagraphAlignment::Center) << run;
    EXPECT_EQ(StateOfRun(record, run).ParagraphIndent, 16) << run;
  }
  ASSERT_EQ(record.Effects.size(), 2u);
  EXPECT_EQ(record.Effects[1].Action, TagAction::LineBreak);
}

TEST(ApplyTagTest, ParagraphAlignmentLastMatchingTestWins) {
  const std::pair<std::string, ParagraphAlignment> cases[] = {
      {"right", ParagraphAlignment::Right},     {"Left", ParagraphAlignment::Left},
      {"center", ParagraphAlignment::Center},   {"rightleft", ParagraphAlignment::Left},
      {"leftright", ParagraphAlignment::Left},  {"right center", ParagraphAlignment::Center},
      {"justify", ParagraphAlignment::Right},   // no match keeps what was there
  };
  for (const auto& [value, expected] : cases) {
    RenderState state = StartState();
    state.Alignment = ParagraphAlignment::Right;
    ApplyTag(state, ReadTag("<P align=\"" + value + "\">"), kMeasuring);
    EXPECT_EQ(state.Alignment, expected) << value;
  }
}

TEST(ApplyTagTest, ParagraphBackgroundFillsInDrawingAndEndsWithTheParagraph) {
  RenderState state = StartState();
  TagEffect effect = ApplyTag(state, ReadTag("<P bgcolor=\"clyellow\">"), kDrawingSelected);
  EXPECT_EQ(effect.Action, TagAction::ParagraphBackground);
  EXPECT_EQ(effect.ParagraphColor, clYellow);
  EXPECT_FALSE(effect.ParagraphColorTo.has_value());
  EXPECT_TRUE(state.ParagraphBackgroundOn);
  EXPECT_EQ(state.Background, clYellow);
  effect = ApplyTag(state, ReadTag("</P>"), kDrawingSelected);
  EXPECT_EQ(effect.Action, TagAction::LineBreak);
  EXPECT_FALSE(state.ParagraphBackgroundOn);
  EXPECT_EQ(state.Background, clNone);

  RenderState gradient = StartState();
  effect = ApplyTag(gradient, ReadTag("<P bgcolor=\"clred\" bgcolorto=\"clblue\">"), kDrawing);
  EXPECT_EQ(effect.ParagraphColorTo, clBlue);
  EXPECT_EQ(gradient.Background, clNone);

  RenderState measured = StartState();
  EXPECT_EQ(ApplyTag(measured, ReadTag("<P bgcolor=\"clyellow\">"), kMeasuring).Action, TagAction::None);
  EXPECT_EQ(measured, StartState());
}

TEST(ApplyTagTest, AnchorKeepsItsValueAsWrittenAndColoursUnlessSelected) {
  for (const TagPass& pass : {kMeasuring, kDrawing, kDrawingSelected}) {
    const PassRecord record = RunPass("<A href=\"Http://Example.org/Path\">link</A>after", pass);
    const RenderState& link = StateOfRun(record, "link");
    EXPECT_TRUE(link.InAnchor);
    EXPECT_EQ(link.Anchor, "Http://Example.org/Path");
    EXPECT_EQ(link.Font.Style.Underline, pass.Drawing);
    EXPECT_EQ(link.Font.Color, pass.Selected ? clWindowText : clBlue);
    const RenderState& after = StateOfRun(record, "after");
    EXPECT_FALSE(after.InAnchor);
    EXPECT_FALSE(after.Font.Style.Underline);
    EXPECT_EQ(after.Font.Color, clWindowText);
  }
  RenderState state = StartState();
  ApplyTag(state, ReadTag("<A>"), kMeasuring);
  EXPECT_TRUE(state.InAnchor);
  EXPECT_EQ(state.Anchor, "");
}

TEST(ApplyTagTest, HighlightSavesAndRestoresColoursInDrawingPasses) {
  const PassRecord record = RunPass("<FONT color=\"clred\">a<HI>b</HI>c", kDrawing);
  EXPECT_EQ(StateOfRun(record, "b").Background, clHighlight);
  EXPECT_EQ(StateOfRun(record, "b").Font.Color, clHighlightText);
  EXPECT_EQ(StateOfRun(record, "c").Background, clNone);
  EXPECT_EQ(StateOfRun(record, "c").Font.Color, clRed);

  EXPECT_EQ(RunPass("<HI>b", kMeasuring).End, StartState());
  // A closing tag without an opening one has no font colour to return to.
  EXPECT_EQ(RunPass("</HI>x", kDrawing).End.Font.Color, clWindowText);
}

TEST(ApplyTagTest, BodyPaintsOnlyUnselectedDrawingPasses) {
  RenderState state = StartState();
  TagEffect effect = ApplyTag(state, ReadTag("<BODY bgcolor=\"#FFA0B0\">"), kDrawing);
  EXPECT_EQ(effect.Action, TagAction::BodyBackground);
  EXPECT_EQ(effect.Body.Color, TColor{0x00B0A0FF});
  EXPECT_EQ(state.Background, TColor{0x00B0A0FF});  // text goes on it opaquely
  ApplyTag(state, ReadTag("</FONT>"), kDrawing);
  EXPECT_EQ(state.Background, clNone);

  for (const TagPass& pass : {kMeasuring, kDrawingSelected}) {
    RenderState other = StartState();
    EXPECT_EQ(ApplyTag(other, ReadTag("<BODY bgcolor=\"#FFA0B0\">"), pass).Action, TagAction::None);
    EXPECT_EQ(other, StartState());
  }

  RenderState gradient = StartState();
  effect = ApplyTag(gradient,
                    ReadTag("<BODY background=\"tile\" bgtopleft=\"a\" bgtopright=\"b\" bgcolor=\"clred\" "
                            "bgcolorto=\"clwhite\" dir=\"v\">"),
                    kDrawing);
  EXPECT_EQ(effect.Body.Background, "TILE");
  EXPECT_EQ(effect.Body.TopLeft, "A");
  EXPECT_EQ(effect.Body.TopRight, "B");
  EXPECT_EQ(effect.Body.ColorTo, clWhite);
  EXPECT_TRUE(effect.Body.Vertical);
  EXPECT_EQ(gradient.Background, clNone);
}

TEST(ApplyTagTest, BodyGradientIsHorizontalUnlessDirSaysOtherwise) {
  const std::pair<std::string, bool> cases[] = {
      {"", false},          {" dir=\"h\"", false}, {" DIR=\"H\"", false}, {" dir=\"v\"", true},
      {" dir=\"hv\"", true}, {" dir=\"\"", true},  {" dir=h", true},  // unquoted counts as empty
  };
  for (const auto& [dir, vertical] : cases) {
    RenderState state = StartState();
    const std::string tag = "<BODY bgcolor=\"clred\" bgcolorto=\"clblue\"" + dir + ">";
    const TagEffect effect = ApplyTag(state, ReadTag(tag), kDrawing);
    EXPECT_EQ(effect.Body.ColorTo, clBlue) << tag;
    EXPECT_EQ(effect.Body.Vertical, vertical) << tag;
  }
}

TEST(ApplyTagTest, CountersSaturateInsteadOfOverflowing) {
  RenderState state = StartState();
  state.ListLevel = INT_MAX;
  state.ImageCounter = INT_MAX;
  EXPECT_EQ(ApplyTag(state, ReadTag("<UL>"), kMeasuring).Action, TagAction::LineBreak);
  EXPECT_EQ(ApplyTag(state, ReadTag("<IMG src=\"a\">"), kMeasuring).Picture.Index, INT_MAX);
  EXPECT_EQ(state.ListLevel, INT_MAX);
  EXPECT_EQ(state.ImageCounter, INT_MAX);
}

TEST(ApplyTagTest, ImageCountsPicturesAndReadsItsAttributes) {
  RenderState state = StartState();
  TagEffect first = ApplyTag(state, ReadTag("<IMG src=\"Pics/Cat.BMP\" alt=\"dog\" width=\"20\" height=\"x10\" "
                                            "align=\"top\" wrap>"),
                             kMeasuring);
  EXPECT_EQ(first.Action, TagAction::Picture);
  EXPECT_EQ(first.Picture.Index, 1);
  EXPECT_EQ(first.Picture.Source, "Pics/Cat.BMP");
  EXPECT_EQ(first.Picture.Width, 20);
  EXPECT_EQ(first.Picture.Height, 16);
  EXPECT_EQ(first.Picture.TextAlign, PictureTextAlign::Top);
  EXPECT_TRUE(first.Picture.Wrap);

  state.HoveredImage = 2;  // the mouse is on the second picture: it shows its alternative
  TagEffect second = ApplyTag(state, ReadTag("<IMG src=\"a.bmp\" alt=\"b.bmp\" align=\"middle\">"), kDrawing);
  EXPECT_EQ(second.Picture.Index, 2);
  EXPECT_EQ(second.Picture.Source, "B.BMP");
  EXPECT_EQ(second.Picture.TextAlign, PictureTextAlign::Middle);
  EXPECT_FALSE(second.Picture.Wrap);
  EXPECT_EQ(state.ImageCounter, 2);
}

TEST(ApplyTagTest, IndentNeedsACleanNumberOffsetReadsAnyDigits) {
  struct Case {
    std::string Tag;
    TagAction Action;
    int Value;
  };
  const Case cases[] = {
      {"<IND x=\"20\">", TagAction::Indent, 20},
      {"<IND X=\"-5\">", TagAction::Indent, -5},
      {"<IND x=\"20px\">", TagAction::None, 0},
      {"<IND x=20>", TagAction::None, 0},
      {"<OF x=\"30\">", TagAction::Offset, 30},
      {"<OF x=\"30px\">", TagAction::Offset, 30},
      {"<OF>", TagAction::Offset, 0},
  };
  for (const Case& c : cases) {
    RenderState state = StartState();
    const TagEffect effect = ApplyTag(state, ReadTag(c.Tag), kMeasuring);
    EXPECT_EQ(effect.Action, c.Action) << c.Tag;
    EXPECT_EQ(effect.Value, c.Value) << c.Tag;
  }
  const PassRecord record = RunPass("<OF x=\"30\">a</OF>b", kDrawing);
  EXPECT_EQ(StateOfRun(record, "a").HorizontalOffset, 30);
  EXPECT_EQ(StateOfRun(record, "b").HorizontalOffset, 0);
}

TEST(ApplyTagTest, RotationTurnsTheFontAndClosingSelectsTheFontBeforeIt) {
  const PassRecord single = RunPass("<B>a<R a=\"90\">b</R>c", kDrawing);
  EXPECT_EQ(StateOfRun(single, "b").Font.Escapement, 900);
  EXPECT_EQ(StateOfRun(single, "c").Font, StateOfRun(single, "a").Font);

  // R does not nest: the second one remembers the first rotation.
  const PassRecord record = RunPass("<B>a<R a=\"90\">b<R a=\"45\">c</R>d</R>e", kDrawing);
  EXPECT_EQ(StateOfRun(record, "c").Font.Escapement, 450);
  const RenderState& d = StateOfRun(record, "d");
  EXPECT_EQ(d.Font, StateOfRun(record, "b").Font);
  EXPECT_TRUE(d.Font.Style.Bold);
  EXPECT_EQ(StateOfRun(record, "e").Font, d.Font);  // nothing left to return to
  // The angle follows the first letter a of the tag, whatever word holds it.
  EXPECT_EQ(RunPass("<R alt=\"5\" a=\"30\">x", kDrawing).End.Font.Escapement, 50);
}

TEST(ApplyTagTest, ListLevelsAndTheirBreaks) {
  const PassRecord record = RunPass("<UL><LI>a<UL><LI>b</UL>c</UL>d</UL><U>e</UL>f", kDrawing);
  EXPECT_EQ(StateOfRun(record, "a").ListLevel, 1);
  EXPECT_EQ(StateOfRun(record, "b").ListLevel, 2);
  EXPECT_EQ(StateOfRun(record, "c").ListLevel, 1);
  EXPECT_EQ(StateOfRun(record, "d").ListLevel, 0);
  EXPECT_TRUE(StateOfRun(record, "e").Font.Style.Underline);
  EXPECT_FALSE(StateOfRun(record, "f").Font.Style.Underline);  // </UL> at level 0
  ASSERT_GE(record.Effects.size(), 4u);
  EXPECT_EQ(record.Effects[0].Action, TagAction::LineBreak);
  EXPECT_EQ(record.Effects[1].Action, TagAction::Bullet);
}

TEST(ApplyTagTest, FlagTagsAndDrawingOnlyErrorMark) {
  const PassRecord drawn = RunPass("<Z>h</Z><SHADOW>s</SHADOW><SUB>b</SUP><SUP>p</SUB><E>e</E>n", kDrawing);
  EXPECT_TRUE(StateOfRun(drawn, "h").Hidden);
  EXPECT_TRUE(StateOfRun(drawn, "s").Shadow);
  EXPECT_TRUE(StateOfRun(drawn, "b").Subscript);
  EXPECT_TRUE(StateOfRun(drawn, "p").Superscript);
  EXPECT_TRUE(StateOfRun(drawn, "e").ErrorMark);
  const RenderState& n = StateOfRun(drawn, "n");
  EXPECT_FALSE(n.Hidden || n.Shadow || n.Subscript || n.Superscript || n.ErrorMark);
  EXPECT_FALSE(StateOfRun(RunPass("<E>e", kMeasuring), "e").ErrorMark);
}

TEST(ApplyTagTest, BlinkHidesTextInTheEntryColourWhileBlinkIsOff) {
  TagPass off = kDrawing;
  off.BlinkOn = false;
  EXPECT_EQ(StateOfRun(RunPass("<BLINK>x</BLINK>y", off), "x").Font.Color, kCanvasBrush);
  EXPECT_EQ(StateOfRun(RunPass("<BLINK>x</BLINK>y", off), "y").Font.Color, clWindowText);
  EXPECT_EQ(StateOfRun(RunPass("<BLINK>x", kDrawing), "x").Font.Color, clWindowText);
}

TEST(ApplyTagTest, CarriageReturnAndLineFeedGiveOneBreak) {
  const PassRecord record = RunPass(PreprocessMarkup("a\r\nb", true).Markup, kMeasuring);
  ASSERT_EQ(record.Effects.size(), 1u);
  EXPECT_EQ(record.Effects[0].Action, TagAction::LineBreak);
  EXPECT_EQ(record.Runs.size(), 2u);
}

}  // namespace
}  // namespace plx
