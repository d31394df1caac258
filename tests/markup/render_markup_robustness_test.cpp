// RenderMarkup through real GDI on hostile markup: the layout fuzzer's seed
// corpus and a few hundred random tag soups are measured, drawn into a
// memory bitmap and hit-tested; nothing may crash or run away, and the
// canvas is left as it was. Colour sums outside 24 bits reach GDI as plain
// colours.

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/Bitmap.h"
#include "markup/GdiMarkupSurface.h"
#include "markup/HTMLPicture.h"
#include "markup/RenderMarkup.h"
#include "markup/TextMetricsCache.h"
#include "tests/markup/GoldenImage.h"
#include "tests/support/WholeFiles.h"

namespace plx {
namespace {

struct Canvas {
  TBitmap bitmap{120, 60};
  Canvas() {
    bitmap.Canvas().Font().SetName("MS Sans Serif");
    bitmap.Canvas().Font().SetSize(8);
    bitmap.Canvas().Brush().SetColor(0xFFFFFF);
    bitmap.Canvas().FillRect(TRect{0, 0, 120, 60});
  }
};

void RenderEveryWay(TCanvas& canvas, const std::string& markup, THTMLPictureCache& cache) {
  const TRect bounds{0, 0, 110, 60};
  std::string anchor;
  int extentX = 0;
  int extentY = 0;
  RenderMarkup(canvas, markup, bounds, nullptr, 0, 0, 1, true, true, false, true, true, clBlue, clGray, anchor,
               extentX, extentY, &cache, nullptr, 0);
  EXPECT_GE(extentY, 0);
  RenderMarkup(canvas, markup, bounds, nullptr, -1, -1, 1, false, false, false, false, true, clBlue, clGray, anchor,
               extentX, extentY, &cache, nullptr, 0);
  RenderMarkup(canvas, markup, bounds, nullptr, 30, 6, 1, false, false, true, true, false, clBlue, clGray, anchor,
               extentX, extentY, &cache, nullptr, 2);
  RenderMarkup(canvas, markup, bounds, nullptr, 20, 5, 1, true, false, false, true, true, clBlue, clGray, anchor,
               extentX, extentY, &cache, nullptr, 0);
}

std::vector<std::string> SeedCorpus() {
  std::vector<std::string> seeds;
  const std::string folder =
      test::EnvironmentFolder("PLEXORIA_SOURCE_DIR") + "\\tests\\markup\\markup_layout_fuzzer_corpus";
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string bytes = test::ReadWholeFile(entry.path().string());
    // The fuzzer's first three bytes are its options; the rest is markup.
    if (bytes.size() > 3) seeds.push_back(bytes.substr(3));
  }
  return seeds;
}

std::string RandomMarkup(std::mt19937& random) {
  static const char* const kPieces[] = {
      "<B>", "</B>", "<I>", "<U>", "<S>", "</S>", "<BR>", "<HR>", "<UL>", "</UL>", "<LI>", "</LI>", "<P align=\"right\">",
      "<P align=\"center\" bgcolor=\"#FF00FF\">", "</P>", "<P bgcolor=\"clred\" bgcolorto=\"clblue\">", "<SUP>", "<SUB>",
      "</SUB>", "<SHADOW>", "</SHADOW>", "<E>", "</E>", "<Z>", "</Z>", "<A href=\"x://y\">", "</A>", "<HI>", "</HI>",
      "<FONT face=\"Tahoma\" size=\"", "<FONT color=\"#GG00-1\" bgcolor=\"#0000FF\">", "</FONT>", "<R a=\"45\">",
      "</R>", "<OF x=\"", "<IND x=\"", "<IMG src=\"IDX:1\" width=\"", "<IMG src=\"SSYS:7\">",
      "<IMG src=\"LSYS:\\\\server\\x.txt\">", "<IMG src=\"FILE://\\\\server\\a.gif\">",
      "<BODY bgcolor=\"#FFA0B0\" bgcolorto=\"#00FF00\" dir=\"v\">", "<BODY background=\"http://x/a.gif\">", "<BLINK>",
      "2147483647\">", "-2147483648\">", "99999\">", "\">", "&amp;", "&nbsp;", "&lt;", " & ", "&", "\t", "\r\n", "<",
      ">", "<#", "word ", "longerwordwithoutblanks", " ", "\xB7\xE9\xFF", "x",
  };
  std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
  std::uniform_int_distribution<int> length(1, 40);
  std::string markup;
  for (int i = length(random); i > 0; --i) markup += kPieces[piece(random)];
  return markup;
}

TEST(RenderMarkupRobustnessTest, HostileMarkupIsDrawnAndTheCanvasKept) {
  Canvas canvas;
  THTMLPictureCache cache;
  std::mt19937 random(20261210);
  HDC dc = canvas.bitmap.Canvas().Handle();
  const HGDIOBJ fontBefore = GetCurrentObject(dc, OBJ_FONT);

  std::vector<std::string> markups = SeedCorpus();
  EXPECT_GE(markups.size(), 8u);
  for (int i = 0; i < 400; ++i) markups.push_back(RandomMarkup(random));
  markups.push_back(std::string(200000, 'x'));                       // one overlong word
  markups.push_back(std::string(100000, ' ') + "<E>" + std::string(20000, 'w') + "</E>");
  std::string manyBreaks;
  for (int i = 0; i < 20000; ++i) manyBreaks += "<BR>";
  markups.push_back(manyBreaks);
  for (const std::string& markup : markups) {
    SCOPED_TRACE(markup.substr(0, 200));
    RenderEveryWay(canvas.bitmap.Canvas(), markup, cache);
  }
  // Every font made for the markup has left the DC; the canvas' own is back.
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), fontBefore);
  EXPECT_EQ(canvas.bitmap.Canvas().Font().Name(), "MS Sans Serif");
  EXPECT_EQ(canvas.bitmap.Canvas().Brush().Color(), 0xFFFFFFu);
  // Each URL picture is kept once, however often it is met.
  std::set<std::string> sources;
  for (int i = 0; i < cache.Count(); ++i) sources.insert(cache.GetPicture(i)->Source());
  EXPECT_EQ(sources.size(), static_cast<std::size_t>(cache.Count()));
  EXPECT_TRUE(sources.count("HTTP://X/A.GIF")) << "BODY values are read upper-cased";
  EXPECT_GE(sources.size(), 2u);
  for (int i = 0; i < cache.Count(); ++i) EXPECT_TRUE(cache.GetPicture(i)->Empty());
}

