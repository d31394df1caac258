// The skin drawing routines on small hand-made bitmaps: exact geometry where
// it is fixed, golden images for the whole picture, and sizes that cannot be
// honoured drawing what they can without leaking GDI objects.

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "framework/Application.h"
#include "framework/Bitmap.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "skin/SkinDraw.h"
#include "tests/skin/GoldenImage.h"
#include "tests/support/ResourceCounts.h"

namespace plx {
namespace {

constexpr TColor kMagenta = 0x00FF00FF;
constexpr TColor kGround = 0x00606060;  // what lies under the drawing

// Each column has its own colour: red = column, green = column div 256, blue
// = 0x40 + row, so a pixel tells where in the source it came from.
std::unique_ptr<TBitmap> ColumnCoded(int width, int height) {
  auto bitmap = std::make_unique<TBitmap>(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      bitmap->SetPixel(x, y, static_cast<TColor>((x & 0xFF) | ((x >> 8) << 8) | ((0x40 + y) << 16)));
  return bitmap;
}
int SourceColumn(TColor c) { return static_cast<int>((c & 0xFF) | (((c >> 8) & 0xFF) << 8)); }
int SourceRow(TColor c) { return static_cast<int>((c >> 16) & 0xFF) - 0x40; }

// A small face: four coloured quadrants with a lighter middle band, a
// magenta outer corner pixel at each corner and a magenta pixel in the band.
std::unique_ptr<TBitmap> HandMadeFace(int width, int height) {
  auto bitmap = std::make_unique<TBitmap>(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool right = x >= width / 2, bottom = y >= height / 2;
      TColor c = right ? (bottom ? 0x00A0C020 : 0x002080E0) : (bottom ? 0x00E08020 : 0x002020C0);
      if (x == width / 2 || y == height / 2) c = 0x00F0E0D0;
      bitmap->SetPixel(x, y, c);
    }
  for (int cx : {0, width - 1})
    for (int cy : {0, height - 1}) bitmap->SetPixel(cx, cy, kMagenta);
  bitmap->SetPixel(width / 2, height / 2, kMagenta);
  return bitmap;
}

std::unique_ptr<TBitmap> Ground(int width, int height) {
  auto canvas = std::make_unique<TBitmap>(width, height);
  canvas->Canvas().Brush().SetColor(kGround);
  canvas->Canvas().FillRect({0, 0, width, height});
  return canvas;
}

TEST(SpitBitmap, CutsEqualFramesAndTakesTheLastFromTheRight) {
  const struct {
    int width, count, index;
    int frameWidth, firstColumn;
  } cases[] = {
      {225, 3, 1, 75, 0},   {225, 3, 2, 75, 75},  {225, 3, 3, 75, 150},
      {224, 3, 1, 74, 0},   {224, 3, 2, 74, 74},  {224, 3, 3, 74, 150},  // leftover column 222..223 go to frame 3
      {360, 18, 16, 20, 300}, {378, 18, 18, 21, 357},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " / " + std::to_string(c.count) + " #" + std::to_string(c.index));
    auto sourceOwner = ColumnCoded(c.width, 4);
    TBitmap& source = *sourceOwner;
    TBitmap frame;
    SpitBitmap(source, frame, c.count, c.index);
    ASSERT_EQ(frame.Width(), c.frameWidth);
    ASSERT_EQ(frame.Height(), 4);
    EXPECT_EQ(SourceColumn(frame.Pixel(0, 0)), c.firstColumn);
    EXPECT_EQ(SourceColumn(frame.Pixel(c.frameWidth - 1, 3)), c.firstColumn + c.frameWidth - 1);
    EXPECT_EQ(SourceRow(frame.Pixel(0, 3)), 3);
  }
}

TEST(SpitBitmap, ImpossibleCutsLeaveAnEmptyFrame) {
  const struct {
    int width, count, index;
  } cases[] = {{10, 0, 1}, {10, -2, 1}, {10, 11, 1}, {10, 3, 0}, {10, 3, 4}, {0, 3, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " / " + std::to_string(c.count) + " #" + std::to_string(c.index));
    auto sourceOwner = c.width > 0 ? ColumnCoded(c.width, 3) : std::make_unique<TBitmap>();
    TBitmap& source = *sourceOwner;
    TBitmap frame(5, 5);
    SpitBitmap(source, frame, c.count, c.index);
    EXPECT_TRUE(frame.Empty());
  }
}

TEST(SpitDraw, WiderButtonKeepsCornersUnscaledAndStretchesTheMiddle) {
  // A 77 x 27 face into 113 x 27: left corners 38 wide, right corners 37,
  // the two middle columns stretched over the 38 between them.
  auto faceOwner = ColumnCoded(77, 27);
    TBitmap& face = *faceOwner;
  auto outOwner = Ground(113, 27);
    TBitmap& out = *outOwner;
  SpitDraw(face, out.Canvas(), {0, 0, 113, 27}, false);
  for (int x = 0; x < 38; ++x) EXPECT_EQ(SourceColumn(out.Pixel(x, 0)), x) << "x " << x;
  for (int x = 76; x < 113; ++x) EXPECT_EQ(SourceColumn(out.Pixel(x, 26)), 40 + x - 76) << "x " << x;
  for (int x = 38; x < 76; ++x) {
    const int column = SourceColumn(out.Pixel(x, 13));
    EXPECT_TRUE(column == 38 || column == 39) << "x " << x << " column " << column;
  }
  // Rows: 13 from the top block, the band rows 13 and 14, 12 from the bottom.
  for (int y = 0; y < 27; ++y) EXPECT_EQ(SourceRow(out.Pixel(0, y)), y) << "y " << y;
}

TEST(SpitDraw, SmallerThanTheSourceShowsEachCornerCutToHalf) {
  auto faceOwner = ColumnCoded(77, 27);
    TBitmap& face = *faceOwner;
  auto outOwner = Ground(10, 8);
    TBitmap& out = *outOwner;
  SpitDraw(face, out.Canvas(), {0, 0, 10, 8}, false);
  for (int x = 0; x < 5; ++x) EXPECT_EQ(SourceColumn(out.Pixel(x, 0)), x);
  for (int x = 5; x < 10; ++x) EXPECT_EQ(SourceColumn(out.Pixel(x, 0)), 77 - 10 + x);
  for (int y = 0; y < 4; ++y) EXPECT_EQ(SourceRow(out.Pixel(0, y)), y);
  for (int y = 4; y < 8; ++y) EXPECT_EQ(SourceRow(out.Pixel(0, y)), 27 - 8 + y);
}

TEST(SpitDraw, GoldenImages) {
  const struct {
    const char* name;
    int sourceWidth, sourceHeight, width, height;
    bool transparent;
  } cases[] = {
      {"spitdraw_odd_wide_opaque", 9, 7, 24, 11, false},
      {"spitdraw_odd_wide_transparent", 9, 7, 24, 11, true},
      {"spitdraw_even_tall_transparent", 8, 6, 13, 20, true},
      {"spitdraw_smaller_than_source", 9, 7, 6, 5, true},
  };
  for (const auto& c : cases) {
    auto faceOwner = HandMadeFace(c.sourceWidth, c.sourceHeight);
    TBitmap& face = *faceOwner;
    auto outOwner = Ground(c.width, c.height);
    TBitmap& out = *outOwner;
    SpitDraw(face, out.Canvas(), {0, 0, c.width, c.height}, c.transparent);
    EXPECT_TRUE(test::MatchesGolden(out, c.name));
  }
}

// Every pixel of a differing picture, with the first few shown.
::testing::AssertionResult SamePixels(TBitmap& actual, TBitmap& expected) {
  if (actual.Width() != expected.Width() || actual.Height() != expected.Height())
    return ::testing::AssertionFailure() << "sizes differ";
  int differing = 0;
  std::string shown;
  for (int y = 0; y < expected.Height(); ++y)
    for (int x = 0; x < expected.Width(); ++x)
      if (actual.Pixel(x, y) != expected.Pixel(x, y) && ++differing <= 3)
        shown += " (" + std::to_string(x) + ", " + std::to_string(y) + ")";
  if (differing == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << differing << " pixels differ, among them" << shown;
}

TEST(SpitDrawCache, DrawsWhatNineKeyedCopiesDraw) {
  const struct {
    int sourceWidth, sourceHeight;
    TRect rect;
  } cases[] = {
      {9, 7, {0, 0, 24, 11}},  {8, 6, {0, 0, 13, 20}}, {9, 7, {0, 0, 6, 5}},   {9, 7, {0, 0, 9, 7}},
      {38, 27, {0, 0, 113, 27}}, {38, 27, {0, 0, 20, 15}}, {9, 7, {3, 2, 24, 11}}, {1, 1, {0, 0, 5, 5}},
  };
  TSpitDrawCache cache;
  // Each twice in a row: drawn first into the cache, then from it; more
  // faces than the cache keeps, so older ones make way.
  for (const auto& c : cases)
    for (int round = 0; round < 2; ++round) {
      SCOPED_TRACE(std::to_string(c.sourceWidth) + " x " + std::to_string(c.sourceHeight) + " onto " +
                   std::to_string(c.rect.Width()) + " x " + std::to_string(c.rect.Height()) + ", round " +
                   std::to_string(round));
      auto face = HandMadeFace(c.sourceWidth, c.sourceHeight);
      auto expected = Ground(c.rect.Right + 2, c.rect.Bottom + 2);
      SpitDraw(*face, expected->Canvas(), c.rect, true);
      auto actual = Ground(c.rect.Right + 2, c.rect.Bottom + 2);
      cache.Draw(*face, actual->Canvas(), c.rect);
      EXPECT_TRUE(SamePixels(*actual, *expected));
    }
}

TEST(SpitDrawCache, AFaceThatChangesIsDrawnAnew) {
  TSpitDrawCache cache;
  auto face = HandMadeFace(9, 7);
  auto first = Ground(24, 11);
  cache.Draw(*face, first->Canvas(), {0, 0, 24, 11});
  // The same bitmap with other pixels, as a face loaded again in another look.
  face->SetPixel(1, 1, 0x00123456);
  auto expected = Ground(24, 11);
  SpitDraw(*face, expected->Canvas(), {0, 0, 24, 11}, true);
  auto actual = Ground(24, 11);
  cache.Draw(*face, actual->Canvas(), {0, 0, 24, 11});
  EXPECT_TRUE(SamePixels(*actual, *expected));
  EXPECT_EQ(actual->Pixel(1, 1), static_cast<TColor>(0x00123456));
  // Positive control: the picture before the change differs there.
  EXPECT_NE(first->Pixel(1, 1), actual->Pixel(1, 1));
}

TEST(SpitDrawHorizontal, ThreeSlicesGolden) {
  // Three 4-pixel frames: first frame red, middle green, last blue, with
  // magenta spots to mask.
  TBitmap strip(12, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 12; ++x) strip.SetPixel(x, y, x < 4 ? 0x002020D0 : x < 8 ? 0x0020C020 : 0x00D02020);
  strip.SetPixel(0, 0, kMagenta);
  strip.SetPixel(11, 4, kMagenta);
  strip.SetPixel(5, 2, kMagenta);
  const struct {
    const char* name;
    TRect rect;
    bool masked;
  } cases[] = {{"three_slice_masked", {2, 1, 22, 7}, true},
               {"three_slice_opaque", {2, 1, 22, 7}, false},
               {"three_slice_narrower_than_a_frame", {1, 1, 4, 7}, true}};
  for (const auto& c : cases) {
    auto outOwner = Ground(24, 8);
    TBitmap& out = *outOwner;
    SpitDrawHorizontal2(strip, out.Canvas(), c.rect, kMagenta, c.masked);
    EXPECT_TRUE(test::MatchesGolden(out, c.name));
  }
  // The sampled mask colour and the fill under the middle frame.
  auto outOwner = Ground(24, 8);
    TBitmap& out = *outOwner;
  SpitDrawHorizontal(strip, out.Canvas(), {2, 1, 22, 7}, true, 0x0000FFFF, true);
  EXPECT_TRUE(test::MatchesGolden(out, "three_slice_sampled_mask_on_fill"));
}

TEST(TileDraw, RepeatsFromTheOriginPastTheEdges) {
  auto tileOwner = HandMadeFace(5, 3);
    TBitmap& tile = *tileOwner;
  auto outOwner = Ground(17, 8);
    TBitmap& out = *outOwner;
  TileDraw(out.Canvas(), tile, {0, 0, 17, 8});
  EXPECT_TRUE(test::MatchesGolden(out, "tile_draw"));
  EXPECT_EQ(out.Pixel(16, 7), tile.Pixel(1, 1));
}

TEST(Gradients, LinesRunFromFirstToLastColourTruncatingTheSteps) {
  auto outOwner = Ground(4, 10);
    TBitmap& out = *outOwner;
  DrawHorizontalGradient(out.Canvas(), {0, 0, 4, 10}, 0x00000000, 0x00FFFFFF);
  EXPECT_EQ(out.Pixel(2, 0), 0x000000u);
  for (int y = 1; y <= 8; ++y) {
    const TColor level = static_cast<TColor>(255 * (y - 1) / 10);
    EXPECT_EQ(out.Pixel(2, y), level | level << 8 | level << 16) << "y " << y;
  }
  EXPECT_EQ(out.Pixel(2, 9), 0xFFFFFFu);

  auto acrossOwner = Ground(10, 3);
    TBitmap& across = *acrossOwner;
  DrawVerticalGradient(across.Canvas(), {0, 0, 10, 3}, 0x000000FF, 0x00FF0000);
  EXPECT_EQ(across.Pixel(0, 1), 0x0000FFu);
  EXPECT_EQ(across.Pixel(4, 1), static_cast<TColor>((255 - 255 * 4 / 10) | (255 * 4 / 10) << 16));
  EXPECT_EQ(across.Pixel(9, 1), 0xFF0000u);

  auto bothOwner = Ground(16, 12);
    TBitmap& both = *bothOwner;
  DrawHorizontalGradient(both.Canvas(), {0, 0, 16, 6}, 0x00203040, 0x00F0C080);
  DrawVerticalGradient(both.Canvas(), {0, 6, 16, 12}, clBtnFace, 0x00104080);
  EXPECT_TRUE(test::MatchesGolden(both, "gradients"));
}

TEST(InRect, RightAndBottomEdgesCountAsInside) {
  const TRect r{2, 3, 10, 8};
  EXPECT_TRUE(InRect(10, 8, r));
  EXPECT_TRUE(InRect(2, 3, r));
  EXPECT_TRUE(InRect(TPoint{6, 8}, r));
  EXPECT_FALSE(InRect(11, 8, r));
  EXPECT_FALSE(InRect(6, 2, r));
}

TEST(FormatStringWithWidth, CutsWithAnEllipsisOnlyWhenTheTextDoesNotFit) {
  TBitmap surface(10, 10);
  TCanvas& canvas = surface.Canvas();
  EXPECT_EQ(FormatStringWithWidth(canvas, "Plexoria", 1000), "Plexoria");
  EXPECT_EQ(FormatStringWithWidth(canvas, "Plexoria", 0), "P...");
  EXPECT_EQ(FormatStringWithWidth(canvas, "P", 0), "P...");
  EXPECT_EQ(FormatStringWithWidth(canvas, "", 0), "");
  const int wide = canvas.TextWidth("Plex...");
  EXPECT_EQ(FormatStringWithWidth(canvas, "Plexoria", wide), "Plex...");
}

TEST(CutWithEllipsis, KeepsTheLongestStartThatFitsWithAHandfulOfMeasurements) {
  TBitmap surface(10, 10);
  TCanvas& canvas = surface.Canvas();
  int measured = 0;
  const auto measure = [&](const std::string& text) {
    ++measured;
    return canvas.TextWidth(text);
  };
  const std::string caption = "Plexoria clips everything";
  const struct {
    const char* name;
    std::string text;
    int width;
    std::string expected;
  } cases[] = {
      {"fits", caption, canvas.TextWidth(caption), caption},
      {"a long start", caption, canvas.TextWidth("Plexoria clip..."), "Plexoria clip..."},
      {"a short start", caption, canvas.TextWidth("Ple..."), "Ple..."},
      {"room for no character", caption, canvas.TextWidth("..."), "..."},
      {"no room at all", caption, 0, "..."},
      {"empty", "", 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CutWithEllipsis(c.text, c.width, measure), c.expected);
  }
  // A caption thousands of characters long is cut after a logarithmic
  // number of measurements, not one per character removed.
  const std::string longCaption(4000, 'W');
  measured = 0;
  const std::string cut = CutWithEllipsis(longCaption, 200, measure);
  EXPECT_LE(canvas.TextWidth(cut), 200);
  EXPECT_GT(canvas.TextWidth(cut.substr(0, cut.size() - 3) + "W..."), 200) << "the longest start that fits";
  EXPECT_LE(measured, 16);
  EXPECT_GT(measured, 1) << "the cut was searched for";
}

TEST(PCharToStr, EmptyForNone) {
  EXPECT_EQ(PCharToStr(nullptr), "");
  EXPECT_EQ(PCharToStr("abc"), "abc");
}

TEST(GetWorkAreaRect, TheSystemWorkAreaWithoutAMainForm) {
  ASSERT_EQ(Application().MainForm(), nullptr);
  RECT system{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &system, 0);
  TRect area;
  GetWorkAreaRect(area);
  EXPECT_EQ(area, (TRect{system.left, system.top, system.right, system.bottom}));
}

TEST(PlaceControl, SetsThePlaceAndTheSize) {
  TPanel panel(nullptr);
  PlaceControl(panel, TRect{5, 6, 45, 26});
  EXPECT_EQ(panel.BoundsRect(), (TRect{5, 6, 45, 26}));
  PlaceControl(panel, TPoint{1, 2});
  EXPECT_EQ(panel.BoundsRect(), (TRect{1, 2, 41, 22}));
}

TEST(FormHasFocus, WithoutAMainFormTheFormsOwnActivation) {
  TForm first(nullptr), second(nullptr);
  first.SetBounds(10, 10, 120, 80);
  second.SetBounds(200, 10, 120, 80);
  first.Show();
  second.Show();
  SetActiveWindow(first.Handle());
  EXPECT_TRUE(FormHasFocus(first));
  EXPECT_FALSE(FormHasFocus(second));
  SetActiveWindow(second.Handle());
  EXPECT_TRUE(FormHasFocus(second));
  EXPECT_FALSE(FormHasFocus(first));
}

// A parent that paints a pattern of its own coordinates, to see through.
class TPatternPanel : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;

 protected:
  void Paint() override {
    for (int y = 0; y < Height(); y += 4)
      for (int x = 0; x < Width(); x += 4) {
        Canvas().Brush().SetColor(static_cast<TColor>(((x * 5) & 0xFF) | (((y * 9) & 0xFF) << 8) | 0x400000));
        Canvas().FillRect({x, y, x + 4, y + 4});
      }
  }
};

TEST(DoTrans, PaintsTheParentsBackgroundAtTheControlsPlace) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 120);
  auto* parent = new TPatternPanel(&form);
  parent->SetBounds(0, 0, 120, 80);
  parent->SetParent(&form);
  auto* child = new TPanel(&form);
  child->SetBounds(14, 9, 30, 20);
  child->SetParent(parent);
  parent->HandleNeeded();

