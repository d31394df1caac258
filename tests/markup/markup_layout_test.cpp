// The layout rules of the markup engine, on a recording surface with fixed
// metrics (a blank 3 pixels, other characters 6, a line 13 pixels high).

#include "markup/MarkupLayout.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "tests/markup/RecordingSurface.h"

namespace plx {
namespace {

using test::RecordingSurface;

MarkupLayoutRequest Request(int width, int height = 1000) {
  MarkupLayoutRequest request;
  request.Bounds = TRect{0, 0, width, height};
  request.StartFont.Name = "MS Sans Serif";
  request.StartFont.Size = 8;
  request.StartFont.Color = 0x000000;
  request.StartBackground = 0xFFFFFF;
  request.MouseX = -1;
  request.MouseY = -1;
  return request;
}

MarkupLayoutRequest MeasureRequest(int width) {
  MarkupLayoutRequest request = Request(width);
  request.MeasureOnly = true;
  request.HitTestOnly = true;
  return request;
}

// Text of every drawn run with its left edge and bottom, in drawing order.
std::string Runs(const RecordingSurface& surface) {
  std::string out;
  for (const auto& text : surface.texts) {
    out += "[" + text.Text + "]@" + std::to_string(text.Rect.Left) + "," + std::to_string(text.Rect.Bottom) + " ";
  }
  return out;
}

TEST(MarkupLayoutTest, MeasuresLinesAsTheyWrap) {
  struct Case {
    const char* markup;
    int width;
    int extentX;
    int extentY;
  };
  // A line's box is one pixel narrower than the bounds (its left is +1).
  const Case cases[] = {
      {"Hello", 200, 32, 13},                   // one line: "gh" high, 2 more than its width
      {"", 200, 0, 13},                         // nothing still counts one line
      {"aaa bbb", 1 + 21, 20, 26},              // breaks after the blank; the blank is not counted
      {"aaa bbb", 1 + 20, 20, 26},              // one pixel less: still two lines
      {"aaa bbb", 1 + 40, 41, 13},              // wide enough for both words
      {"ab<BR>", 200, 14, 26},                  // a break at the end adds an empty line
      {"ab<BR><BR>cd", 200, 14, 39},
      {"foo<B>bar</B>", 1 + 30, 41, 13},        // bar continues the word foo: never split
      {"foo <B>bar</B>", 1 + 30, 23, 26},       // after a blank it may go to the next line
      {"abcdefghijkl x", 1 + 30, 74, 26},       // an overlong word stays on its own line
      {"<Z>hidden</Z>ab", 200, 14, 13},         // hidden text takes no width
      {"a\r\nb", 200, 8, 26},                   // CR LF gives one break
      {"<FONT size=\"16\">x</FONT>", 200, 8, 26}, // a larger font makes its line taller
      {"x&lt; ", 200, 14, 13},                  // "x< ": the trailing blank after an entity is not counted
  };
  for (const Case& c : cases) {
    RecordingSurface surface;
    const MarkupLayoutResult result = RenderOnSurface(surface, c.markup, MeasureRequest(c.width));
    EXPECT_EQ(result.ExtentX, c.extentX) << c.markup << " in " << c.width;
    EXPECT_EQ(result.ExtentY, c.extentY) << c.markup << " in " << c.width;
    EXPECT_TRUE(surface.texts.empty()) << "measuring draws nothing: " << c.markup;
  }
}

TEST(MarkupLayoutTest, DrawsRunsAtTheirPlaces) {
  struct Case {
    const char* markup;
    int width;
    const char* runs;
  };
  const Case cases[] = {
      {"aaa bbb", 1 + 21, "[aaa ]@1,13 [bbb]@1,26 "},
      {"foo<B>bar</B>", 1 + 30, "[foo]@1,13 [bar]@19,13 "},
      {"<P align=\"right\">x", 100, "[x]@94,13 "},              // right edge minus the width of x
      {"<P align=\"right\">x&lt; ", 100, "[x< ]@88,13 "},        // its trailing blank does not count
      {"<P align=\"center\">x&gt; ", 101, "[x> ]@45,13 "},
      {"<P align=\"center\">ab</P>cd", 101, "[ab]@45,13 [cd]@45,26 "},  // alignment outlives /P
      {"<P indent=\"10\">x", 100, "[x]@11,13 "},
      {"a<SUP>b</SUP>c", 200, "[a]@1,16 [b]@7,13 [c]@13,16 "},  // a quarter of 13 higher; the line 3 taller
      {"a<SUB>b</SUB>c", 200, "[a]@1,13 [b]@7,16 [c]@13,13 "},
      {"<SUP>a<BR>b", 200, "[a]@1,13 [b]@1,29 "},              // the next line starts without superscript
      {"ab<OF x=\"50\">c<BR>d", 200, "[ab]@1,13 [c]@50,13 [d]@51,26 "},  // the offset carries into the next line
      {"ab<IND x=\"40\">c", 200, "[ab]@1,13 [c]@40,13 "},
  };
  for (const Case& c : cases) {
    RecordingSurface surface;
    RenderOnSurface(surface, c.markup, Request(c.width));
    EXPECT_EQ(Runs(surface), c.runs) << c.markup;
  }
}

TEST(MarkupLayoutTest, ListBulletsStartTheirOwnLines) {
  RecordingSurface surface;
  const MarkupLayoutResult result = RenderOnSurface(surface, "<UL><LI>a<LI>b</UL>", Request(200));
  // The UL ends an empty first line; each bullet starts a line, drawn in the
  // Symbol font at the line start with the text 12 pixels to its right.
  EXPECT_EQ(Runs(surface), "[\xB7]@1,26 [a]@13,26 [\xB7]@1,39 [b]@13,39 ");
  ASSERT_EQ(surface.texts.size(), 4u);
  EXPECT_EQ(surface.texts[0].Font.Name, "Symbol");
  EXPECT_EQ(surface.texts[1].Font.Name, "MS Sans Serif");
  EXPECT_EQ(result.ExtentY, 39);

  // Measuring alone reaches the same list level, so the same widths.
  RecordingSurface measured;
  EXPECT_EQ(RenderOnSurface(measured, "<UL><LI>a<LI>b</UL>", MeasureRequest(200)).ExtentX, result.ExtentX);
  RecordingSurface nested;
  RenderOnSurface(nested, "<UL><UL><LI>a", Request(200));
  EXPECT_EQ(Runs(nested), "[o]@13,39 [a]@25,39 ");  // an even level draws "o", 12 pixels further in
}

TEST(MarkupLayoutTest, PicturesMakeTheirLineTallAndLiftTheText) {
  struct Case {
    const char* markup;
    int extentY;
    int textBottom;
  };
  const Case cases[] = {
      {"<IMG src=\"pic\">x", 20, 20},               // the text sits at the bottom of the 20-pixel line
      {"<IMG src=\"pic\" align=\"top\">x", 20, 13},  // lifted by 20 - 13
      {"<IMG src=\"pic\" align=\"middle\">x", 20, 17},
      {"<IMG src=\"pic\" wrap>x", 13, 13},           // a wrapped picture does not make the line taller
      {"<IMG src=\"missing\">x", 13, 13},            // an unknown picture takes no room
  };
  for (const Case& c : cases) {
    RecordingSurface surface;
    surface.AddPicture("Pic", 20, 20);
    const MarkupLayoutResult result = RenderOnSurface(surface, c.markup, Request(200));
    EXPECT_EQ(result.ExtentY, c.extentY) << c.markup;
    ASSERT_EQ(surface.texts.size(), 1u) << c.markup;
    EXPECT_EQ(surface.texts[0].Rect.Bottom, c.textBottom) << c.markup;
  }

  RecordingSurface surface;
  surface.AddPicture("pic", 20, 20);
  RenderOnSurface(surface, "a<IMG src=\"pic\">b<IMG src=\"PIC\" width=\"30\" height=\"10\">", Request(200));
  ASSERT_EQ(surface.pictures.size(), 2u);
  EXPECT_EQ(surface.pictures[0].What, "picture PIC");
  EXPECT_EQ(surface.pictures[0].Rect, (TRect{7, 0, 27, 20}));
  EXPECT_EQ(surface.pictures[1].What, "stretched PIC");
  EXPECT_EQ(surface.pictures[1].Rect, (TRect{33, 0, 63, 10}));
}

TEST(MarkupLayoutTest, ListImagesAndIconsAreScaledToTheDevice) {
  RecordingSurface surface;
  surface.imageCount = 2;
  surface.pixelsPerInch = 120;
  const MarkupLayoutResult result = RenderOnSurface(surface, "<IMG src=\"IDX:1\"><IMG src=\"idx:2\">", MeasureRequest(200));
  EXPECT_EQ(result.ExtentX, 22);  // 16 pixels at 120 per inch; index 2 is beyond the list
  EXPECT_EQ(result.ExtentY, 20);

  RecordingSurface icons;
  RenderOnSurface(icons, "<IMG src=\"SSYS:3\"><IMG src=\"LSYS:c:\\x.txt\">", Request(200));
  ASSERT_EQ(icons.pictures.size(), 2u);
  EXPECT_EQ(icons.pictures[0].What, "icon small 3");
  EXPECT_EQ(icons.pictures[1].What, "icon large c:\\x.txt");
  EXPECT_EQ(icons.pictures[1].Rect.Left, 17);
}

TEST(MarkupLayoutTest, UrlPicturesAreAskedOfTheCacheAsWritten) {
  // List and icon prefixes count only at the start of the source.
  const char* markup =
      "<IMG src=\"FILE://c:\\Pics\\a.gif\"><IMG src=\"http://x/y\"><IMG src=\"http://h/IDX:1\">"
      "<IMG src=\"http://h/SSYS:2\"><IMG src=\"http://h/lsys:3\">";
  RecordingSurface surface;
  surface.imageCount = 2;
  RenderOnSurface(surface, markup, MeasureRequest(200));
  EXPECT_THAT(surface.urlLookups, ::testing::ElementsAre("FILE://c:\\Pics\\a.gif", "http://x/y", "http://h/IDX:1",
                                                         "http://h/SSYS:2", "http://h/lsys:3"));
  RecordingSurface drawn;
  drawn.imageCount = 2;
  RenderOnSurface(drawn, markup, Request(200));
  EXPECT_TRUE(drawn.pictures.empty()) << drawn.pictures.front().What;
}

TEST(MarkupLayoutTest, BodyFillsTheBoundsUnlessSelected) {
  RecordingSurface surface;
  RenderOnSurface(surface, "<BODY bgcolor=\"#FFA0B0\">Hello...", Request(100, 20));
  ASSERT_EQ(surface.fills.size(), 1u);
  EXPECT_EQ(surface.fills[0].Rect, (TRect{-2, 0, 100, 20}));
  EXPECT_EQ(surface.fills[0].Color, 0xB0A0FFu);
  ASSERT_EQ(surface.texts.size(), 1u);
  EXPECT_EQ(surface.texts[0].Background, 0xB0A0FFu);  // text is drawn opaquely on the tint

  RecordingSurface selected;
  MarkupLayoutRequest request = Request(100, 20);
  request.Selected = true;
  RenderOnSurface(selected, "<BODY bgcolor=\"#FFA0B0\">Hello...", request);
  EXPECT_TRUE(selected.fills.empty());
  ASSERT_EQ(selected.texts.size(), 1u);
  EXPECT_EQ(selected.texts[0].Background, clNone);

  RecordingSurface gradient;
  RenderOnSurface(gradient, "<BODY bgcolor=\"#000000\" bgcolorto=\"#FF0000\">x", Request(128, 20));
  ASSERT_EQ(gradient.fills.size(), 64u);
  EXPECT_EQ(gradient.fills[0].Rect, (TRect{0, 0, 3, 20}));
  EXPECT_EQ(gradient.fills[32].Color, 0x80u);
  EXPECT_EQ(gradient.fills[63].Rect, (TRect{126, 0, 128, 20}));
  EXPECT_EQ(gradient.texts[0].Background, clNone);
}

TEST(MarkupLayoutTest, BodyPicturesAreTiledAndPlacedInTheBounds) {
  RecordingSurface surface;
  surface.AddPicture("tile", 20, 20);
  surface.AddPicture("mark", 5, 5);
  surface.imageCount = 1;
  RenderOnSurface(surface, "<BODY background=\"tile\" bgtopleft=\"mark\" bgtopright=\"mark\">x", Request(50, 30));
  std::string placed;
  for (const auto& picture : surface.pictures) {
    placed += picture.What + "@" + std::to_string(picture.Rect.Left) + "," + std::to_string(picture.Rect.Top) + " ";
  }
  EXPECT_EQ(placed,
            "picture TILE@0,0 picture TILE@20,0 picture TILE@40,0 picture TILE@0,20 picture TILE@20,20 "
            "picture TILE@40,20 picture MARK@0,0 picture MARK@45,0 ");
  EXPECT_TRUE(surface.clips.empty());

  // Only the tiles that can show are drawn.
  RecordingSurface clipped;
  clipped.AddPicture("tile", 20, 20);
  clipped.clipBox = TRect{25, 0, 30, 30};
  RenderOnSurface(clipped, "<BODY background=\"tile\">", Request(50, 30));
  EXPECT_EQ(clipped.pictures.size(), 2u);

  // List images are placed once, at the line's start or its right end.
  RecordingSurface images;
  images.imageCount = 1;
  RenderOnSurface(images, "<BODY bgtopleft=\"IDX:0\" bgtopright=\"IDX:0\">", Request(50, 30));
  ASSERT_EQ(images.pictures.size(), 2u);
  EXPECT_EQ(images.pictures[0].Rect.Left, 1);
  EXPECT_EQ(images.pictures[1].Rect.Left, 50 - 16);
}

TEST(MarkupLayoutTest, AHoveredPictureInAnAnchorShowsItsAlternative) {
  for (const bool hovered : {false, true}) {
    RecordingSurface surface;
    surface.AddPicture("pic", 20, 20);
    surface.AddPicture("other", 20, 20);
    MarkupLayoutRequest request = Request(100);
    request.MouseX = hovered ? 5 : 50;
    request.MouseY = 5;
    const MarkupLayoutResult result =
        RenderOnSurface(surface, "<A href=\"go\"><IMG src=\"pic\" alt=\"other\"></A>", request);
    ASSERT_EQ(surface.pictures.size(), 1u);
    EXPECT_EQ(surface.pictures[0].What, hovered ? "picture OTHER" : "picture PIC");
    EXPECT_EQ(result.OnAnchor, hovered) << "a picture anchor counts even while drawing";
    if (hovered) {
      EXPECT_EQ(result.AnchorUnderMouse, "go");
    }
  }
}

TEST(MarkupLayoutTest, AnchorsAreFoundOnlyInTheirTextBand) {
  const char* markup = "ab <A href=\"http://x\">link</A><BR>next";
  // "ab " is 15 pixels, "link" 24: the anchor spans x 16..40 of line 1 (y 0..13).
  struct Case {
    int x, y;
    bool hitTestOnly;
    bool onAnchor;
  };
  const Case cases[] = {
      {20, 5, true, true},  {39, 12, true, true}, {10, 5, true, false},  // left of the anchor
      {45, 5, true, false}, {20, 14, true, false},                       // right of it, below it
      {20, 5, false, false},                                             // a drawing call never reports text
  };
  for (const Case& c : cases) {
    RecordingSurface surface;
    MarkupLayoutRequest request = Request(200);
    request.MouseX = c.x;
    request.MouseY = c.y;
    request.HitTestOnly = c.hitTestOnly;
    const MarkupLayoutResult result = RenderOnSurface(surface, markup, request);
    EXPECT_EQ(result.OnAnchor, c.onAnchor) << c.x << "," << c.y;
    if (c.onAnchor) {
      EXPECT_EQ(result.AnchorUnderMouse, "http://x");
    }
    if (c.hitTestOnly) {
      EXPECT_TRUE(surface.texts.empty());
    }
  }
}

TEST(MarkupLayoutTest, DrawingStopsAtTheBottomOfTheBounds) {
  RecordingSurface surface;
  RenderOnSurface(surface, "one<BR>two", Request(200, 13));
  EXPECT_EQ(Runs(surface), "[one]@1,13 ");
  RecordingSurface measured;
  MarkupLayoutRequest request = MeasureRequest(200);
  request.Bounds.Bottom = 13;
  EXPECT_EQ(RenderOnSurface(measured, "one<BR>two", request).ExtentY, 26);  // measuring goes on
}

TEST(MarkupLayoutTest, WithoutWordWrapLinesEndOnlyAtBreaks) {
  RecordingSurface surface;
  MarkupLayoutRequest request = Request(1 + 30);
  request.WordWrap = false;
  const MarkupLayoutResult result = RenderOnSurface(surface, "aaaa bbbb cccc<BR>d", request);
  EXPECT_EQ(Runs(surface), "[aaaa bbbb cccc]@1,13 [d]@1,26 ");
  EXPECT_NE(surface.texts[0].Format & tfEndEllipsis, 0u);
  EXPECT_EQ(result.ExtentY, 26);
}

// The words of a line are set down as one run where drawing them as one
// puts every glyph where drawing them one by one would; every other run
// stays apart.
TEST(MarkupLayoutTest, WordsThatCarryALineOnAreOneRun) {
  struct Case {
    const char* markup;
    bool wordWrap;
    const char* runs;
  } const cases[] = {
      {"one two three", true, "[one two three]@1,13 "},
      {"one <B>two</B> three", true, "[one ]@1,13 [two]@22,13 [ three]@43,13 "},
      {"one <FONT color=\"#FF0000\">two</FONT>", true, "[one ]@1,13 [two]@22,13 "},
      {"one<U></U> two", true, "[one]@1,13 [ two]@19,13 "},
      {"one <IND x=\"40\">two", true, "[one ]@1,13 [two]@40,13 "},
      {"one \ttwo", true, "[one ]@1,13 [\ttwo]@22,13 "},
      {"one <I></I>two", false, "[one ]@1,13 [two]@22,13 "},
      {"<FONT bgcolor=\"#FF0000\">one two</FONT>", true, "[one two]@1,13 "},
      {"<FONT bgcolor=\"#FF0000\"><B>one two</B></FONT>", true, "[one ]@1,13 [two]@25,13 "},
      {"<FONT face=\"Symbol\">one two</FONT>", true, "[one ]@1,13 [two]@22,13 "},
  };
  for (const Case& c : cases) {
    RecordingSurface surface;
    MarkupLayoutRequest request = Request(200);
    request.WordWrap = c.wordWrap;
    RenderOnSurface(surface, c.markup, request);
    EXPECT_EQ(Runs(surface), c.runs) << c.markup;
  }
}

TEST(MarkupLayoutTest, ShadowAndErrorMarkDecorateTheRun) {
  RecordingSurface surface;
  MarkupLayoutRequest request = Request(200);
  request.ShadowOffset = 1;
  request.ShadowColor = 0x808080;
  RenderOnSurface(surface, "<SHADOW>ab</SHADOW> <E>cd</E>", request);
  ASSERT_EQ(surface.texts.size(), 3u);
  EXPECT_EQ(surface.texts[0].Rect, (TRect{2, 1, 201, 14}));  // shadow first, one pixel right and down
  EXPECT_EQ(surface.texts[0].Color, 0x808080u);
  EXPECT_EQ(surface.texts[1].Rect, (TRect{1, 0, 200, 13}));
  EXPECT_EQ(surface.texts[2].Text, " cd") << "the blank carries on as one run with the word after it";
  ASSERT_EQ(surface.lines.size(), 1u);
  const auto& zigzag = surface.lines[0].Points;
  EXPECT_EQ(surface.lines[0].Color, 0x0000FFu);
  // "cd" runs from 16 to 28: the zigzag starts on the even x 16, on the 4-pixel grid.
  ASSERT_GE(zigzag.size(), 2u);
  EXPECT_EQ(zigzag.front().X, 16);
  EXPECT_EQ(zigzag.front().Y, 14);
  EXPECT_EQ(zigzag[1].Y, 12);
  EXPECT_EQ(zigzag.back().X, 28);
}

TEST(MarkupLayoutTest, MarkupNumbersCannotOverflowTheLayout) {
  const char* markups[] = {
      "<OF x=\"2147483647\">a<OF x=\"2147483647\">b<BR>c",
      "<OF x=\"-2147483648\">a<BR>b<BR>c",
      "<IND x=\"2147483647\">a",
      "<P indent=\"2147483647\" align=\"center\">a<BR>b",
      "<P indent=\"-2147483648\">a",
      "<IMG src=\"pic\" width=\"2147483647\" height=\"2147483647\">a",
      "<IMG src=\"pic\" width=\"-2147483648\" height=\"5\">a",
      "<E>a<OF x=\"-4000000\">b</E>",
      "<UL><UL><UL><LI>a",
  };
  for (const char* markup : markups) {
    for (const bool measure : {true, false}) {
      RecordingSurface surface;
      surface.AddPicture("pic", 20, 20);
      MarkupLayoutRequest request = measure ? MeasureRequest(200) : Request(200);
      request.LineSpacing = INT_MAX;
      request.ShadowOffset = INT_MIN;
      request.Bounds = TRect{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
      const MarkupLayoutResult result = RenderOnSurface(surface, markup, request);
      EXPECT_TRUE(surface.coordinatesInRange) << markup;
      EXPECT_GE(result.ExtentX, 0) << markup;
      EXPECT_LE(result.ExtentY, kMaxLayoutCoordinate) << markup;
    }
  }
}

}  // namespace
}  // namespace plx

namespace plx {
namespace {

// Everything a surface was asked to draw, as one comparable text.
std::string Drawing(const RecordingSurface& surface) {
  std::string out = Runs(surface);
  const auto rect = [](const TRect& r) {
    return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
           std::to_string(r.Bottom) + " ";
  };
  for (const auto& fill : surface.fills) out += "fill " + rect(fill.Rect);
  for (const auto& line : surface.lines) {
    out += "line";
    for (const TPoint& p : line.Points) out += " " + std::to_string(p.X) + "," + std::to_string(p.Y);
    out += " ";
  }
  for (const auto& picture : surface.pictures) out += picture.What + " " + rect(picture.Rect);
  return out;
}

const char* const kLayoutMarkups[] = {
    "<BODY bgcolor=\"#FFA0B0\">Hello <B>bold</B> world...",
    "<P align=\"center\" bgcolor=\"#00FF00\">centred<BR><HR>after the rule",
    "<UL><LI>one<LI>two</UL><E>marked wrongly</E>",
    "<SHADOW>shadow</SHADOW> <IMG src=\"pic\"> <IMG src=\"IDX:1\" align=\"middle\">text",
    "<BODY bgcolorto=\"#000000\" bgcolor=\"#FFFFFF\" background=\"pic\">gradient and tiles",
};

// Laying out only measures; the layout value then draws exactly what the
// render would, and it draws the same wherever the string's top lies.
TEST(MarkupLayoutValueTest, DrawingReadsTheLayoutAtAnyTop) {
  for (const char* markup : kLayoutMarkups) {
    for (const int top : {0, 37}) {
      RecordingSurface laid;
      laid.AddPicture("pic", 20, 20);
      laid.imageCount = 4;
      const MarkupLayout layout = LayoutMarkup(laid, markup, Request(120, 200));
      EXPECT_EQ(Drawing(laid), "") << markup;
      EXPECT_FALSE(layout.Steps.empty()) << markup;
      DrawMarkupLayout(laid, layout, top);

      RecordingSurface rendered;
      rendered.AddPicture("pic", 20, 20);
      rendered.imageCount = 4;
      MarkupLayoutRequest there = Request(120, 200);
      there.Bounds = TRect{0, top, 120, top + 200};
      RenderOnSurface(rendered, markup, there);
      EXPECT_EQ(Drawing(laid), Drawing(rendered)) << markup << " at top " << top;
    }
  }
}

// A layout counts as drawing inside an area when nothing but plain fills
// reaches out of it; drawn with that area, the fills are cut to it. Lines are
// 13 pixels high.
TEST(MarkupLayoutValueTest, DrawsWithinAnAreaWhenOnlyItsFillsReachOut) {
  const struct {
    const char* markup;
    int areaBottom;
    bool within;
  } cases[] = {
      {"<BODY bgcolor=\"#FFA0B0\">Hello", 13, true},  // the body fill reaches 200 down
      {"one<BR>two", 26, true},
      {"one<BR>two", 25, false},  // the second line's box ends lower
      {"<E>marked</E>", 16, true},
      {"<E>marked</E>", 14, false},  // the zigzag reaches a pixel below the base line
      {"<IMG src=\"IDX:1\">x", 200, false},  // sized only when drawn
  };
  for (const auto& c : cases) {
    for (const int top : {0, 37}) {
      RecordingSurface laid;
      laid.imageCount = 4;
      const MarkupLayout layout = LayoutMarkup(laid, c.markup, Request(120, 200));
      const TRect area{0, top, 120, top + c.areaBottom};
      EXPECT_EQ(MarkupLayoutDrawsWithin(layout, area, top), c.within) << c.markup << " to " << c.areaBottom;
      DrawMarkupLayout(laid, layout, top, &area);
      for (const auto& fill : laid.fills) {
        EXPECT_TRUE(fill.Rect.Left >= area.Left && fill.Rect.Top >= area.Top && fill.Rect.Right <= area.Right &&
                    fill.Rect.Bottom <= area.Bottom)
            << c.markup;
      }
    }
  }
  // Without an area the body fill is drawn whole.
  RecordingSurface laid;
  DrawMarkupLayout(laid, LayoutMarkup(laid, "<BODY bgcolor=\"#FFA0B0\">Hello", Request(120, 200)));
  ASSERT_EQ(laid.fills.size(), 1u);
  EXPECT_EQ(laid.fills[0].Rect.Bottom, 200);
}

// Anchors are found where their runs are drawn, also on moved lines.
TEST(MarkupLayoutValueTest, AnchorsLieWhereTheirTextIsDrawn) {
  struct Case {
    const char* markup;
    int x, y;
    const char* anchor;  // nullptr: none
  };
  // "link" is 24 pixels; the bounds are 200 wide, their line box 199 from x 1.
  const Case cases[] = {
      {"<A href=\"a\">link</A>", 1, 5, "a"},
      {"<A href=\"a\">link</A>", 25, 5, "a"},
      {"<A href=\"a\">link</A>", 26, 5, nullptr},
      {"<P align=\"right\"><A href=\"r\">link</A>", 200 - 24, 5, "r"},
      {"<P align=\"right\"><A href=\"r\">link</A>", 10, 5, nullptr},  // where it would be unaligned
      {"<P indent=\"30\"><A href=\"i\">link</A>", 31, 5, "i"},
      {"<P indent=\"30\"><A href=\"i\">link</A>", 30, 5, nullptr},
      {"x<BR><A href=\"2\">link</A>", 5, 20, "2"},
      {"x<BR><A href=\"2\">link</A>", 5, 5, nullptr},
  };
  for (const Case& c : cases) {
    RecordingSurface surface;
    const MarkupLayout layout = LayoutMarkup(surface, c.markup, Request(200));
    const MarkupAnchorBox* hit = MarkupAnchorAt(layout, c.x, c.y);
    if (c.anchor) {
      ASSERT_NE(hit, nullptr) << c.markup << " at " << c.x << "," << c.y;
      EXPECT_EQ(hit->Value, c.anchor);
    } else {
      EXPECT_EQ(hit, nullptr) << c.markup << " at " << c.x << "," << c.y;
    }
  }
}

}  // namespace
}  // namespace plx