TEST(RenderMarkupRobustnessTest, ColourSumsOutsideTwentyFourBitsArePlainColours) {
  struct Case {
    const char* markup;
    TColor expected;  // what the fill shows
  };
  const Case cases[] = {
      // Pairs of "-1" are -47 each; the sum 0xFFD0D0D1 has the flag bits of a
      // system colour, but it is red, green and blue from the markup.
      {"<BODY bgcolor=\"#-1-1-1\">", 0xD0D0D1},
      {"<BODY bgcolor=\"#FFFFGG\">", 0x10FFFF},  // the blue pair, 272, spills out of 24 bits
      {"<BODY bgcolor=\"clhighlight\">", ColorToRGB(clHighlight)},  // a real system colour still resolves
  };
  for (const Case& c : cases) {
    Canvas canvas;
    THTMLPictureCache cache;
    std::string anchor;
    int extentX = 0;
    int extentY = 0;
    RenderMarkup(canvas.bitmap.Canvas(), c.markup, TRect{0, 0, 110, 60}, nullptr, -1, -1, 1, false, false, false, true,
                 true, clBlue, clGray, anchor, extentX, extentY, &cache, nullptr, 0);
    EXPECT_EQ(canvas.bitmap.Pixel(50, 30), c.expected) << c.markup;
  }
}

