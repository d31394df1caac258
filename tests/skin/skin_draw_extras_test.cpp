// The drawing set's routines for controls outside the main window: quarter
// turns, colour replacement, smooth resizing, shaped and see-through
// windows, control borders, system captions and late-bound functions.

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "framework/Bitmap.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "skin/SkinDrawExtras.h"
#include "tests/skin/GoldenImage.h"
#include "tests/support/ResourceCounts.h"

namespace plx {
namespace {

// Pixel (x, y) holds red x, green y: where it came from shows after a turn.
std::unique_ptr<TBitmap> Coded(int width, int height) {
  auto bitmap = std::make_unique<TBitmap>(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) bitmap->SetPixel(x, y, static_cast<TColor>(x | y << 8 | 0x400000));
  return bitmap;
}
int FromX(TColor c) { return static_cast<int>(c & 0xFF); }
int FromY(TColor c) { return static_cast<int>((c >> 8) & 0xFF); }

TEST(RoundPicture, QuarterTurnsSwapWidthAndHeight) {
  const struct {
    void (*turn)(TBitmap&);
    const char* name;
    // Where destination pixel (x, y) comes from, for a 4 x 3 source.
    int (*sourceX)(int x, int y);
    int (*sourceY)(int x, int y);
  } turns[] = {
      {RoundPicture, "clockwise", [](int, int y) { return y; }, [](int x, int) { return 2 - x; }},
      {RoundPicture2, "counter-clockwise", [](int, int y) { return 3 - y; }, [](int x, int) { return x; }},
      {RoundPicture3, "diagonal mirror", [](int, int y) { return y; }, [](int x, int) { return x; }},
  };
  for (const auto& t : turns) {
    SCOPED_TRACE(t.name);
    auto bitmap = Coded(4, 3);
    t.turn(*bitmap);
    ASSERT_EQ(bitmap->Width(), 3);
    ASSERT_EQ(bitmap->Height(), 4);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(FromX(bitmap->Pixel(x, y)), t.sourceX(x, y)) << x << ", " << y;
        EXPECT_EQ(FromY(bitmap->Pixel(x, y)), t.sourceY(x, y)) << x << ", " << y;
      }
  }
  TBitmap empty;
  RoundPicture(empty);
  EXPECT_TRUE(empty.Empty());
}

TEST(ScanColor, ReplacesOnlyTheExactColour) {
  auto bitmap = Coded(3, 2);
  bitmap->SetPixel(1, 1, 0x00FF00FF);
  bitmap->SetPixel(2, 0, 0x00FF00FE);
  ScanColor(*bitmap, 0x00FF00FF, 0x00F0F0F0);
  EXPECT_EQ(bitmap->Pixel(1, 1), 0x00F0F0F0u);
  EXPECT_EQ(bitmap->Pixel(2, 0), 0x00FF00FEu);
  EXPECT_EQ(bitmap->Pixel(0, 0), 0x00400000u);
}

TEST(ResizeImage, SmoothsIntoTheRectangle) {
  // Four coloured quadrants: the halftone stretch blends where they meet.
  TBitmap source(6, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x)
      source.SetPixel(x, y, x < 3 ? (y < 2 ? 0x002020E0 : 0x0020C020) : (y < 2 ? 0x00E02020 : 0x0020E0E0));
  TBitmap out(20, 12);
  out.Canvas().Brush().SetColor(0x00606060);
  out.Canvas().FillRect({0, 0, 20, 12});
  ResizeImage(source, out.Canvas(), {2, 1, 17, 11});
  EXPECT_EQ(out.Pixel(0, 0), 0x00606060u);
  EXPECT_EQ(out.Pixel(18, 11), 0x00606060u);
  EXPECT_TRUE(test::MatchesGolden(out, "resize_image"));
}

TEST(SetBitmapWindow, TheWindowKeepsThePixelsThatAreNotTheColour) {
  TForm form(nullptr);
  form.SetBorderStyle(TFormBorderStyle::bsNone);
  form.SetBounds(20, 20, 10, 6);
  // A cross of opaque pixels on magenta.
  TBitmap shape(10, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 10; ++x) shape.SetPixel(x, y, (x == 4 || y == 2) ? 0x00202020 : 0x00FF00FF);
  const int before = test::CountGdiObjects();
  ASSERT_TRUE(SetBitmapWindow(form.Handle(), shape, 0x00FF00FF));
  TOwnedRegion region(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(form.Handle(), region.Get()), ERROR);
  EXPECT_TRUE(PtInRegion(region.Get(), 4, 0));
  EXPECT_TRUE(PtInRegion(region.Get(), 9, 2));
  EXPECT_FALSE(PtInRegion(region.Get(), 0, 0));
  EXPECT_FALSE(PtInRegion(region.Get(), 9, 5));
  region.Reset();
  // Again and again: the system frees the region it held; nothing piles up.
  for (int i = 0; i < 50; ++i) SetBitmapWindow(form.Handle(), shape, 0x00FF00FF);
  EXPECT_LE(test::CountGdiObjects(), before + 1);  // the window's own region
}

TEST(DrawControlBorder, FramesTheWholeWindowAndOptionallyInside) {
  TForm form(nullptr);
  form.SetBounds(60, 60, 200, 120);
  auto* panel = new TPanel(&form);
  panel->SetBounds(10, 10, 40, 30);
  panel->SetBevelOuter(TBevelCut::bvNone);
  panel->SetParent(&form);
  form.Show();
  UpdateWindow(form.Handle());
  const int before = test::CountGdiObjects();
  DrawControlBorder(*panel, 0x000000FF, 0x0000FF00, true);
  HDC dc = GetWindowDC(panel->Handle());
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0xFF, 0, 0));
  EXPECT_EQ(GetPixel(dc, 39, 29), RGB(0xFF, 0, 0));
  EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0, 0xFF, 0));
  EXPECT_NE(GetPixel(dc, 2, 2), RGB(0, 0xFF, 0));
  ReleaseDC(panel->Handle(), dc);
  EXPECT_EQ(test::CountGdiObjects(), before);
}

