// TBitmap, TIcon and TPicture against real GDI under Wine.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Bitmap.h"
#include "tests/framework/graphics_bmp_builder.h"
#include "tests/framework/graphics_test_support.h"

namespace plx {
namespace {

// 3 x 2, top row red, green, blue; bottom row white, black, magenta (as
// 0x00RRGGBB in the file).
std::vector<std::uint8_t> SmallBmp() {
  return test::BuildBmp(test::MakeSpec(24, {}, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0xFF00FF}));
}

const TColor kSmallPixels[] = {clRed, clLime, clBlue, clWhite, clBlack, clFuchsia};  // as TColor

void ExpectSmallPixels(const TBitmap& bitmap, int dx = 0, int dy = 0) {
  for (int i = 0; i < 6; ++i) EXPECT_EQ(bitmap.Pixel(dx + i % 3, dy + i / 3), kSmallPixels[i]) << "pixel " << i;
}

void LoadSmall(TBitmap& bitmap) {
  const std::vector<std::uint8_t> file = SmallBmp();
  TReadOnlyMemoryStream stream(file.data(), file.size());
  bitmap.LoadFromStream(stream);
}

TEST(Bitmap, LoadsFromAStreamAndStopsAfterTheFile) {
  std::vector<std::uint8_t> two = SmallBmp();
  const std::vector<std::uint8_t> second =
      test::BuildBmp(test::MakeSpec(8, {0x00000000, 0x00123456}, {1, 1, 1, 1, 1, 1}));
  two.insert(two.end(), second.begin(), second.end());
  two.push_back(0xEE);
  TReadOnlyMemoryStream stream(two.data(), two.size());

  TBitmap bitmap;
  bitmap.LoadFromStream(stream);
  EXPECT_EQ(stream.Position(), static_cast<std::int64_t>(SmallBmp().size()));
  EXPECT_EQ(bitmap.Width(), 3);
  EXPECT_EQ(bitmap.Height(), 2);
  ExpectSmallPixels(bitmap);
  ASSERT_NE(bitmap.Handle(), nullptr);
  DIBSECTION dib{};
  ASSERT_EQ(GetObjectA(bitmap.Handle(), sizeof dib, &dib), static_cast<int>(sizeof dib));
  EXPECT_EQ(dib.dsBm.bmBitsPixel, 32);

  bitmap.LoadFromStream(stream);
  EXPECT_EQ(bitmap.Pixel(2, 1), TColor{0x00563412});
}

TEST(Bitmap, BadStreamRaisesAndLeavesTheBitmapAsItWas) {
  TBitmap bitmap;
  LoadSmall(bitmap);
  std::vector<std::uint8_t> file = SmallBmp();
  file.resize(file.size() - 3);  // pixels cut short; the length field says more
  for (std::size_t size : {file.size(), std::size_t{10}, std::size_t{0}}) {
    SCOPED_TRACE(size);
    TReadOnlyMemoryStream stream(file.data(), size);
    EXPECT_THROW(bitmap.LoadFromStream(stream), EInvalidGraphic);
    EXPECT_EQ(bitmap.Width(), 3);
    ExpectSmallPixels(bitmap);
  }
}

TEST(Bitmap, SaveToStreamRoundTrips) {
  TBitmap bitmap;
  LoadSmall(bitmap);
  bitmap.Canvas().Pen().SetColor(0x00010203);
  bitmap.Canvas().MoveTo(0, 0);
  bitmap.Canvas().LineTo(1, 0);  // drawn with GDI, read back through the saved file
  TMemoryStream stream;
  bitmap.SaveToStream(stream);
  stream.SetPosition(0);
  TBitmap copy;
  copy.LoadFromStream(stream);
  EXPECT_EQ(copy.Pixel(0, 0), TColor{0x00010203});
  for (int i = 1; i < 6; ++i) EXPECT_EQ(copy.Pixel(i % 3, i / 3), kSmallPixels[i]);
}

TEST(Bitmap, SetSizeKeepsTheSharedPixelsAndBlackensNewOnes) {
  TBitmap bitmap;
  LoadSmall(bitmap);
  bitmap.Canvas().TextWidth("x");  // the canvas holds the DIB in its DC now
  bitmap.SetSize(4, 3);
  EXPECT_EQ(bitmap.Width(), 4);
  ExpectSmallPixels(bitmap);
  for (TPoint p : {TPoint{3, 0}, TPoint{3, 2}, TPoint{0, 2}}) EXPECT_EQ(bitmap.Pixel(p.X, p.Y), clBlack);
  // The canvas draws on the new DIB.
  bitmap.Canvas().SetPixel(3, 2, clYellow);
  EXPECT_EQ(bitmap.Pixel(3, 2), clYellow);

  HBITMAP old = bitmap.Handle();
  bitmap.SetSize(0, 5);
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_EQ(bitmap.Handle(), nullptr);
  EXPECT_EQ(GetObjectType(old), 0u);
  EXPECT_THROW(bitmap.SetSize(-1, 1), EInvalidGraphic);
}

TEST(Bitmap, DrawsOpaqueStretchedAndTransparent) {
  TBitmap small;
  LoadSmall(small);
  struct Case {
    const char* name;
    bool transparent;
    TRect target;
  };
  const Case cases[] = {
      {"at a point", false, {4, 5, 7, 7}},
      {"stretched twice", false, {2, 2, 8, 6}},
      {"transparent magenta", true, {4, 5, 7, 7}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap source;
    source.Assign(small);
    source.SetTransparent(c.transparent);
    source.SetTransparentColor(clFuchsia);
    TBitmap target(10, 10);
    target.Canvas().Brush().SetColor(clGray);
    target.Canvas().FillRect({0, 0, 10, 10});
    if (c.target.Width() == 3)
      target.Canvas().Draw(c.target.Left, c.target.Top, source);
    else
      target.Canvas().StretchDraw(c.target, source);
    const int sx = c.target.Width() / 3, sy = c.target.Height() / 2;
    auto want = [&](int x, int y) {
      const bool inside = x >= c.target.Left && x < c.target.Right && y >= c.target.Top && y < c.target.Bottom;
      if (!inside) return clGray;
      const TColor pixel = kSmallPixels[(y - c.target.Top) / sy * 3 + (x - c.target.Left) / sx];
      return c.transparent && pixel == clFuchsia ? clGray : pixel;
    };
    EXPECT_TRUE(test::PixelsMatch(target, want, std::string("draw_") + c.name));
  }
}

TEST(Bitmap, TransparentColourDefaultsToTheBottomLeftPixel) {
  TBitmap bitmap;
  LoadSmall(bitmap);
  EXPECT_EQ(bitmap.TransparentColor(), clWhite);
  bitmap.SetTransparentColor(clFuchsia);
  EXPECT_EQ(bitmap.TransparentColor(), clFuchsia);
}

TEST(Bitmap, AssignCopiesPixelsIntoAnIndependentImage) {
  TBitmap source;
  LoadSmall(source);
  source.SetTransparent(true);
  TBitmap copy;
  int changes = 0;
  copy.OnChange = [&](TObject*) { ++changes; };
  copy.Assign(source);
  EXPECT_GT(changes, 0);
  ExpectSmallPixels(copy);
  EXPECT_TRUE(copy.Transparent());
  EXPECT_NE(copy.Handle(), source.Handle());
  source.SetPixel(0, 0, clBlack);
  EXPECT_EQ(copy.Pixel(0, 0), clRed);
}

// Reads any HBITMAP as 32-bit top-down pixels through GDI itself.
std::vector<TColor> PixelsByGdi(HBITMAP bitmap, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  std::vector<std::uint32_t> raw(static_cast<std::size_t>(width) * height);
  TWindowDC screen(nullptr);
  EXPECT_EQ(GetDIBits(screen.Get(), bitmap, 0, height, raw.data(), &info, DIB_RGB_COLORS), height);
  std::vector<TColor> out;
  out.reserve(raw.size());
  for (std::uint32_t p : raw) out.push_back(((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF));
  return out;
}

TEST(Bitmap, LoadsBitmapResourcesLikeTheSystemLoader) {
  // Bitmaps every system carries: a 4-bit one in user32, a 32-bit one with
  // colour masks in the common controls.
  const struct {
    const char* module;
    int id;
  } cases[] = {{"user32.dll", 32754 /* OBM_CLOSE */}, {"comctl32.dll", 120 /* IDB_STD_SMALL_COLOR */}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.module);
    HMODULE module = LoadLibraryA(c.module);
    ASSERT_NE(module, nullptr);
    TOwnedBitmap reference(static_cast<HBITMAP>(
        LoadImageA(module, MAKEINTRESOURCEA(c.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    ASSERT_TRUE(reference);
    BITMAP bm{};
    GetObjectA(reference.Get(), sizeof bm, &bm);

    TBitmap bitmap;
    bitmap.LoadFromResourceID(module, c.id);
    ASSERT_EQ(bitmap.Width(), bm.bmWidth);
    ASSERT_EQ(bitmap.Height(), bm.bmHeight);
    const std::vector<TColor> want = PixelsByGdi(reference.Get(), bm.bmWidth, bm.bmHeight);
    std::vector<TColor> got;
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width(); ++x) got.push_back(bitmap.Pixel(x, y));
    EXPECT_EQ(got, want);
    FreeLibrary(module);
  }
  TBitmap bitmap;
  try {
    bitmap.LoadFromResourceName(GetModuleHandleA(nullptr), "NO_SUCH_BITMAP");
    ADD_FAILURE() << "no exception";
  } catch (const EResNotFound& e) {
    EXPECT_EQ(e.Message(), "Resource NO_SUCH_BITMAP not found");
  }
  EXPECT_THROW(bitmap.LoadFromResourceID(GetModuleHandleA(nullptr), 4711), EResNotFound);
}

TEST(Bitmap, ReleasesItsDIBAndDCWhenItGoes) {
  HGDIOBJ dib;
  HDC dc;
  HGDIOBJ font;
  {
    TBitmap bitmap(5, 5);
    bitmap.Canvas().TextOut(0, 0, "x");
    dib = bitmap.Handle();
    dc = bitmap.Canvas().Handle();
    font = bitmap.Canvas().Font().Handle();
    EXPECT_EQ(GetObjectType(dib), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
  }
  EXPECT_EQ(GetObjectType(dib), 0u);
  EXPECT_EQ(GetObjectType(dc), 0u);
  EXPECT_EQ(GetObjectType(font), 0u);
}

TEST(Icon, LoadsDrawsAndCopiesASystemIcon) {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  TIcon icon;
  icon.LoadFromResourceID(user32, 32512 /* IDI_APPLICATION */, 16);
  ASSERT_FALSE(icon.Empty());
  EXPECT_EQ(icon.Width(), 16);
  EXPECT_EQ(icon.Height(), 16);

  TBitmap target(20, 20);
  target.Canvas().Brush().SetColor(clFuchsia);
  target.Canvas().FillRect({0, 0, 20, 20});
  target.Canvas().Draw(2, 2, icon);
  int changed = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      const bool inside = x >= 2 && x < 18 && y >= 2 && y < 18;
      if (!inside) {
        ASSERT_EQ(target.Pixel(x, y), clFuchsia);
      }
      changed += inside && target.Pixel(x, y) != clFuchsia;
    }
  EXPECT_GT(changed, 0);

  HICON first = icon.Handle();
  TIcon copy;
  copy.Assign(icon);
  EXPECT_NE(copy.Handle(), first);
  EXPECT_EQ(copy.Width(), 16);
  EXPECT_THROW(icon.LoadFromResourceName(user32, "NO_SUCH_ICON"), EResNotFound);
  EXPECT_EQ(icon.Handle(), first);  // a failed load keeps the icon
}

TEST(Picture, HoldsABitmapLoadedFromAStreamAndCopiesIt) {
  TPicture picture;
  int changes = 0;
  picture.OnChange = [&](TObject*) { ++changes; };
  EXPECT_TRUE(picture.Empty());
  EXPECT_EQ(picture.Graphic(), nullptr);

  const std::vector<std::uint8_t> file = SmallBmp();
  TReadOnlyMemoryStream stream(file.data(), file.size());
  picture.LoadFromStream(stream);
  EXPECT_EQ(changes, 1);
  ASSERT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 3);
  ExpectSmallPixels(picture.Bitmap());

  // Changes of the held bitmap reach the picture's listeners.
  picture.Bitmap().SetTransparent(true);
  EXPECT_EQ(changes, 2);

  TPicture copy;
  copy.Assign(picture);
  ASSERT_NE(copy.Graphic(), picture.Graphic());
  ExpectSmallPixels(copy.Bitmap());
  EXPECT_TRUE(copy.Bitmap().Transparent());

  // A picture that holds an icon gives it up for an empty bitmap.
  TIcon icon;
  icon.LoadFromResourceID(GetModuleHandleA("user32.dll"), 32512, 16);
  copy.Assign(icon);
  ASSERT_NE(dynamic_cast<TIcon*>(copy.Graphic()), nullptr);
  EXPECT_EQ(copy.Width(), 16);
  EXPECT_TRUE(copy.Bitmap().Empty());
}

}  // namespace
}  // namespace plx

namespace plx {
namespace {

// Wine does not count GDI objects (GetGuiResources answers 0), but its
// handle table holds at most 65536 objects: leaking one object per round
// would exhaust it before the last round, and creating the next object would
// fail (the canvas raises, or the pixel check sees nothing drawn).
constexpr int kRoundsBeyondTheHandleTable = 70000;

TEST(Graphics, ChangingFontPenAndBrushWhileDrawingLeaksNoGdiObject) {
  const DWORD objects_before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  TBitmap bitmap(8, 8);
  TCanvas& canvas = bitmap.Canvas();
  for (int round = 0; round < kRoundsBeyondTheHandleTable; ++round) {
    const TColor pen = static_cast<TColor>(round & 0xFFFFFF), brush = static_cast<TColor>((round * 7) & 0xFFFFFF);
    canvas.Pen().SetColor(pen);
    canvas.Brush().SetColor(brush);
    canvas.Rectangle(0, 0, 8, 8);
    if (bitmap.Pixel(0, 0) != pen || bitmap.Pixel(3, 3) != brush) FAIL() << "round " << round << ": nothing drawn";
    canvas.Font().SetHeight(-10 - round % 5);  // remade while selected
    canvas.TextOut(0, 0, "x");
  }
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), objects_before);
}

TEST(Graphics, BitmapsDrawnOnAndFromLeakNoGdiObject) {
  const DWORD objects_before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  TBitmap source(2, 2);
  source.SetPixel(0, 0, clRed);
  source.SetTransparent(true);
  for (int round = 0; round < kRoundsBeyondTheHandleTable; ++round) {
    TBitmap bitmap(4, 4);  // a DIB, a memory DC, and the font of its canvas
    bitmap.Canvas().TextWidth("x");
    bitmap.Canvas().Draw(1, 1, source);
    if (bitmap.Pixel(1, 1) != clRed) FAIL() << "round " << round << ": nothing drawn";
  }
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), objects_before);
}

}  // namespace
}  // namespace plx
