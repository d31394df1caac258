// The canvas, fonts, pens and brushes against real GDI: everything is drawn
// into a TBitmap and read back pixel by pixel.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Bitmap.h"
#include "framework/Graphics.h"

namespace plx {
namespace {

// How many pixels of r have the colour c.
int CountColour(const TBitmap& bitmap, const TRect& r, TColor c) {
  int n = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) n += bitmap.Pixel(x, y) == c;
  return n;
}

int Area(const TRect& r) { return r.Width() * r.Height(); }

// A bitmap filled with one colour.
void Fill(TBitmap& bitmap, TColor c) {
  bitmap.Canvas().Brush().SetColor(c);
  bitmap.Canvas().FillRect({0, 0, bitmap.Width(), bitmap.Height()});
}

TEST(ColorToRGB, ResolvesSystemColoursAndLeavesOthers) {
  const struct {
    TColor in;
    TColor out;
  } cases[] = {
      {clRed, 0x0000FF},
      {0x00123456, 0x00123456},
      {clNone, clNone},
      {clHighlight, GetSysColor(COLOR_HIGHLIGHT)},
      {clBtnFace, GetSysColor(COLOR_BTNFACE)},
      {clWindowText, GetSysColor(COLOR_WINDOWTEXT)},
  };
  for (const auto& c : cases) EXPECT_EQ(ColorToRGB(c.in), c.out) << std::hex << c.in;
}

TEST(Canvas, FillRectPaintsExactlyTheRectangleInTheBrushColour) {
  for (TColor colour : {clRed, clHighlight, TColor{0x00123456}}) {
    SCOPED_TRACE(colour);
    TBitmap bitmap(10, 8);
    bitmap.Canvas().Brush().SetColor(colour);
    const TRect r{2, 1, 7, 5};  // right and bottom exclusive
    bitmap.Canvas().FillRect(r);
    EXPECT_EQ(CountColour(bitmap, r, ColorToRGB(colour)), Area(r));
    EXPECT_EQ(CountColour(bitmap, {0, 0, 10, 8}, ColorToRGB(colour)), Area(r));
  }
}

TEST(Canvas, ClearBrushFillsNothing) {
  TBitmap bitmap(6, 6);
  Fill(bitmap, clWhite);
  bitmap.Canvas().Brush().SetStyle(bsClear);
  bitmap.Canvas().FillRect({0, 0, 6, 6});
  bitmap.Canvas().Pen().SetColor(clBlue);
  bitmap.Canvas().Rectangle(0, 0, 6, 6);
  // Outline blue, inside untouched.
  EXPECT_EQ(CountColour(bitmap, {1, 1, 5, 5}, clWhite), 16);
  EXPECT_EQ(CountColour(bitmap, {0, 0, 6, 6}, clBlue), 20);
}

TEST(Canvas, RectangleDrawsPenOutlineAndBrushInside) {
  struct Case {
    const char* name;
    TPenStyle pen;
    int pen_width;
    int outline_pixels;  // of the 8 x 6 rectangle
  };
  const Case cases[] = {{"solid", psSolid, 1, 2 * 8 + 2 * 4}, {"clear pen", psClear, 1, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBitmap bitmap(12, 10);
    Fill(bitmap, clWhite);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Pen().SetColor(clRed);
    canvas.Pen().SetStyle(c.pen);
    canvas.Pen().SetWidth(c.pen_width);
    canvas.Brush().SetColor(clLime);
    canvas.Rectangle({2, 2, 10, 8});
    EXPECT_EQ(CountColour(bitmap, {0, 0, 12, 10}, clRed), c.outline_pixels);
    // A null pen leaves the right and bottom edge unpainted as well.
    const int inside = c.pen == psClear ? 7 * 5 : 6 * 4;
    EXPECT_EQ(CountColour(bitmap, {0, 0, 12, 10}, clLime), inside);
  }
}

TEST(Canvas, LineToDrawsUpToButExcludingTheEndPoint) {
  TBitmap bitmap(10, 3);
  Fill(bitmap, clWhite);
  bitmap.Canvas().Pen().SetColor(clNavy);
  bitmap.Canvas().MoveTo(1, 1);
  bitmap.Canvas().LineTo(8, 1);
  EXPECT_EQ(CountColour(bitmap, {1, 1, 8, 2}, clNavy), 7);
  EXPECT_EQ(bitmap.Pixel(8, 1), clWhite);
  EXPECT_EQ(bitmap.Canvas().PenPos(), (TPoint{8, 1}));
}

TEST(Canvas, InvertingPenModesUndoThemselves) {
  for (TPenMode mode : {pmNot, pmXor}) {
    SCOPED_TRACE(static_cast<int>(mode));
    TBitmap bitmap(6, 2);
    Fill(bitmap, 0x00102030);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Pen().SetColor(clWhite);
    canvas.Pen().SetMode(mode);
    canvas.MoveTo(0, 0);
    canvas.LineTo(6, 0);
    EXPECT_EQ(bitmap.Pixel(3, 0), 0x00EFDFCF);  // white xor c and not c agree
    canvas.MoveTo(0, 0);
    canvas.LineTo(6, 0);
    EXPECT_EQ(CountColour(bitmap, {0, 0, 6, 2}, 0x00102030), 12);
  }
}

TEST(Canvas, DrawFocusRectTwiceRestoresThePixels) {
  TBitmap bitmap(20, 10);
  Fill(bitmap, 0x00336699);
  bitmap.Canvas().DrawFocusRect({1, 1, 19, 9});
  EXPECT_LT(CountColour(bitmap, {0, 0, 20, 10}, 0x00336699), 200);
  EXPECT_EQ(CountColour(bitmap, {2, 2, 18, 8}, 0x00336699), 16 * 6);  // only the frame changes
  bitmap.Canvas().DrawFocusRect({1, 1, 19, 9});
  EXPECT_EQ(CountColour(bitmap, {0, 0, 20, 10}, 0x00336699), 200);
}

TEST(Canvas, TextBackgroundFollowsTheBrush) {
  struct Case {
    const char* name;
    TBrushStyle brush;
    bool cell_painted;
  };
  for (const Case& c : {Case{"solid brush", bsSolid, true}, Case{"clear brush", bsClear, false}}) {
    SCOPED_TRACE(c.name);
    TBitmap bitmap(60, 20);
    Fill(bitmap, clWhite);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Font().SetColor(clBlue);
    canvas.Brush().SetColor(clYellow);
    canvas.Brush().SetStyle(c.brush);
    canvas.TextOut(2, 2, "gh");
    const TSize size = canvas.TextExtent("gh");
    const TRect cell{2, 2, 2 + size.cx, 2 + size.cy};
    EXPECT_GT(CountColour(bitmap, cell, clBlue), 0);
    EXPECT_EQ(CountColour(bitmap, cell, clYellow) > 0, c.cell_painted);
    // Nothing outside the text cell.
    EXPECT_EQ(CountColour(bitmap, {0, 0, 60, 20}, clWhite) + Area(cell), 60 * 20 +
              CountColour(bitmap, cell, clWhite));
  }
}

TEST(Canvas, TextMetricsOfTheDefaultFont) {
  TBitmap bitmap(1, 1);
  TCanvas& canvas = bitmap.Canvas();
  EXPECT_EQ(canvas.Font().Name(), "MS Sans Serif");
  EXPECT_EQ(canvas.Font().Size(), 8);
  EXPECT_EQ(canvas.Font().Height(), -11);  // 8 points at 96 pixels per inch
  EXPECT_EQ(canvas.TextWidth(""), 0);
  const int plain = canvas.TextWidth("Plexoria clip");
  EXPECT_GT(plain, 0);
  EXPECT_EQ(canvas.TextWidth(std::string("ab\0cd", 5)), canvas.TextExtent(std::string("ab\0cd", 5)).cx);
  EXPECT_GT(canvas.TextWidth(std::string("ab\0cd", 5)), canvas.TextWidth("abcd"));  // the zero byte counts

  // A change while the font is selected takes effect at once.
  canvas.Font().SetStyle({fsBold});
  EXPECT_GT(canvas.TextWidth("Plexoria clip"), plain);
  canvas.Font().SetSize(16);
  EXPECT_EQ(canvas.Font().Height(), -21);
  EXPECT_GT(canvas.TextHeight("gh"), 12);
}

TEST(Canvas, EightPointMSSansSerifIsThirteenPixelsHigh) {
  TBitmap bitmap(1, 1);
  TCanvas& canvas = bitmap.Canvas();
  canvas.TextWidth("x");  // selects the font
  char face[LF_FACESIZE] = {};
  GetTextFaceA(canvas.Handle(), LF_FACESIZE, face);
  if (std::string(face) != "MS Sans Serif") GTEST_SKIP() << "MS Sans Serif is not installed; got " << face;
  EXPECT_EQ(canvas.TextHeight("gh"), 13);
}

TEST(Canvas, DrawTextCalcRectMeasuresWithoutDrawing) {
  TBitmap bitmap(200, 40);
  Fill(bitmap, clWhite);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Brush().SetStyle(bsClear);
  TRect r{5, 5, 200, 40};
  const std::string text = "aaa bbb";
  canvas.DrawText(text, r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_EQ(r, (TRect{5, 5, 5 + canvas.TextWidth(text), 5 + canvas.TextHeight(text)}));
  EXPECT_EQ(CountColour(bitmap, {0, 0, 200, 40}, clWhite), 200 * 40);
  canvas.DrawText(text, r, DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_LT(CountColour(bitmap, r, clWhite), Area(r));
  EXPECT_EQ(text, "aaa bbb");
}

TEST(Canvas, TextRectClipsToItsRectangle) {
  TBitmap bitmap(60, 20);
  Fill(bitmap, clWhite);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Font().SetColor(clBlack);
  canvas.Brush().SetColor(clAqua);
  const TRect r{10, 2, 20, 18};
  canvas.TextRect(r, 5, 2, "WWWWWWWW");
  EXPECT_EQ(CountColour(bitmap, {0, 0, 10, 20}, clWhite), 10 * 20);
  EXPECT_EQ(CountColour(bitmap, {20, 0, 60, 20}, clWhite), 40 * 20);
  EXPECT_EQ(CountColour(bitmap, r, clAqua) + CountColour(bitmap, r, clBlack), Area(r));
  EXPECT_GT(CountColour(bitmap, r, clBlack), 0);
}

TEST(Canvas, ClipRectNarrowsDrawingUntilTheStateIsRestored) {
  TBitmap bitmap(10, 10);
  TCanvas& canvas = bitmap.Canvas();
  EXPECT_EQ(canvas.ClipRect(), (TRect{0, 0, 10, 10}));
  {
    TCanvasStateGuard guard(canvas);
    canvas.IntersectClipRect({2, 2, 6, 6});
    canvas.ExcludeClipRect({2, 2, 3, 3});
    EXPECT_EQ(canvas.ClipRect(), (TRect{2, 2, 6, 6}));
    canvas.Brush().SetColor(clRed);
    canvas.FillRect({0, 0, 10, 10});
  }
  EXPECT_EQ(CountColour(bitmap, {0, 0, 10, 10}, clRed), 15);
  EXPECT_EQ(canvas.ClipRect(), (TRect{0, 0, 10, 10}));
  // The brush chosen inside the guarded scope is still the canvas' brush.
  canvas.FillRect({0, 0, 10, 10});
  EXPECT_EQ(CountColour(bitmap, {0, 0, 10, 10}, clRed), 100);
}

TEST(Canvas, PixelsOutsideTheSurfaceAreNone) {
  TBitmap bitmap(4, 4);
  bitmap.Canvas().SetPixel(1, 2, clPurple);
  EXPECT_EQ(bitmap.Canvas().Pixel(1, 2), clPurple);
  EXPECT_EQ(bitmap.Pixel(1, 2), clPurple);
  EXPECT_EQ(bitmap.Canvas().Pixel(4, 0), clNone);
  EXPECT_EQ(bitmap.Pixel(-1, 0), clNone);
  EXPECT_EQ(bitmap.Pixel(0, 4), clNone);
}

TEST(Canvas, CopyRectStretchesFromAnotherCanvas) {
  TBitmap source(2, 1);
  source.SetPixel(0, 0, clRed);
  source.SetPixel(1, 0, clBlue);
  TBitmap target(8, 4);
  target.Canvas().CopyRect({0, 0, 8, 4}, source.Canvas(), {0, 0, 2, 1});
  EXPECT_EQ(CountColour(target, {0, 0, 4, 4}, clRed), 16);
  EXPECT_EQ(CountColour(target, {4, 0, 8, 4}, clBlue), 16);
}

// Stands for a control's canvas that gets its DC only when drawing starts.
class OnDemandCanvas : public TCanvas {
 public:
  explicit OnDemandCanvas(HDC dc) : given_(dc) {}
  ~OnDemandCanvas() override { SetHandle(nullptr); }
  int created = 0;

 protected:
  void CreateHandle() override {
    ++created;
    SetHandle(given_);
  }

 private:
  HDC given_;  // borrowed
};

TEST(Canvas, AsksForADCOnlyWhenItNeedsOne) {
  TMemoryDC memory(nullptr);
  OnDemandCanvas canvas(memory.Get());
  canvas.Font().SetName("Tahoma");
  EXPECT_EQ(canvas.created, 0);
  EXPECT_FALSE(canvas.HandleAllocated());
  EXPECT_EQ(canvas.Handle(), memory.Get());
  canvas.TextWidth("x");
  EXPECT_EQ(canvas.created, 1);

  TCanvas withoutDc;
  EXPECT_THROW(withoutDc.FillRect({0, 0, 1, 1}), EInvalidOperation);
}

TEST(Canvas, GivesABorrowedDCBackAsItFoundItAndLeaksNoObject) {
  TMemoryDC memory(nullptr);
  HDC dc = memory.Get();
  TOwnedFont ownFont(CreateFontA(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma"));
  TWindowDC screen(nullptr);
  TOwnedBitmap surface(CreateCompatibleBitmap(screen.Get(), 16, 16));
  TSelectObject keepFont(dc, ownFont.Get());
  TSelectObject keepSurface(dc, surface.Get());
  SetTextColor(dc, RGB(1, 2, 3));
  SetBkMode(dc, OPAQUE);
  SetROP2(dc, R2_COPYPEN);
  const HGDIOBJ pen_before = GetCurrentObject(dc, OBJ_PEN);
  const HGDIOBJ brush_before = GetCurrentObject(dc, OBJ_BRUSH);

  HGDIOBJ used[3];
  {
    TBorrowedCanvas canvas(dc);
    canvas.Font().SetColor(clRed);
    canvas.Brush().SetStyle(bsClear);
    canvas.Pen().SetMode(pmXor);
    canvas.IntersectClipRect({0, 0, 4, 4});
    canvas.TextOut(0, 0, "x");
    canvas.Rectangle(0, 0, 3, 3);
    used[0] = canvas.Font().Handle();
    used[1] = canvas.Pen().Handle();
    used[2] = GetCurrentObject(dc, OBJ_BRUSH);
    // A change while selected: the old font leaves the DC and is deleted.
    HGDIOBJ oldFont = canvas.Font().Handle();
    canvas.Font().SetHeight(-30);
    canvas.TextOut(0, 0, "y");
    EXPECT_EQ(GetObjectType(oldFont), 0u);
    used[0] = canvas.Font().Handle();
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), used[0]);
  }
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), ownFont.Get());
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen_before);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush_before);
  EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_EQ(GetROP2(dc), R2_COPYPEN);
  RECT clip{};
  GetClipBox(dc, &clip);
  EXPECT_EQ(clip.right, 16);
  // The canvas' own font and pen went with it; the null brush is a stock object.
  EXPECT_EQ(GetObjectType(used[0]), 0u);
  EXPECT_EQ(GetObjectType(used[1]), 0u);
  EXPECT_EQ(used[2], GetStockObject(NULL_BRUSH));
}

