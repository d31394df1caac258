// Skinned push buttons on real windows: every state of every look against
// golden images, the keyboard and dialog keys, the modal result, mouse
// capture, auto-repeat and mouse enter and leave with real input, and no
// GDI object or window left behind.

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

#include "framework/Application.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "skin/FileTheme.h"
#include "skin/SkinButton.h"
#include "tests/skin/GoldenImage.h"
#include "tests/support/ResourceCounts.h"
#include "tests/support/WindowTestSupport.h"

namespace plx {
namespace {

using test::PumpUntil;

std::string EmbeddedSkin() {
  std::ifstream in(test::EnvironmentPath("PLEXORIA_SOURCE_DIR", ".") + "\\resources\\skin\\plexoria.skn", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void PumpPending() {
  MSG msg{};
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

// One shown form for the whole suite (hiding a window under Wine without a
// window manager takes seconds), a frame-panel-coloured panel on it and one
// button placed like "Remove [-]". Each test's components belong to an owner
// of their own that goes at the end of the test.
struct ButtonFixture : ::testing::Test {
  static void SetUpTestSuite() {
    form = new TForm(nullptr);
    form->SetBounds(40, 40, 260, 140);
    form->Show();
  }
  static void TearDownTestSuite() {
    delete form;
    form = nullptr;
  }
  void SetUp() override {
    owner = new TComponent(nullptr);
    form->SetModalResult(0);
    panel = new TPanel(owner);
    panel->SetBounds(0, 0, 250, 130);
    panel->SetColor(0x00F0F0F0);
    panel->SetBevelOuter(TBevelCut::bvNone);
    panel->SetParent(form);
    button = MakeButton("Remove [-]", 8, 32, 113);
  }
  void TearDown() override {
    delete owner;
    SetFocus(nullptr);
    PumpPending();
  }

  TkivButton* MakeButton(const char* caption, int left, int top, int width) {
    auto* b = new TkivButton(owner);
    b->SetBounds(left, top, width, 27);
    b->SetCaption(caption);
    b->Font().SetName("MS Sans Serif");
    b->Font().SetHeight(-11);
    b->SetParentFont(false);
    b->SetUIStyle(TkivUIStyle::BlueGlass);
    b->SetTransparent(true);
    b->SetParent(panel);
    b->OnClick = [this](TObject*) { ++clicks; };
    return b;
  }

  void ShowForm() {
    SetForegroundWindow(form->Handle());
    PumpPending();
  }

  // The button's own painting, as the screen would get it.
  std::unique_ptr<TBitmap> Shot(TkivButton& b) {
    auto shot = std::make_unique<TBitmap>(b.Width(), b.Height());
    b.Perform(WM_PAINT, reinterpret_cast<WPARAM>(shot->Canvas().Handle()), 0);
    return shot;
  }

  static inline TForm* form = nullptr;
  TComponent* owner = nullptr;
  TPanel* panel = nullptr;
  TkivButton* button = nullptr;
  int clicks = 0;
};

// Every state, top to bottom: normal, mouse on, pressed, disabled, focused,
// default; 4 pixels of white between them.
std::unique_ptr<TBitmap> StateSheet(ButtonFixture& f, TkivButton& b) {
  const int gap = 4, height = b.Height();
  auto sheet = std::make_unique<TBitmap>(b.Width(), 6 * height + 5 * gap);
  sheet->Canvas().Brush().SetColor(clWhite);
  sheet->Canvas().FillRect({0, 0, sheet->Width(), sheet->Height()});
  int row = 0;
  auto put = [&] {
    auto shot = f.Shot(b);
    sheet->Canvas().Draw(0, row * (height + gap), *shot);
    ++row;
  };
  HWND window = b.Handle();
  put();  // normal
  SendMessageA(window, WM_MOUSEMOVE, 0, At(10, 10));
  EXPECT_TRUE(b.MouseOn());
  put();  // mouse on
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
  EXPECT_TRUE(b.Pressed());
  put();  // pressed (and focused, as a press gives the focus)
  SendMessageA(window, WM_LBUTTONUP, 0, At(-20, -20));
  SendMessageA(window, WM_CANCELMODE, 0, 0);
  SetFocus(nullptr);
  b.SetEnabled(false);
  put();  // disabled
  b.SetEnabled(true);
  b.SetFocus();
  EXPECT_EQ(GetFocus(), window);
  put();  // focused
  SetFocus(nullptr);
  b.SetDefault(true);
  put();  // default
  b.SetDefault(false);
  return sheet;
}

TEST_F(ButtonFixture, EveryStateOfEveryLookMatchesItsGoldenImage) {
  ShowForm();
  const struct {
    TkivUIStyle style;
    const char* name;
  } looks[] = {{TkivUIStyle::MacOS, "button_macos"},       {TkivUIStyle::WinXP, "button_winxp"},
               {TkivUIStyle::DeepBlue, "button_deepblue"}, {TkivUIStyle::Protein, "button_protein"},
               {TkivUIStyle::BlueGlass, "button_blueglass"}};
  for (const auto& look : looks) {
    button->SetUIStyle(look.style);
    EXPECT_EQ(button->Transparent(), look.style == TkivUIStyle::MacOS || look.style == TkivUIStyle::BlueGlass);
    button->SetTransparent(true);  // as the main window sets its buttons
    EXPECT_TRUE(test::MatchesGolden(*StateSheet(*this, *button), look.name));
  }

  auto* theme = new TkivBuiltInFileTheme(owner);
  theme->ReadSkinData(EmbeddedSkin());
  ASSERT_TRUE(theme->Ready());
  button->SetFileTheme(theme);
  button->SetUIStyle(TkivUIStyle::FromThemeFile);
  EXPECT_TRUE(button->Transparent());                     // the skin's SKIN2_BUTTONTRANS
  EXPECT_EQ(button->Font().Color(), 0x00FAF8FAu);          // and SKIN2_BUTTONFONTCOLOR
  EXPECT_TRUE(test::MatchesGolden(*StateSheet(*this, *button), "button_embedded_skin"));
}

TEST_F(ButtonFixture, BlueGlassFaceKeepsItsCornersOverThePanelColour) {
  ShowForm();
  auto shot = Shot(*button);
  // The capsule's see-through corners show the panel; the face fills the middle.
  EXPECT_EQ(shot->Pixel(0, 0), 0x00F0F0F0u);
  EXPECT_EQ(shot->Pixel(112, 26), 0x00F0F0F0u);
  EXPECT_NE(shot->Pixel(56, 13), 0x00F0F0F0u);
  // A theme only matters for FromThemeFile: "Remove [-]" names one and still draws BlueGlass.
  auto* theme = new TkivBuiltInFileTheme(owner);
  theme->ReadSkinData(EmbeddedSkin());
  button->SetFileTheme(theme);
  auto again = Shot(*button);
  for (int y = 0; y < 27; ++y)
    for (int x = 0; x < 113; ++x) ASSERT_EQ(again->Pixel(x, y), shot->Pixel(x, y)) << x << ", " << y;
}

TEST_F(ButtonFixture, FromThemeFileWithoutAReadyThemeDrawsLikeDeepBlue) {
  ShowForm();
  button->SetUIStyle(TkivUIStyle::DeepBlue);
  auto deepBlue = Shot(*button);
  auto* theme = new TkivFileTheme(owner);  // never loaded
  button->SetFileTheme(theme);
  button->SetUIStyle(TkivUIStyle::FromThemeFile);
  auto fallback = Shot(*button);
  for (int y = 0; y < 27; ++y)
    for (int x = 0; x < 113; ++x) ASSERT_EQ(fallback->Pixel(x, y), deepBlue->Pixel(x, y)) << x << ", " << y;
  // The theme going away leaves the button in DeepBlue.
  delete theme;
  EXPECT_EQ(button->FileTheme(), nullptr);
  EXPECT_EQ(button->UIStyle(), TkivUIStyle::DeepBlue);
}

// A 12 x 12 glyph: a dark ring on its see-through corner colour (pixel 0, 0);
// with twoImages a second, disabled image in grey beside it.
std::unique_ptr<TBitmap> Glyph(bool twoImages) {
  auto glyph = std::make_unique<TBitmap>(twoImages ? 24 : 12, 12);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < glyph->Width(); ++x) {
      const int gx = x % 12;
      const int d2 = (gx - 6) * (gx - 6) + (y - 6) * (y - 6);
      TColor c = 0x0000FF00;  // the see-through colour
      if (d2 <= 30 && d2 >= 9) c = x < 12 ? 0x00A02010 : 0x00909090;
      glyph->SetPixel(x, y, c);
    }
  return glyph;
}

TEST_F(ButtonFixture, GlyphLayoutsPlaceGlyphAndCaptionAroundTheCentre) {
  ShowForm();
  button->SetBounds(8, 32, 113, 40);
  button->SetGlyph(*Glyph(false));
  // blGlyphLeft: the glyph's left edge at (W - tw - gw - Spacing) div 2.
  TBitmap measure(1, 1);
  measure.Canvas().Font().Assign(button->Font());
  const int tw = measure.Canvas().TextWidth("Remove [-]");
  auto shot = Shot(*button);
  const int expectedLeft = (113 - tw - 12 - 4) / 2;
  EXPECT_EQ(shot->Pixel(expectedLeft + 6, (40 - 12) / 2 + 1), 0x00A02010u);  // the ring's top
  EXPECT_EQ(shot->Pixel(expectedLeft + 1, (40 - 12) / 2 + 6), 0x00A02010u);  // the ring's left

  const int gap = 4;
  TBitmap sheet(113, 6 * 40 + 5 * gap);
  sheet.Canvas().Brush().SetColor(clWhite);
  sheet.Canvas().FillRect({0, 0, sheet.Width(), sheet.Height()});
  int row = 0;
  auto put = [&] {
    auto s = Shot(*button);
    sheet.Canvas().Draw(0, row++ * (40 + gap), *s);
  };
  for (TButtonLayout layout : {blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom}) {
    button->SetLayout(layout);
    put();
  }
  button->SetLayout(blGlyphLeft);
  button->SetSpacing(12);
  button->SetEnabled(false);
  put();  // one image, greyed
  button->SetGlyph(*Glyph(true));
  put();  // two images: the second one
  EXPECT_TRUE(test::MatchesGolden(sheet, "button_glyph_layouts"));
}

TEST_F(ButtonFixture, AFocusedBoldCaptionKeepsThePlaceComputedWithItsGlyph) {
  ShowForm();
  button->SetGlyph(*Glyph(false));
  TBitmap measure(1, 1);
  measure.Canvas().Font().Assign(button->Font());
  const int tw = measure.Canvas().TextWidth("Remove [-]");
  const int captionLeft = (113 - tw - 12 - 4) / 2 + 12 + 4;
  SetFocus(nullptr);
  auto plain = Shot(*button);
  button->SetFocus();
  ASSERT_EQ(GetFocus(), button->Handle());
  auto focused = Shot(*button);
  // BlueGlass shows the focus as a bold caption, starting where the normal
  // one starts: nothing left of it differs.
  int firstDifference = -1;
  for (int x = 0; x < 113 && firstDifference < 0; ++x)
    for (int y = 0; y < 27; ++y)
      if (plain->Pixel(x, y) != focused->Pixel(x, y)) {
        firstDifference = x;
        break;
      }
  ASSERT_GE(firstDifference, 0) << "the focused caption is drawn bold";
  EXPECT_GE(firstDifference, captionLeft);
}

TEST_F(ButtonFixture, AutoSizeTakesOneFrameOfTheStylesStrip) {
  const struct {
    TkivUIStyle style;
    int width, height;
  } cases[] = {{TkivUIStyle::BlueGlass, 77, 27}, {TkivUIStyle::MacOS, 84, 23}, {TkivUIStyle::WinXP, 18, 21},
               {TkivUIStyle::FromThemeFile, 24, 21}};  // no strip: counted as 74 x 21
  for (const auto& c : cases) {
    button->SetAutoSize(false);
    button->SetUIStyle(c.style);
    button->SetAutoSize(true);
    EXPECT_EQ(button->Width(), c.width);
    EXPECT_EQ(button->Height(), c.height);
  }
}

TEST_F(ButtonFixture, SpaceAndEnterPressOnKeyDownAndClickOnKeyUp) {
  ShowForm();
  button->SetFocus();
  HWND window = button->Handle();
  for (WPARAM key : {WPARAM{VK_SPACE}, WPARAM{VK_RETURN}}) {
    clicks = 0;
    SendMessageA(window, WM_KEYDOWN, key, 0);
    EXPECT_TRUE(button->Pressed());
    EXPECT_EQ(clicks, 0);
    SendMessageA(window, WM_KEYUP, key, 0);
    EXPECT_FALSE(button->Pressed());
    EXPECT_EQ(clicks, 1);
  }
  // Enter reaches a focused button as a key; the dialog manager keeps out.
  MSG enter{window, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
  EXPECT_NE(SendMessageA(window, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)) & DLGC_WANTMESSAGE, 0);
  // A disabled button takes no key.
  clicks = 0;
  button->SetEnabled(false);
  SendMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
  SendMessageA(window, WM_KEYUP, VK_SPACE, 0);
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(button->Pressed());
}

TEST_F(ButtonFixture, EnterClicksTheDefaultAndEscapeTheCancelButton) {
  auto* other = MakeButton("Other", 128, 32, 104);
  int otherClicks = 0;
  other->OnClick = [&](TObject*) { ++otherClicks; };
  auto* list = new TListBox(owner);
  list->SetBounds(8, 64, 100, 40);
  list->SetParent(panel);
  ShowForm();
  button->SetDefault(true);
  other->SetCancel(true);

  auto dialogKey = [&](HWND focus, WPARAM key) {
    SetFocus(focus);
    MSG msg{focus, WM_KEYDOWN, key, 0, GetTickCount(), {0, 0}};
    return IsDialogMessageA(form->Handle(), &msg);
  };
  // Focus on the list: Enter goes to the default button, Escape to the cancel one.
  EXPECT_TRUE(dialogKey(list->Handle(), VK_RETURN));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(otherClicks, 0);
  EXPECT_TRUE(dialogKey(list->Handle(), VK_ESCAPE));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(otherClicks, 1);
  // Focus on another skinned button: Enter is that button's, not the default's.
  EXPECT_TRUE(dialogKey(other->Handle(), VK_RETURN));
  SendMessageA(other->Handle(), WM_KEYUP, VK_RETURN, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(otherClicks, 2);
  // Without a default button Enter clicks nothing.
  button->SetDefault(false);
  EXPECT_TRUE(dialogKey(list->Handle(), VK_RETURN));
  EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonFixture, TheCaptionsAcceleratorClicksThroughTheDialogManager) {
  auto* list = new TListBox(owner);
  list->SetBounds(8, 64, 100, 40);
  list->SetParent(panel);
  ShowForm();
  button->SetCaption("Re&move");
  auto altKey = [&](char key) {
    SetFocus(list->Handle());
    MSG msg{list->Handle(), WM_SYSCHAR, static_cast<WPARAM>(key), 1 << 29, GetTickCount(), {0, 0}};
    return IsDialogMessageA(form->Handle(), &msg);
  };
  altKey('x');
  EXPECT_EQ(clicks, 0);
  altKey('m');
  EXPECT_EQ(clicks, 1);
  button->SetEnabled(false);
  altKey('m');
  EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonFixture, EveryClickWritesItsModalResultToTheForm) {
  button->HandleNeeded();
  button->SetModalResult(6);
  SendMessageA(button->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(form->ModalResult(), 6);
  EXPECT_EQ(clicks, 1);
  button->SetModalResult(0);
  SendMessageA(button->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(form->ModalResult(), 0);
  // A disabled button cannot be clicked.
  button->SetEnabled(false);
  SendMessageA(button->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 2);
}

TEST_F(ButtonFixture, APressHoldsTheMouseAndClicksOnlyWhenReleasedInside) {
  ShowForm();
  HWND window = button->Handle();
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 10));
  EXPECT_EQ(GetCapture(), window);
  EXPECT_EQ(GetFocus(), window);
  EXPECT_TRUE(button->RepeatTimerRunning());
  // Out and back in while held: the look follows, the timer runs on.
  SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, At(200, 10));
  EXPECT_FALSE(button->Pressed());
  EXPECT_FALSE(button->MouseOn());
  EXPECT_TRUE(button->RepeatTimerRunning());
  SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, At(113, 27));  // the far edges still count as inside
  EXPECT_TRUE(button->MouseOn());
  SendMessageA(window, WM_LBUTTONUP, 0, At(200, 10));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_FALSE(button->RepeatTimerRunning());
  EXPECT_EQ(clicks, 0);

  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 10));
  SendMessageA(window, WM_LBUTTONUP, 0, At(20, 10));
  EXPECT_EQ(clicks, 1);
  // A double click is two clicks.
  SendMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, At(20, 10));
  SendMessageA(window, WM_LBUTTONUP, 0, At(20, 10));
  EXPECT_EQ(clicks, 2);
  // The platform taking the mouse away ends the press.
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, At(20, 10));
  SendMessageA(window, WM_CANCELMODE, 0, 0);
  EXPECT_FALSE(button->Pressed());
  EXPECT_FALSE(button->RepeatTimerRunning());
  EXPECT_EQ(GetCapture(), nullptr);
}