TEST(SetWinControlTransparent, AddsTheSeeThroughStyle) {
  TForm form(nullptr);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  EXPECT_EQ(GetWindowLongPtrA(panel->Handle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0);
  SetWinControlTransparent(*panel);
  EXPECT_NE(GetWindowLongPtrA(panel->Handle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0);
}

TEST(GetLocaleButtonCaption, SystemCaptionsAndFixedEnglishOnes) {
  EXPECT_EQ(GetLocaleButtonCaption(TMsgDlgBtn::mbAll), "All");
  EXPECT_EQ(GetLocaleButtonCaption(TMsgDlgBtn::mbNoToAll), "No to All");
  EXPECT_EQ(GetLocaleButtonCaption(TMsgDlgBtn::mbYesToAll), "Yes to All");
  for (TMsgDlgBtn button : {TMsgDlgBtn::mbOK, TMsgDlgBtn::mbCancel, TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo,
                            TMsgDlgBtn::mbRetry, TMsgDlgBtn::mbHelp})
    EXPECT_FALSE(GetLocaleButtonCaption(button).empty());
}

TEST(PlatformBindings, VersionFlagsCaptionFontAndLateBoundFunctions) {
  EXPECT_TRUE(IsWinXP());
  EXPECT_EQ(IsWinVista(), IsWinVista());  // computed once, stable
  TFont font;
  font.SetName("Nothing Like It");
  GetCaptionFont(font);
  EXPECT_NE(font.Name(), "Nothing Like It");

  TForm form(nullptr);
  auto* memo = new TMemo(&form);
  memo->SetScrollBars(TScrollStyle::ssVertical);
  memo->SetParent(&form);
  SCROLLBARINFO info{};
  EXPECT_TRUE(KIVGetScrollBarInfo(memo->Handle(), OBJID_VSCROLL, info));
  COMBOBOXINFO combo{};
  EXPECT_FALSE(KIVGetComboBoxInfo(memo->Handle(), combo));  // not a combo box
}

}  // namespace
}  // namespace plx
