#include <gtest/gtest.h>

#include <string>

#include "framework/ImageList.h"
#include "tests/framework/graphics_test_support.h"

namespace plx {
namespace {

// Two 4 x 3 images side by side: red with a magenta corner, blue with a
// magenta centre pixel.
void MakeStrip(TBitmap& strip) {
  strip.SetSize(8, 3);
  strip.Canvas().Brush().SetColor(clRed);
  strip.Canvas().FillRect({0, 0, 4, 3});
  strip.Canvas().Brush().SetColor(clBlue);
  strip.Canvas().FillRect({4, 0, 8, 3});
  strip.SetPixel(0, 0, clFuchsia);
  strip.SetPixel(5, 1, clFuchsia);
}

TEST(ImageList, AddsAStripAndDrawsImagesThroughTheirMask) {
  TImageList images(nullptr);
  images.SetSize(4, 3);
  TBitmap strip;
  MakeStrip(strip);
  EXPECT_EQ(images.AddMasked(strip, clFuchsia), 0);
  EXPECT_EQ(images.Count(), 2);
  EXPECT_EQ(strip.Pixel(0, 0), clFuchsia);  // the caller's bitmap is untouched

  for (int index : {0, 1}) {
    SCOPED_TRACE(index);
    TBitmap target(10, 8);
    target.Canvas().Brush().SetColor(clGray);
    target.Canvas().FillRect({0, 0, 10, 8});
    images.Draw(target.Canvas(), 3, 2, index);
    const TPoint hole = index == 0 ? TPoint{0, 0} : TPoint{1, 1};
    auto want = [&](int x, int y) {
      const bool inside = x >= 3 && x < 7 && y >= 2 && y < 5;
      const bool masked = inside && x - 3 == hole.X && y - 2 == hole.Y;
      return !inside || masked ? clGray : (index == 0 ? clRed : clBlue);
    };
    EXPECT_TRUE(test::PixelsMatch(target, want, "imagelist_" + std::to_string(index)));
  }
}

TEST(ImageList, IndexesOutsideTheListDrawNothingAndDeleteAndResizeRemoveImages) {
  TImageList images(nullptr);
  images.SetSize(4, 3);
  TBitmap strip;
  MakeStrip(strip);
  images.AddMasked(strip, clFuchsia);
  int changes = 0;
  images.OnChange = [&](TObject*) { ++changes; };

  TBitmap target(10, 8);
  for (int index : {-1, 2, 100}) images.Draw(target.Canvas(), 0, 0, index);
  EXPECT_TRUE(test::PixelsMatch(target, [](int, int) { return clBlack; }, "imagelist_out_of_range"));

  images.Delete(0);
  EXPECT_EQ(images.Count(), 1);
  images.Delete(5);
  EXPECT_EQ(images.Count(), 1);
  images.SetSize(16, 16);
  EXPECT_EQ(images.Count(), 0);
  EXPECT_EQ(changes, 2);
  EXPECT_THROW(images.SetSize(0, 16), EInvalidOperation);
}

}  // namespace
}  // namespace plx