TEST(FontPenBrush, SettersRaiseOnChangeOnlyForRealChangesAndAssignCopies) {
  TFont font;
  int changes = 0;
  font.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &font);
    ++changes;
  };
  font.SetName("MS Sans Serif");
  font.SetColor(font.Color());
  font.SetStyle({});
  EXPECT_EQ(changes, 0);
  font.SetStyle(TFontStyles{fsItalic} + fsUnderline);
  font.SetName("Tahoma");
  EXPECT_EQ(changes, 2);

  TFont copy;
  copy.Assign(font);
  EXPECT_EQ(copy.Name(), "Tahoma");
  EXPECT_TRUE(copy.Style().Contains(fsUnderline));
  EXPECT_FALSE(copy.Style().Contains(fsBold));
  LOGFONTA lf{};
  ASSERT_TRUE(GetObjectA(copy.Handle(), sizeof lf, &lf));
  EXPECT_STREQ(lf.lfFaceName, "Tahoma");
  EXPECT_TRUE(lf.lfItalic);
  EXPECT_TRUE(lf.lfUnderline);
  EXPECT_EQ(lf.lfHeight, -11);

  TBrush brush;
  brush.SetStyle(bsClear);
  brush.SetColor(clRed);  // a colour makes the brush solid again
  EXPECT_EQ(brush.Style(), bsSolid);
  TPen pen;
  pen.SetWidth(3);
  TPen penCopy;
  penCopy.Assign(pen);
  EXPECT_EQ(penCopy.Width(), 3);
  EXPECT_THROW(penCopy.Assign(brush), Exception);
}

}  // namespace
}  // namespace plx