// A clip pushed by drawing that an error cut short is taken off when the
// surface ends: the canvas draws everywhere again.
TEST(RenderMarkupRobustnessTest, AClipLeftPushedByAnErrorEndsWithTheSurface) {
  for (const bool popped : {true, false}) {
    Canvas target;
    HDC dc = target.bitmap.Canvas().Handle();
    const int levels = SaveDC(dc);
    RestoreDC(dc, -1);
    RECT clip{};
    try {
      GdiMarkupSurface surface(target.bitmap.Canvas(), MarkupPictureSources{});
      surface.PushClip(TRect{10, 10, 20, 20});
      ASSERT_NE(GetClipBox(dc, &clip), ERROR);
      EXPECT_EQ(clip.right - clip.left, 10) << "the clip is on while the surface draws";
      if (popped) surface.PopClip();
      throw std::runtime_error("drawing failed");
    } catch (const std::runtime_error&) {
    }
    ASSERT_NE(GetClipBox(dc, &clip), ERROR);
    EXPECT_EQ(clip.right - clip.left, 120) << (popped ? "popped" : "left pushed");
    EXPECT_EQ(clip.bottom - clip.top, 60);
    EXPECT_EQ(SaveDC(dc), levels) << "saved states are left behind";
    RestoreDC(dc, -1);
  }
}

// Printable ASCII is measured by adding up the font's advance widths. That
// must give what the system measures, in any font; a DC that puts room
// between characters is left to the system's own measuring.
TEST(RenderMarkupRobustnessTest, AddedUpWidthsAreWhatTheSystemMeasures) {
  struct Font {
    const char* name;
    int size;
    bool bold;
    bool italic;
  } const fonts[] = {{"MS Sans Serif", 8, false, false}, {"MS Sans Serif", 8, true, false},
                     {"Tahoma", 11, true, true},         {"Courier", 10, false, true},
                     {"Small Fonts", 6, false, false},   {"Tahoma", 30, false, false}};
  const std::string texts[] = {"Hello, world", "iiiWWW  mm", " ", "x", "{[(|)]}~`!@#$%^*_+=-\"';:?/.,<>"};
  for (const int extra : {0, 2}) {
    for (const Font& font : fonts) {
      SCOPED_TRACE(std::string(font.name) + " " + std::to_string(font.size) + (font.bold ? " bold" : "") +
                   (font.italic ? " italic" : "") + ", character extra " + std::to_string(extra));
      Canvas target;
      TFont& canvasFont = target.bitmap.Canvas().Font();
      canvasFont.SetName(font.name);
      canvasFont.SetSize(font.size);
      TFontStyles style;
      if (font.bold) style.Include(fsBold);
      if (font.italic) style.Include(fsItalic);
      canvasFont.SetStyle(style);
      HDC dc = target.bitmap.Canvas().Handle();
      SetTextCharacterExtra(dc, extra);
      TextMetricsCache metrics;
      GdiMarkupSurface surface(target.bitmap.Canvas(), MarkupPictureSources{}, metrics);
      const std::size_t measuredBefore = metrics.Count();
      for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        const HGDIOBJ previous = SelectObject(dc, canvasFont.Handle());
        SIZE extent{};
        GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &extent);
        RECT calculated{0, 0, 0, 0};
        ::DrawTextA(dc, text.data(), static_cast<int>(text.size()), &calculated,
                    DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
        SelectObject(dc, previous);
        EXPECT_EQ(surface.TextWidth(text), extent.cx);
        EXPECT_EQ(surface.MeasureText(text, TRect{0, 0, 100, 20}, tfSingleLine | tfNoPrefix),
                  calculated.right - calculated.left);
      }
      // Added up, nothing is kept per text; measured by the system, each is.
      if (extra == 0) {
        EXPECT_EQ(metrics.Count(), measuredBefore);
      } else {
        EXPECT_GT(metrics.Count(), measuredBefore);
      }
    }
  }
}

}  // namespace
}  // namespace plx