// Real input: the cursor is put on the button and the left button held.
struct RealMouse {
  static void MoveTo(HWND window, int x, int y) {
    POINT p{x, y};
    ClientToScreen(window, &p);
    // A move of the input device, so the windows under it hear of it.
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(p.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(p.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
    PumpUntil([&] {
      POINT at{};
      return GetCursorPos(&at) && at.x == p.x && at.y == p.y;
    });
  }
  static void Button(bool down) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
  }
};

TEST_F(ButtonFixture, HoldingTheMouseRepeatsUntilRelease) {
  ShowForm();
  int repeats = 0;
  button->OnMouseContinuouslyDown = [&](TObject*) { ++repeats; };
  button->SetMouseContinuouslyDownInterval(20);
  HWND window = button->Handle();
  RealMouse::MoveTo(window, 30, 12);
  RealMouse::Button(true);
  EXPECT_TRUE(PumpUntil([&] { return repeats >= 3; }));
  EXPECT_TRUE(button->Pressed());
  RealMouse::Button(false);
  EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }));
  const int afterRelease = repeats;
  PumpUntil([] { return false; }, std::chrono::milliseconds(150));
  EXPECT_EQ(repeats, afterRelease);

  // An interval of 0 gives no repeat at all, however long the button is held.
  repeats = 0;
  button->SetMouseContinuouslyDownInterval(0);
  RealMouse::Button(true);
  EXPECT_TRUE(PumpUntil([&] { return button->Pressed(); }));
  PumpUntil([] { return false; }, std::chrono::milliseconds(150));
  RealMouse::Button(false);
  EXPECT_TRUE(PumpUntil([&] { return clicks == 2; }));
  EXPECT_EQ(repeats, 0);
}

