// The picture control: shows its picture at its top-left corner and paints
// again when the picture changes, on a real window on the screen.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "framework/Application.h"
#include "framework/Forms.h"
#include "framework/GdiHandles.h"
#include "framework/Image.h"
#include "tests/support/WindowTestSupport.h"

namespace plx {
namespace {

using test::PumpUntil;
using test::ScreenPixel;

// A bitmap of two colour bands: left half first, right half second.
std::unique_ptr<TBitmap> Bands(int width, int height, TColor first, TColor second) {
  auto bitmap = std::make_unique<TBitmap>(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) bitmap->SetPixel(x, y, x < width / 2 ? first : second);
  return bitmap;
}

TEST(Image, ShowsItsPictureAndRepaintsWhenItChanges) {
  TForm form(nullptr);
  form.SetBounds(200, 200, 300, 200);
  auto* image = new TImage(&form);
  image->SetParent(&form);
  image->SetBounds(20, 20, 120, 80);
  image->SetColor(static_cast<TColor>(RGB(10, 20, 30)));
  image->Picture().SetGraphic(Bands(40, 30, clRed, clBlue));
  form.Show();
  const HWND window = image->Handle();
  EXPECT_TRUE(PumpUntil([&] { return ScreenPixel(window, 5, 5) == RGB(255, 0, 0); }));
  EXPECT_EQ(ScreenPixel(window, 35, 25), RGB(0, 0, 255));
  EXPECT_EQ(ScreenPixel(window, 60, 50), RGB(10, 20, 30)) << "outside the picture: the control's colour";

  image->Picture().SetGraphic(Bands(80, 60, clLime, clYellow));
  EXPECT_TRUE(PumpUntil([&] { return ScreenPixel(window, 60, 50) == RGB(255, 255, 0); }));
  EXPECT_EQ(ScreenPixel(window, 5, 5), RGB(0, 255, 0));
}

}  // namespace
}  // namespace plx