  auto outOwner = Ground(30, 20);
    TBitmap& out = *outOwner;
  DoTrans(out.Canvas(), *child);
  EXPECT_EQ(out.Pixel(0, 0), static_cast<TColor>(((12 * 5) & 0xFF) | ((8 * 9) << 8) | 0x400000));
  EXPECT_EQ(out.Pixel(29, 19), static_cast<TColor>(((40 * 5) & 0xFF) | ((28 * 9) << 8) | 0x400000));
  EXPECT_TRUE(test::MatchesGolden(out, "do_trans"));

  // A control without parent leaves the canvas alone.
  TPanel orphan(nullptr);
  auto untouchedOwner = Ground(5, 5);
    TBitmap& untouched = *untouchedOwner;
  DoTrans(untouched.Canvas(), orphan);
  EXPECT_EQ(untouched.Pixel(2, 2), kGround);
}

// Sizes no drawing can honour: each routine draws what it can, never reads
// outside a bitmap (ASan-free here, so the result must simply stay inside
// the target) and gives back every GDI object it made.
TEST(SkinDraw, UnhonourableSizesDrawWhatTheyCanWithoutLeaking) {
  const struct {
    int sourceWidth, sourceHeight;
    TRect rect;
  } cases[] = {
      {9, 7, {0, 0, 0, 0}},     {9, 7, {0, 0, -5, 10}},  {9, 7, {5, 5, 2, 2}},  {1, 1, {0, 0, 20, 20}},
      {2, 1, {0, 0, 20, 20}},   {1, 5, {0, 0, 3, 40}},   {0, 0, {0, 0, 20, 20}}, {2, 2, {0, 0, 1, 1}},
      {11, 4, {0, 0, 30, 4}},   {3, 3, {-4, -4, 8, 8}},
  };
  auto drawAll = [&] {
    for (const auto& c : cases) {
      auto sourceOwner = c.sourceWidth > 0 ? HandMadeFace(c.sourceWidth, c.sourceHeight) : std::make_unique<TBitmap>();
      TBitmap& source = *sourceOwner;
      auto outOwner = Ground(24, 24);
    TBitmap& out = *outOwner;
      SpitDraw(source, out.Canvas(), c.rect, true);
      SpitDraw(source, out.Canvas(), c.rect, false);
      SpitDrawHorizontal2(source, out.Canvas(), c.rect, kMagenta, true);
      SpitDrawHorizontal(source, out.Canvas(), c.rect, false, clWhite, true);
      TileDraw(out.Canvas(), source, c.rect);
      DrawHorizontalGradient(out.Canvas(), c.rect, clBlack, clWhite);
      DrawVerticalGradient(out.Canvas(), c.rect, clBlack, clWhite);
      TBitmap frame;
      SpitBitmap(source, frame, 4, 4);
    }
  };
  drawAll();  // lets GDI make its lazily created objects first
  const int before = test::CountGdiObjects();
  for (int round = 0; round < 20; ++round) drawAll();
  EXPECT_EQ(test::CountGdiObjects(), before);

  // Positive control: the count does see objects that stay.
  HBRUSH kept = CreateSolidBrush(0x123456);
  EXPECT_EQ(test::CountGdiObjects(), before + 1);
  DeleteObject(kept);
}

}  // namespace
}  // namespace plx