TEST_F(ButtonFixture, MouseEnterAndLeaveChangeTheFace) {
  ShowForm();
  RealMouse::MoveTo(form->Handle(), 200, 100);
  EXPECT_TRUE(PumpUntil([&] { return !button->MouseOn(); }));
  int entered = 0, left = 0;
  button->OnMouseEnter = [&](TObject*) { ++entered; };
  button->OnMouseExit = [&](TObject*) { ++left; };
  auto away = Shot(*button);
  RealMouse::MoveTo(button->Handle(), 30, 12);
  EXPECT_TRUE(PumpUntil([&] { return button->MouseOn(); }));
  EXPECT_EQ(entered, 1);
  auto over = Shot(*button);
  EXPECT_NE(over->Pixel(56, 13), away->Pixel(56, 13));
  RealMouse::MoveTo(form->Handle(), 200, 100);
  EXPECT_TRUE(PumpUntil([&] { return !button->MouseOn(); }));
  EXPECT_EQ(left, 1);
  auto back = Shot(*button);
  EXPECT_EQ(back->Pixel(56, 13), away->Pixel(56, 13));
}

TEST_F(ButtonFixture, NoGdiObjectOrWindowOutlivesItsButton) {
  ShowForm();
  auto* theme = new TkivBuiltInFileTheme(owner);
  theme->ReadSkinData(EmbeddedSkin());
  auto makeAndDrop = [&](int round) {
    TkivButton* b = MakeButton("Clear All", 128, 32, 104);
    b->SetUIStyle(round % 2 == 0 ? TkivUIStyle::BlueGlass : TkivUIStyle::FromThemeFile);
    b->SetFileTheme(theme);
    SendMessageA(b->Handle(), WM_MOUSEMOVE, 0, At(5, 5));
    SendMessageA(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    UpdateWindow(b->Handle());
    Shot(*b);
    SendMessageA(b->Handle(), WM_LBUTTONUP, 0, At(5, 5));
    delete b;
  };
  makeAndDrop(0);
  makeAndDrop(1);
  PumpPending();
  const int gdi = test::CountGdiObjects(), windows = test::CountWindowsOfThisProcess();
  for (int round = 0; round < 100; ++round) makeAndDrop(round);
  PumpPending();
  EXPECT_EQ(test::CountGdiObjects(), gdi);
  EXPECT_EQ(test::CountWindowsOfThisProcess(), windows);

  // 1,000 repaints of a living button.
  for (int round = 0; round < 1000; ++round) {
    InvalidateRect(button->Handle(), nullptr, FALSE);
    UpdateWindow(button->Handle());
  }
  PumpPending();
  EXPECT_EQ(test::CountGdiObjects(), gdi);

  // Positive controls: a button kept alive and a brush kept are both seen.
  TkivButton* kept = MakeButton("Kept", 8, 90, 60);
  kept->HandleNeeded();
  EXPECT_EQ(test::CountWindowsOfThisProcess(), windows + 1);
  HBRUSH brush = CreateSolidBrush(0x00123456);
  EXPECT_GT(test::CountGdiObjects(), gdi);
  DeleteObject(brush);
}

}  // namespace
}  // namespace plx
