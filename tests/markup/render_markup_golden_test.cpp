// RenderMarkup drawn into a memory bitmap with the list's 8-point
// "MS Sans Serif" font, compared with reference pictures in golden/.

#include <gtest/gtest.h>

#include <string>

#include "framework/Bitmap.h"
#include "framework/ImageList.h"
#include "markup/PictureContainer.h"
#include "markup/RenderMarkup.h"
#include "tests/markup/GifBuilder.h"
#include "tests/markup/GoldenImage.h"

namespace plx {
namespace {

constexpr TColor kPaper = 0xFFFFFF;
constexpr TColor kInk = 0x000000;

// A 20 x 20 picture drawn by code: a blue frame around a yellow square with
// a red diagonal, so that placement and size show in the picture.
std::unique_ptr<TImageList> TwentyPixelImages() {
  auto images = std::make_unique<TImageList>(nullptr);
  images->SetSize(20, 20);
  TBitmap picture(20, 20);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      const bool frame = x == 0 || y == 0 || x == 19 || y == 19;
      picture.SetPixel(x, y, frame ? 0xFF0000 : (x == y ? 0x0000FF : 0x00FFFF));
    }
  images->AddMasked(picture, 0xFF00FF);
  return images;
}

struct GoldenCase {
  const char* name;
  const char* markup;
  int width;
  int height;
  int extentY;  // what measuring the markup in the same width reports
  bool selected = false;
  bool wordWrap = true;
};

class RenderMarkupGoldenTest : public ::testing::TestWithParam<GoldenCase> {};

// Text that runs past the bounds shows in a margin right of them.
constexpr int kOverflowMargin = 16;

void PrepareCanvas(TCanvas& canvas, const TRect& bounds, bool selected) {
  canvas.Font().SetName("MS Sans Serif");
  canvas.Font().SetSize(8);
  canvas.Font().SetColor(selected ? clHighlightText : kInk);
  canvas.Brush().SetColor(kPaper);
  canvas.FillRect(TRect{0, 0, bounds.Right + kOverflowMargin, bounds.Bottom});
  canvas.Brush().SetColor(selected ? clHighlight : kPaper);
  canvas.FillRect(bounds);
}

TEST_P(RenderMarkupGoldenTest, DrawsAsTheReference) {
  const GoldenCase& c = GetParam();
  auto images = TwentyPixelImages();
  TBitmap bitmap(c.width + kOverflowMargin, c.height);
  const TRect bounds{0, 0, c.width, c.height};
  PrepareCanvas(bitmap.Canvas(), bounds, c.selected);

  std::string anchor;
  int extentX = 0;
  int measuredY = 0;
  RenderMarkup(bitmap.Canvas(), c.markup, bounds, images.get(), 0, 0, 1, true, true, c.selected, true, c.wordWrap,
               clBlue, clGray, anchor, extentX, measuredY, nullptr, nullptr, 0);
  EXPECT_EQ(measuredY, c.extentY) << c.name;

  int drawnY = 0;
  RenderMarkup(bitmap.Canvas(), c.markup, bounds, images.get(), -1, -1, 1, false, false, c.selected, true,
               c.wordWrap, clBlue, clGray, anchor, extentX, drawnY, nullptr, nullptr, 0);
  EXPECT_TRUE(test::MatchesGoldenImage(bitmap, c.name));
}

const GoldenCase kGoldenCases[] = {
    // The blank that ends a line is drawn with it but does not count in its width.
    {"word_wrap", "aaa bbb ccc ddd eee fff", 60, 44, 39},
    // bar continues the word foo: it goes to the next line with it, never split.
    {"bold_not_split", "xx yy foo<B>bar</B> zz", 50, 44, 26},
    {"overlong_word", "averyveryverylongword b c", 60, 44, 26},
    {"ellipsis", "this text is much too long for its line", 90, 16, 13, false, false},
    {"break_at_end", "<BODY bgcolor=\"#C0FFC0\">line<BR>", 60, 30, 26},
    {"paragraph_right", "<P align=\"right\">right</P>and this", 80, 30, 26},
    {"paragraph_center", "<P align=\"center\">centred</P>lines", 80, 30, 26},
    {"bullets", "<UL><LI>one<LI>two</UL><BR>after", 80, 56, 52},
    {"sup_sub", "x<SUP>sup</SUP> y<SUB>sub</SUB> z", 90, 22, 19},
    {"picture", "a<IMG src=\"IDX:0\">b", 60, 24, 20},
    {"picture_align_top", "a<IMG src=\"IDX:0\" align=\"top\">b", 60, 24, 20},
    {"picture_align_middle", "a<IMG src=\"IDX:0\" align=\"middle\">b", 60, 24, 20},
    {"body_tint", "<BODY bgcolor=\"#FFA0B0\">Hello...", 80, 16, 13},
    {"selected", "<BODY bgcolor=\"#FFA0B0\">Hello <FONT color=\"clred\">red</FONT>...", 80, 16, 13, true},
    {"shadow_and_error", "<SHADOW>shadow</SHADOW> <E>error</E>", 90, 16, 13},
    {"body_gradient", "<BODY bgcolor=\"#FF0000\" bgcolorto=\"#0000FF\">gradient", 90, 16, 13},
    {"body_gradient_vertical", "<BODY bgcolor=\"clyellow\" bgcolorto=\"clgreen\" dir=\"v\">down", 60, 24, 13},
    {"paragraph_background", "<P bgcolor=\"claqua\">para<BR>two</P>out", 60, 44, 39},
    {"fonts_and_colours", "<B>b</B><I>i</I><U>u</U><S>s</S> <FONT face=\"Tahoma\" size=\"3\" color=\"#0000FF\">T</FONT>",
     90, 20, 19},
    {"anchor_and_rule", "<A href=\"x\">link</A><HR>below", 60, 30, 26},
    {"highlight_and_entities", "a <HI>hi</HI> Tom & Jerry &amp; &lt;b&gt;", 130, 16, 13},
    // Characters beyond ASCII, a prefix '&' that underlines the next letter,
    // text on its own background and a line of runs in another font.
    {"code_page_prefix_background",
     "caf\xE9 a&b <FONT bgcolor=\"#FFFF00\">na\xEFve</FONT> <B>\xC0 bold</B> tail", 150, 16, 13},
};

INSTANTIATE_TEST_SUITE_P(Markup, RenderMarkupGoldenTest, ::testing::ValuesIn(kGoldenCases),
                         [](const ::testing::TestParamInfo<GoldenCase>& param) { return std::string(param.param.name); });

// Pictures of a container: a 4 x 4 GIF at its second frame tiled as the
// background, and a copy at its first frame placed in the top-left corner, at
// its natural size in the text and stretched.
TEST(RenderMarkupGoldenPictureTest, ContainerPicturesTiledPlacedAndStretched) {
  TPictureContainer container(nullptr);
  TPictureItem& tile = container.Items().Add();
  tile.SetName("tile");
  TMemoryStream stream(test::BuildAnimatedGif({{1, 10}, {2, 10}}));
  tile.Picture().LoadFromStream(stream);
  tile.Picture().SetFrame(2);
  TPictureItem& dot = container.Items().Add();
  dot.SetName("dot");
  dot.SetPicture(tile.Picture());  // a copy starts at its first frame

  TBitmap bitmap(90, 22);
  const TRect bounds{0, 0, 90 - kOverflowMargin, 22};
  PrepareCanvas(bitmap.Canvas(), bounds, false);
  std::string anchor;
  int extentX = 0;
  int extentY = 0;
  RenderMarkup(bitmap.Canvas(), "<BODY background=\"tile\" bgtopleft=\"dot\">a<IMG src=\"DOT\">b<IMG src=\"dot\" width=\"16\" "
               "height=\"12\">c",
               bounds, nullptr, -1, -1, 1, false, false, false, true, true, clBlue, clGray, anchor, extentX, extentY,
               nullptr, &container, 0);
  EXPECT_EQ(extentY, 13);
  EXPECT_TRUE(test::MatchesGoldenImage(bitmap, "container_pictures"));
}

TEST(GradientFillTest, PaintsBandsAndABorder) {
  TBitmap bitmap(64, 12);
  bitmap.Canvas().Brush().SetColor(kPaper);
  bitmap.Canvas().FillRect(TRect{0, 0, 64, 12});
  GradientFill(bitmap.Canvas(), 0x000000, 0xFFFFFF, true, TRect{0, 0, 64, 12}, 8, 0x0000FF);
  EXPECT_TRUE(test::MatchesGoldenImage(bitmap, "gradient_fill_border"));
  // The canvas' own brush is untouched.
  EXPECT_EQ(bitmap.Canvas().Brush().Color(), kPaper);
}

}  // namespace
}  // namespace plx
