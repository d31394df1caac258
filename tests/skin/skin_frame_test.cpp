// The skinned frame and its title bar on a real window under Wine: the
// caption taken off while the client area stays, the insets of each look,
// the region, the title bar's places, menu and clicks, usage errors, skins
// that cannot be honoured, and GDI objects and windows that all go again.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Exception.h"
#include "framework/Properties.h"
#include "tests/skin/HandBuiltSkin.h"
#include "tests/skin/SkinnedFormFixture.h"
#include "tests/support/ResourceCounts.h"

namespace plx {
namespace {

using test::PumpMessages;

struct SkinnedFrame : test::SkinnedFormFixture {};

TEST_F(SkinnedFrame, TakesTheCaptionOffAndKeepsTheClientArea) {
  // Positive control: the same form without a frame has its caption.
  TForm plain(nullptr);
  plain.SetBorderStyle(TFormBorderStyle::bsDialog);
  EXPECT_EQ(GetWindowLongPtrA(plain.Handle(), GWL_STYLE) & WS_CAPTION, WS_CAPTION);

  UseEmbeddedSkin();
  Show();
  EXPECT_EQ(GetWindowLongPtrA(Window(), GWL_STYLE) & WS_CAPTION, 0);
  EXPECT_TRUE(GetWindowLongPtrA(Window(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME) << "still a dialog border";
  RECT client{};
  GetClientRect(Window(), &client);
  EXPECT_EQ(client.right, 243);
  EXPECT_EQ(client.bottom, 520);
  const RECT bounds = WindowBounds();
  POINT origin{0, 0};
  ClientToScreen(Window(), &origin);
  // Inset by 4, 3, 4 and 6: the skin's side borders are 2 wide (at least 4
  // count), its bottom border 6 high.
  EXPECT_EQ(origin.x - bounds.left, 4);
  EXPECT_EQ(origin.y - bounds.top, 3);
  EXPECT_EQ(bounds.right - bounds.left, 251);
  EXPECT_EQ(bounds.bottom - bounds.top, 529);
  EXPECT_EQ(bounds.left, 300);
  EXPECT_EQ(bounds.top, 200);
  // The panel fills the client area; the title bar lies along its top.
  EXPECT_EQ(frame_->Width(), 243);
  EXPECT_EQ(frame_->Height(), 520);
  EXPECT_EQ(frame_->TitleBar()->Width(), 243);
  EXPECT_EQ(frame_->TitleBar()->Height(), 33);
  EXPECT_EQ(form_->Constraints().MinWidth, 251);
  EXPECT_EQ(form_->Constraints().MinHeight, 42);
}

TEST_F(SkinnedFrame, EachLookHasItsInsetsAroundTheSameClientArea) {
  Show();
  const struct {
    const char* name;
    TkivUIStyle style;
    int borderWidth;  // 0: the style's own
    TRect insets;
  } looks[] = {
      {"DeepBlue", TkivUIStyle::DeepBlue, 0, {3, 3, 3, 2}},
      {"WinXP, its border 3 wide", TkivUIStyle::WinXP, 0, {3, 3, 3, 3}},
      {"DeepBlue, border 3 wide", TkivUIStyle::DeepBlue, 3, {3, 3, 3, 3}},
      {"DeepBlue, border 2 wide", TkivUIStyle::DeepBlue, 2, {3, 3, 3, 3}},
      {"the embedded skin", TkivUIStyle::FromThemeFile, 0, {4, 3, 4, 6}},
  };
  theme_ = new TkivBuiltInFileTheme(form_);
  theme_->ReadSkinData(test::EmbeddedSkinArchive());
  frame_->SetFileTheme(theme_);
  for (const auto& look : looks) {
    SCOPED_TRACE(look.name);
    frame_->SetUIStyle(look.style);
    if (look.borderWidth) frame_->SetBorderWidth(look.borderWidth);
    PumpMessages();
    RECT client{};
    GetClientRect(Window(), &client);
    EXPECT_EQ(client.right, 243);
    EXPECT_EQ(client.bottom, 520);
    const RECT bounds = WindowBounds();
    POINT origin{0, 0};
    ClientToScreen(Window(), &origin);
    EXPECT_EQ(origin.x - bounds.left, look.insets.Left);
    EXPECT_EQ(origin.y - bounds.top, look.insets.Top);
    EXPECT_EQ(bounds.right - origin.x - 243, look.insets.Right);
    EXPECT_EQ(bounds.bottom - origin.y - 520, look.insets.Bottom);
  }
}

TEST_F(SkinnedFrame, EachLookSetsTheMinimumHeightFromItsTitleBarAndBottomBorder) {
  // Title bar + bottom border picture + 3; a built-in style has no bottom
  // border picture, whatever inset its plain border leaves.
  const struct {
    const char* name;
    TkivUIStyle style;
    int minHeight;
  } looks[] = {
      {"MacOS", TkivUIStyle::MacOS, 23},         {"WinXP", TkivUIStyle::WinXP, 29},
      {"DeepBlue", TkivUIStyle::DeepBlue, 32},   {"Protein", TkivUIStyle::Protein, 23},
      {"BlueGlass", TkivUIStyle::BlueGlass, 33}, {"the embedded skin", TkivUIStyle::FromThemeFile, 42},
  };
  theme_ = new TkivBuiltInFileTheme(form_);
  theme_->ReadSkinData(test::EmbeddedSkinArchive());
  frame_->SetFileTheme(theme_);
  Show();
  for (const auto& look : looks) {
    SCOPED_TRACE(look.name);
    frame_->SetUIStyle(look.style);
    EXPECT_EQ(form_->Constraints().MinHeight, look.minHeight);
  }
}

TEST_F(SkinnedFrame, ANewSkinOfTheSameBottomHeightBringsItsOwnBottomBorder) {
  using test::SkinRecord;
  const std::vector<SkinRecord> red = {test::Picture("SKIN2_FORMBOTTOMBORDER1", 10, 6, 0x000000FF)};
  // Wholly see-through with the region flag: it shows the form's colour.
  const std::vector<SkinRecord> seeThrough = {
      test::Picture("SKIN2_FORMBOTTOMBORDER1", 10, 6, 0x00FF00FF), test::Integer("SKIN2_TRANSCOLOR", 0x00FF00FF),
      test::Integer("SKIN2_FORMCOLOR", 0x00123456), test::Boolean("SKIN2_BOTTOMBORDERNEEDREGION", true)};
  Show();
  frame_->SetUIStyle(TkivUIStyle::FromThemeFile);
  auto bottomMiddle = [&](const std::vector<SkinRecord>& records) {
    auto* skin = new TkivBuiltInFileTheme(form_);
    skin->ReadSkinData(test::SkinArchiveOf(records));
    EXPECT_TRUE(skin->Ready());
    frame_->SetFileTheme(skin);
    PumpMessages();
    auto picture = Picture();
    return picture->Pixel(picture->Width() / 2, picture->Height() - 2);
  };
  EXPECT_EQ(bottomMiddle(red), 0x000000FFu);
  EXPECT_EQ(bottomMiddle(seeThrough), 0x00123456u);
  EXPECT_EQ(bottomMiddle(red), 0x000000FFu);
}

TEST_F(SkinnedFrame, TheRegionLeavesOutTheSeeThroughColourAsDrawingDoes) {
  using test::SkinRecord;
  const TColor buttonFace = ColorToRGB(clBtnFace);
  const struct {
    const char* name;
    TColor seeThrough;  // as the skin names it
    TColor pictures;    // as the pictures hold it
  } cases[] = {
      {"a plain colour", 0x00FF00FF, 0x00FF00FF},
      {"a system colour", clBtnFace, buttonFace},
  };
  Show();
  frame_->SetUIStyle(TkivUIStyle::FromThemeFile);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto* skin = new TkivBuiltInFileTheme(form_);
    skin->ReadSkinData(test::SkinArchiveOf(
        {test::Picture("SKIN2_TITLEBAR1", 126, 36, c.pictures), test::Picture("SKIN2_TITLEBAR2", 190, 36, c.pictures),
         test::Picture("SKIN2_TITLEBAR3", 125, 36, c.pictures),
         test::Integer("SKIN2_TRANSCOLOR", static_cast<std::int32_t>(c.seeThrough)),
         test::Boolean("SKIN2_TITLEBARNEEDREGION", true)}));
    ASSERT_TRUE(skin->Ready());
    frame_->SetFileTheme(skin);
    PumpMessages();
    const RECT bounds = WindowBounds();
    const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    TOwnedRegion region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(Window(), region.Get()), ERROR);
    EXPECT_FALSE(PtInRegion(region.Get(), width / 2, 10)) << "the see-through title";
    EXPECT_TRUE(PtInRegion(region.Get(), width / 2, height / 2)) << "the window below it";
    frame_->SetFileTheme(nullptr);
    delete skin;
  }
}

TEST_F(SkinnedFrame, AFiveSectionTitleIsComposedWithTheTitleBarsFontFromTheStart) {
  auto* skin = new TkivBuiltInFileTheme(form_);
  skin->ReadSkinData(test::SkinArchiveOf(
      {test::Boolean("SKIN2_TITLEFIVESECT", true), test::Picture("SKIN2_TITLEBAR1", 20, 36, 0x00200000),
       test::Picture("SKIN2_TITLEBAR2", 4, 36, 0x00004000), test::Picture("SKIN2_TITLEBAR3", 10, 36, 0x00000060),
       test::Picture("SKIN2_TITLEBAR4", 4, 36, 0x00808000), test::Picture("SKIN2_TITLEBAR5", 30, 36, 0x00A000A0)}));
  ASSERT_TRUE(skin->Ready());
  frame_->SetCaption("Plexoria keeps every clip");
  frame_->SetUIStyle(TkivUIStyle::FromThemeFile);
  frame_->SetFileTheme(skin);
  // The first title image, composed before any paint.
  TBitmap* title = frame_->TitleBar()->GetTitleImage(-1);
  ASSERT_FALSE(title->Empty());
  TBitmap first;
  first.Assign(*title);
  // Positive control: the caption section is as wide as the caption, so
  // another caption gives another image.
  TBitmap other(frame_->TitleBar()->Width(), frame_->TitleBar()->Height());
  frame_->SetCaption("P");
  frame_->TitleBar()->Perform(WM_PAINT, reinterpret_cast<WPARAM>(other.Canvas().Handle()));
  TBitmap shortCaption;
  shortCaption.Assign(*frame_->TitleBar()->GetTitleImage(-1));
  frame_->SetCaption("Plexoria keeps every clip");
  frame_->TitleBar()->Perform(WM_PAINT, reinterpret_cast<WPARAM>(other.Canvas().Handle()));
  TBitmap* painted = frame_->TitleBar()->GetTitleImage(-1);
  ASSERT_EQ(painted->Width(), first.Width());
  ASSERT_EQ(painted->Height(), first.Height());
  auto differingColumns = [](TBitmap& a, TBitmap& b) {
    int count = 0;
    for (int x = 0; x < a.Width(); ++x)
      if (a.Pixel(x, 10) != b.Pixel(x, 10)) ++count;
    return count;
  };
  EXPECT_GT(differingColumns(shortCaption, *painted), 0);
  EXPECT_EQ(differingColumns(first, *painted), 0);
  frame_->SetFileTheme(nullptr);
  delete skin;
}

// A five-section skin: its caption section is as wide as the caption.
std::string FiveSectionSkin() {
  return test::SkinArchiveOf(
      {test::Boolean("SKIN2_TITLEFIVESECT", true), test::Picture("SKIN2_TITLEBAR1", 20, 36, 0x00200000),
       test::Picture("SKIN2_TITLEBAR2", 4, 36, 0x00004000), test::Picture("SKIN2_TITLEBAR3", 10, 36, 0x00000060),
       test::Picture("SKIN2_TITLEBAR4", 4, 36, 0x00808000), test::Picture("SKIN2_TITLEBAR5", 30, 36, 0x00A000A0)});
}

bool SamePixels(TBitmap& a, TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
  return true;
}

TEST_F(SkinnedFrame, TheTitleImagesFollowWhatTheyShowWithoutAPaint) {
  auto* skin = new TkivBuiltInFileTheme(form_);
  skin->ReadSkinData(FiveSectionSkin());
  ASSERT_TRUE(skin->Ready());
  frame_->SetCaption("Plexoria keeps every clip");
  frame_->SetUIStyle(TkivUIStyle::FromThemeFile);
  frame_->SetFileTheme(skin);
  Show();
  TkivTitleBar& bar = *frame_->TitleBar();
  auto titleNow = [&](int index) {
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(*bar.GetTitleImage(index));
    return copy;
  };
  const int width = bar.Width();
  const struct {
    const char* name;
    std::function<void()> change, undo;
  } changes[] = {
      {"caption", [&] { frame_->SetCaption("P"); }, [&] { frame_->SetCaption("Plexoria keeps every clip"); }},
      {"font", [&] { frame_->Font().SetStyle({}); }, [&] { frame_->Font().SetStyle({fsBold}); }},
      {"width", [&] { bar.SetBounds(0, 0, width - 40, bar.Height()); },
       [&] { bar.SetBounds(0, 0, width, bar.Height()); }},
  };
  for (const auto& change : changes) {
    SCOPED_TRACE(change.name);
    for (int index : {-1, -2}) {
      SCOPED_TRACE(index);
      const auto before = titleNow(index);
      change.change();
      // Read before anything has painted the title bar again.
      const auto unpainted = titleNow(index);
      EXPECT_FALSE(SamePixels(*before, *unpainted)) << "the change shows in the title image";
      TBitmap screen(bar.Width(), bar.Height());
      bar.Perform(WM_PAINT, reinterpret_cast<WPARAM>(screen.Canvas().Handle()));
      EXPECT_TRUE(SamePixels(*unpainted, *titleNow(index))) << "painting changed the title image";
      change.undo();
    }
  }
  frame_->SetFileTheme(nullptr);
  delete skin;
}

TEST_F(SkinnedFrame, OnlyTheFrameSetsItsFormsLimits) {
  UseEmbeddedSkin();
  Show();
  form_->Constraints().MinWidth = 1;
  form_->Constraints().MinHeight = 1;
  frame_->TitleBar()->SetUIStyle(TkivUIStyle::MacOS);
  EXPECT_EQ(form_->Constraints().MinWidth, 1);
  EXPECT_EQ(form_->Constraints().MinHeight, 1);
  // Positive control: the frame applying the same look sets both.
  frame_->SetUIStyle(TkivUIStyle::MacOS);
  EXPECT_EQ(form_->Constraints().MinWidth, GetInsideThemeInt(TkivUIStyle::MacOS, kivItemFormMinWidth));
  EXPECT_EQ(form_->Constraints().MinHeight, 23);
  // A title bar on a form of its own sets them itself.
  auto* plain = new TForm(nullptr);
  auto* lone = new TkivTitleBar(plain);
  lone->SetParent(plain);
  lone->SetUIStyle(TkivUIStyle::MacOS);
  EXPECT_EQ(plain->Constraints().MinWidth, GetInsideThemeInt(TkivUIStyle::MacOS, kivItemFormMinWidth));
  EXPECT_EQ(plain->Constraints().MinHeight, 50);
  delete plain;
}

TEST_F(SkinnedFrame, ItsStateFollowsTheHostWindow) {
  EXPECT_EQ(frame_->State(), TkivFormState::NoWindowYet);
  Show();
  EXPECT_EQ(frame_->State(), TkivFormState::Attached);
  // The frame hears of the window first; what it then is, is recorded here.
  std::vector<TkivFormState> seen;
  const THookToken token = form_->SubscribeHandleEvents([&](THandleEvent) { seen.push_back(frame_->State()); });
  form_->RecreateWnd();
  PumpMessages();
  form_->UnsubscribeHandleEvents(token);
  EXPECT_EQ(seen, (std::vector{TkivFormState::WindowGone, TkivFormState::Attached}));
}

TEST_F(SkinnedFrame, AWindowMadeAgainGetsNoCaptionAndKeepsItsClientArea) {
  UseEmbeddedSkin();
  Show();
  HWND before = Window();
  form_->RecreateWnd();
  PumpMessages();
  EXPECT_NE(Window(), before) << "a new window";
  EXPECT_EQ(GetWindowLongPtrA(Window(), GWL_STYLE) & WS_CAPTION, 0);
  RECT client{};
  GetClientRect(Window(), &client);
  EXPECT_EQ(client.right, 243);
  EXPECT_EQ(client.bottom, 520);

  // A border style change makes the window again; the caption stays off.
  form_->SetBorderStyle(TFormBorderStyle::bsSizeable);
  PumpMessages();
  EXPECT_EQ(GetWindowLongPtrA(Window(), GWL_STYLE) & WS_CAPTION, 0);
  // Whoever gives the caption back, the frame takes it off again.
  SetWindowLongPtrA(Window(), GWL_STYLE, GetWindowLongPtrA(Window(), GWL_STYLE) | WS_CAPTION);
  EXPECT_EQ(GetWindowLongPtrA(Window(), GWL_STYLE) & WS_CAPTION, 0);
}

TEST_F(SkinnedFrame, TheWindowHasItsRegion) {
  UseEmbeddedSkin();
  Show();
  const RECT bounds = WindowBounds();
  TOwnedRegion region(CreateRectRgn(0, 0, 0, 0));
  ASSERT_EQ(GetWindowRgn(Window(), region.Get()), SIMPLEREGION) << "the skin asks for no shaped region";
  RECT box{};
  GetRgnBox(region.Get(), &box);
  EXPECT_EQ(box.right - box.left, bounds.right - bounds.left);
  EXPECT_EQ(box.bottom - box.top, bounds.bottom - bounds.top);

  // WinXP rounds the top corners (13); the bottom stays square.
  frame_->SetUIStyle(TkivUIStyle::WinXP);
  ASSERT_NE(GetWindowRgn(Window(), region.Get()), ERROR);
  const RECT now = WindowBounds();  // WinXP's insets differ from the skin's
  const int width = now.right - now.left, height = now.bottom - now.top;
  EXPECT_FALSE(PtInRegion(region.Get(), 0, 0)) << "rounded top-left corner";
  EXPECT_FALSE(PtInRegion(region.Get(), width - 1, 0)) << "rounded top-right corner";
  EXPECT_TRUE(PtInRegion(region.Get(), width / 2, 0));
  EXPECT_TRUE(PtInRegion(region.Get(), 0, height - 1)) << "square bottom-left corner";
  EXPECT_TRUE(PtInRegion(region.Get(), width - 1, height - 1));
}

// Counts the host window's non-client measurements (WM_NCCALCSIZE): a
// frame change and a new region both measure the window again.
struct TMeasureCounter {
  static inline int count = 0;
  static inline WNDPROC next = nullptr;
  static LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_NCCALCSIZE) ++count;
    return CallWindowProcA(next, window, msg, wparam, lparam);
  }
  explicit TMeasureCounter(HWND window) : window_(window) {
    count = 0;
    next = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TMeasureCounter::Proc)));
  }
  ~TMeasureCounter() { SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(next)); }
  HWND window_;
};

TEST_F(SkinnedFrame, TheWindowIsMeasuredAndRegionedAgainOnlyWhenItsFrameChanges) {
  UseEmbeddedSkin();
  Show();
  TMeasureCounter counter(Window());
  // The same look again, and the region asked for again: nothing changes.
  frame_->SetUIStyle(TkivUIStyle::FromThemeFile);
  frame_->RegionWindow();
  PumpMessages();
  EXPECT_EQ(TMeasureCounter::count, 0);

  // Positive control: WinXP has other insets and rounded corners.
  frame_->SetUIStyle(TkivUIStyle::WinXP);
  PumpMessages();
  EXPECT_GT(TMeasureCounter::count, 0);
  TOwnedRegion region(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(Window(), region.Get()), ERROR);
  EXPECT_FALSE(PtInRegion(region.Get(), 0, 0)) << "rounded top-left corner";

  // Back to the skin: measured again, the region square again, the client
  // area kept throughout.
  TMeasureCounter::count = 0;
  frame_->SetUIStyle(TkivUIStyle::FromThemeFile);
  PumpMessages();
  EXPECT_GT(TMeasureCounter::count, 0);
  ASSERT_EQ(GetWindowRgn(Window(), region.Get()), SIMPLEREGION);
  EXPECT_TRUE(PtInRegion(region.Get(), 0, 0));
  RECT client{};
  GetClientRect(Window(), &client);
  EXPECT_EQ(client.right, 243);
  EXPECT_EQ(client.bottom, 520);
}

TEST_F(SkinnedFrame, AFrameGivenItsSkinWhileTheLayoutIsReadIsMeasuredWithTheSkinFromTheStart) {
  // As the main window does: the theme is assigned while loading, and the
  // window is made before the look is applied at Loaded.
  form_->BeginLoading();
  frame_->BeginLoading();
  UseEmbeddedSkin();
  form_->HandleNeeded();
  const TRect insets = frame_->FrameInsets();
  EXPECT_EQ(insets, (TRect{4, 3, 4, 6})) << "the skin's frame before the look is applied";
  TMeasureCounter counter(Window());
  frame_->Loaded();
  form_->Loaded();
  Show();
  RECT client{};
  GetClientRect(Window(), &client);
  EXPECT_EQ(client.right, 243);
  EXPECT_EQ(client.bottom, 520);
  const RECT bounds = WindowBounds();
  EXPECT_EQ(bounds.right - bounds.left, 251);
  EXPECT_EQ(bounds.bottom - bounds.top, 529);
  EXPECT_EQ(TMeasureCounter::count, 0) << "applying the look measured the window again";
}

TEST_F(SkinnedFrame, AFrameMadeWhileItsFormIsReadTakesItsFirstLookWhenLoaded) {
  // Made outside a layout, the frame has the fallback look's three title
  // sections at once; made while its form is read, it has none until it is
  // loaded, and then the same three.
  EXPECT_EQ(frame_->TitleBarSections().Count(), 3);
  TForm reading(nullptr);
  reading.BeginLoading();
  auto* frame = new TkivForm(&reading);
  EXPECT_EQ(frame->TitleBarSections().Count(), 0) << "a look was composed before the layout was read";
  frame->Loaded();
  reading.Loaded();
  EXPECT_EQ(frame->TitleBarSections().Count(), 3);
  EXPECT_EQ(frame->TitleBarSections().Items(0).Picture().Width(), frame_->TitleBarSections().Items(0).Picture().Width());
}

TEST_F(SkinnedFrame, TitleBarRepaintsOnceAWholeLookHasChanged) {
  UseEmbeddedSkin();
  Show();
  HWND bar = frame_->TitleBar()->Handle();
  for (TkivUIStyle style : {TkivUIStyle::MacOS, TkivUIStyle::FromThemeFile}) {
    ValidateRect(bar, nullptr);
    ASSERT_FALSE(GetUpdateRect(bar, nullptr, FALSE));
    frame_->TitleBar()->SetUIStyle(style);
    EXPECT_TRUE(GetUpdateRect(bar, nullptr, FALSE)) << "the new look is painted";
  }
  ValidateRect(bar, nullptr);
  frame_->TitleBar()->ProcessMaxBtn();
  EXPECT_TRUE(GetUpdateRect(bar, nullptr, FALSE)) << "the maximise button's pictures are painted";
  // An item changed on its own still repaints at once.
  ValidateRect(bar, nullptr);
  frame_->TitleBar()->SetCaption("Another");
  EXPECT_TRUE(GetUpdateRect(bar, nullptr, FALSE));
}

TEST_F(SkinnedFrame, PaintingThePanelBehindAChildLeavesTheWindowFrameAlone) {
  UseEmbeddedSkin();
  Show();
  constexpr COLORREF kMarker = RGB(1, 254, 3);
  auto markFrame = [&] {
    HDC dc = GetWindowDC(Window());
    SetPixel(dc, 1, 100, kMarker);  // on the left border
    ReleaseDC(Window(), dc);
  };
  auto frameStillMarked = [&] {
    HDC dc = GetWindowDC(Window());
    const COLORREF pixel = GetPixel(dc, 1, 100);
    ReleaseDC(Window(), dc);
    return pixel == kMarker;
  };
  markFrame();
  ASSERT_TRUE(frameStillMarked());
  // A see-through button has the panel painted into its own picture.
  TBitmap behind(113, 27);
  frame_->Perform(WM_PAINT, reinterpret_cast<WPARAM>(behind.Canvas().Handle()));
  EXPECT_TRUE(frameStillMarked()) << "the window frame was painted again";
  // Positive control: the panel's own paint paints the frame with it.
  frame_->Perform(WM_PAINT, 0);
  EXPECT_FALSE(frameStillMarked());
}

TEST_F(SkinnedFrame, AFiveSectionTitleBarHasTheFramePaintedAgainWithItsCaption) {
  const std::vector<test::SkinRecord> fiveSections = {
      test::Boolean("SKIN2_TITLEFIVESECT", true), test::Picture("SKIN2_TITLEBAR1", 20, 36, 0x00200000),
      test::Picture("SKIN2_TITLEBAR2", 4, 36, 0x00004000), test::Picture("SKIN2_TITLEBAR3", 10, 36, 0x00000060),
      test::Picture("SKIN2_TITLEBAR4", 4, 36, 0x00808000), test::Picture("SKIN2_TITLEBAR5", 30, 36, 0x00A000A0)};
  const struct {
    const char* name;
    std::string archive;
    bool framePainted;
  } skins[] = {
      // Positive control of the marker: a three-section title leaves the frame alone.
      {"three sections", test::EmbeddedSkinArchive(), false},
      {"five sections", test::SkinArchiveOf(fiveSections), true},
  };
  Show();
  frame_->SetUIStyle(TkivUIStyle::FromThemeFile);
  constexpr COLORREF kMarker = RGB(1, 254, 3);
  for (const auto& skin : skins) {
    SCOPED_TRACE(skin.name);
    auto* loaded = new TkivBuiltInFileTheme(form_);
    loaded->ReadSkinData(skin.archive);
    ASSERT_TRUE(loaded->Ready());
    frame_->SetFileTheme(loaded);
    PumpMessages();
    HDC dc = GetWindowDC(Window());
    SetPixel(dc, 1, 100, kMarker);  // on the left border
    ASSERT_EQ(GetPixel(dc, 1, 100), kMarker);
    frame_->TitleBar()->SetCaption(std::string("Another caption, ") + skin.name);
    frame_->TitleBar()->Perform(WM_PAINT, 0);
    EXPECT_EQ(GetPixel(dc, 1, 100) != kMarker, skin.framePainted);
    ReleaseDC(Window(), dc);
    frame_->SetFileTheme(nullptr);
    delete loaded;
  }
}

TEST_F(SkinnedFrame, MaximisingCoversTheWorkAreaAndTwoPixelsMore) {
  UseEmbeddedSkin();
  Show();
  TkivTitleBar& bar = *frame_->TitleBar();
  // The caption's double click clicks the first visible maximise button.
  const LPARAM caption = MAKELPARAM(120, 15);
  bar.Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, caption);
  PumpMessages();
  ASSERT_TRUE(IsZoomed(Window()));
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  const RECT bounds = WindowBounds();
  EXPECT_EQ(bounds.left, area.left - 2);
  EXPECT_EQ(bounds.top, area.top - 2);
  EXPECT_EQ(bounds.right, area.right + 2);
  EXPECT_EQ(bounds.bottom, area.bottom - 1);
  bar.Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, caption);
  PumpMessages();
  EXPECT_FALSE(IsZoomed(Window()));

  // With its only maximise button hidden, as on the main window, nothing happens.
  HideMaximizeButton();
  bar.Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, caption);
  PumpMessages();
  EXPECT_FALSE(IsZoomed(Window()));
}

struct TitleBarOnTheMainWindow : test::SkinnedFormFixture {
  void SetUp() override {
    SkinnedFormFixture::SetUp();
    UseEmbeddedSkin();
    HideMaximizeButton();
    Show();
  }
  int IndexOf(TkivTitleBarBtnType type) {
    for (int i = 0; i < frame_->TitleBarButtons().Count(); ++i)
      if (frame_->TitleBarButtons().Items(i).ButtonType() == type) return i;
    return -1;
  }
};

TEST_F(TitleBarOnTheMainWindow, ButtonsIconAndCaptionSitWhereTheSkinPutsThem) {
  TkivTitleBar& bar = *frame_->TitleBar();
  EXPECT_EQ(bar.LeftBtnXOffset(), 9);
  EXPECT_EQ(bar.RightBtnXOffset(), 14);
  const int close = IndexOf(TkivTitleBarBtnType::kivClose), minimize = IndexOf(TkivTitleBarBtnType::kivMin);
  const int controlBox = IndexOf(TkivTitleBarBtnType::kivControlBox);
  const struct {
    int x, y, button;
  } points[] = {
      {212, 4, close},  {232, 24, close},  // edges count as inside
      {211, 4, minimize}, {191, 24, minimize},
      {190, 10, -1},    {233, 10, -1},     {220, 25, -1},
      {2, 4, controlBox}, {22, 24, controlBox},
      {100, 15, -1},  // the caption
  };
  for (const auto& p : points) EXPECT_EQ(bar.ButtonAt({p.x, p.y}), p.button) << p.x << ", " << p.y;
  // The hidden maximise button takes no space: minimise sits right beside close.
}

TEST_F(TitleBarOnTheMainWindow, EverySetterRepaintsTheTitleBar) {
  TkivTitleBar& bar = *frame_->TitleBar();
  const struct {
    const char* name;
    std::function<void()> set;
  } setters[] = {
      {"Caption", [&] { bar.SetCaption("Another"); }},
      {"FormActive", [&] { bar.SetActive(false); }},
      {"InactiveCaptionColor", [&] { bar.SetInactiveCaptionColor(clRed); }},
      {"DrawAppIcon", [&] { bar.SetDrawAppIcon(false); }},
      {"LeftBtnXOffset", [&] { bar.SetLeftBtnXOffset(12); }},
      {"RightBtnXOffset", [&] { bar.SetRightBtnXOffset(12); }},
      {"ButtonInterval", [&] { bar.SetButtonInterval(2); }},
      {"RoundCorner", [&] { bar.SetRoundCorner(11); }},
      {"RoundCornerBottom", [&] { bar.SetRoundCornerBottom(5); }},
  };
  HWND window = bar.Handle();
  for (const auto& setter : setters) {
    SCOPED_TRACE(setter.name);
    ValidateRect(window, nullptr);
    ASSERT_FALSE(GetUpdateRect(window, nullptr, FALSE));
    setter.set();
    EXPECT_TRUE(GetUpdateRect(window, nullptr, FALSE));
  }
}

TEST_F(TitleBarOnTheMainWindow, ItsMenuEnablesTheKindsOfVisibleButtons) {
  TkivTitleBarPopupMenu& menu = frame_->TitleBar()->WindowMenu();
  EXPECT_TRUE(menu.ItemEnabled(TkivTitleBarPopupMenu::cmMinimize));
  EXPECT_FALSE(menu.ItemEnabled(TkivTitleBarPopupMenu::cmMaximizeRestore));
  EXPECT_TRUE(menu.ItemEnabled(TkivTitleBarPopupMenu::cmClose));
  frame_->TitleBarButtons().Items(IndexOf(TkivTitleBarBtnType::kivMax)).SetVisible(true);
  EXPECT_TRUE(menu.ItemEnabled(TkivTitleBarPopupMenu::cmMaximizeRestore));
  // A disabled item does nothing.
  frame_->TitleBarButtons().Items(IndexOf(TkivTitleBarBtnType::kivMax)).SetVisible(false);
  menu.Execute(TkivTitleBarPopupMenu::cmMaximizeRestore);
  PumpMessages();
  EXPECT_FALSE(IsZoomed(Window()));
}

// What a menu that opened showed: its first item and where it stood. The
// menu is closed as soon as it has been seen.
struct TShownMenu {
  static inline std::string firstItem;
  static inline POINT at{-1, -1};
  static void CALLBACK Look(HWND, UINT, UINT_PTR, DWORD) {
    HWND menuWindow = FindWindowA("#32768", nullptr);
    if (!menuWindow || !IsWindowVisible(menuWindow)) return;
    RECT r{};
    GetWindowRect(menuWindow, &r);
    at = {r.left, r.top};
    char text[64] = {};
    auto* menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    if (menu) GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
    firstItem = text;
    EndMenu();
  }
};

TEST_F(TitleBarOnTheMainWindow, AControlBoxWithItsOwnMenuOpensThatMenuBelowTheTitleBar) {
  TkivTitleBarButton& box = frame_->TitleBarButtons().Items(IndexOf(TkivTitleBarBtnType::kivControlBox));
  auto* own = new TkivPopupMenu(form_);
  int clicked = 0;
  own->Items().push_back({"Own item", true, [&](TObject*) { ++clicked; }});
  HWND bar = frame_->TitleBar()->Handle();
  POINT corner{0, frame_->TitleBar()->Height()};
  ClientToScreen(bar, &corner);
  const struct {
    const char* name;
    TkivPopupMenu* menu;
    const char* firstItem;
  } cases[] = {
      {"the window menu without one", nullptr, "Mi&nimize"},
      {"its own menu", own, "Own item"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    box.SetControlBoxMenu(c.menu);
    TShownMenu::firstItem.clear();
    TShownMenu::at = {-1, -1};
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &TShownMenu::Look);
    // A click on the icon (the control box at 5, 4).
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 8));
    SendMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(8, 8));
    KillTimer(nullptr, timer);
    PumpMessages();
    EXPECT_EQ(TShownMenu::firstItem, c.firstItem);
    EXPECT_EQ(TShownMenu::at.x, corner.x);
    EXPECT_EQ(TShownMenu::at.y, corner.y);
  }
  EXPECT_EQ(clicked, 0) << "closed without a choice";
  delete own;
  EXPECT_EQ(box.ControlBoxMenu(), nullptr) << "a menu that goes is forgotten";
}

TEST_F(TitleBarOnTheMainWindow, CloseButtonAndCloseItemCloseTheForm) {
  int closes = 0;
  form_->OnClose = [&](TObject*, TCloseAction& action) {
    ++closes;
    action = TCloseAction::caNone;
  };
  TkivTitleBar& bar = *frame_->TitleBar();
  // A click is a press and a release on the button.
  bar.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(222, 14));
  bar.Perform(WM_LBUTTONUP, 0, MAKELPARAM(222, 14));
  EXPECT_EQ(closes, 1);
  // Released off the button: no click.
  bar.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(222, 14));
  bar.Perform(WM_LBUTTONUP, 0, MAKELPARAM(150, 14));
  EXPECT_EQ(closes, 1);
  bar.WindowMenu().Execute(TkivTitleBarPopupMenu::cmClose);
  EXPECT_EQ(closes, 2);
  // Double-clicking the control box closes the form too.
  bar.Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 12));
  EXPECT_EQ(closes, 3);
}

TEST_F(TitleBarOnTheMainWindow, MinimiseButtonMinimisesTheForm) {
  TkivTitleBar& bar = *frame_->TitleBar();
  bar.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 14));
  bar.Perform(WM_LBUTTONUP, 0, MAKELPARAM(200, 14));
  PumpMessages();
  EXPECT_TRUE(IsIconic(Window()));
}

TEST_F(TitleBarOnTheMainWindow, SecondControlBoxOrClientSectionIsRefusedWithAnErrorBox) {
  std::vector<std::string> shown;
  Application().OnShowMessage = [&](const std::string& text, const std::string&) { shown.push_back(text); };
  TkivTitleBarButton& close = frame_->TitleBarButtons().Items(IndexOf(TkivTitleBarBtnType::kivClose));
  close.SetButtonType(TkivTitleBarBtnType::kivControlBox);
  EXPECT_EQ(close.ButtonType(), TkivTitleBarBtnType::kivClose);
  frame_->TitleBarSections().Items(0).SetAlign(TkivTitleBarAlign::kivClient);
  EXPECT_EQ(frame_->TitleBarSections().Items(0).Align(), TkivTitleBarAlign::kivLeft);
  Application().ProcessMessages();
  Application().OnShowMessage = nullptr;
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0], "Sorry, only one button's ButtonType property can be \"kivControlBox\"");
  EXPECT_EQ(shown[1], "Sorry, only one section's Align property can be \"kivClient\"");
}

TEST_F(SkinnedFrame, AFormPanelFillsTheClientAreaAndTheFrameItselfIsRefused) {
  UseEmbeddedSkin();
  Show();
  std::vector<std::string> shown;
  Application().OnShowMessage = [&](const std::string& text, const std::string&) { shown.push_back(text); };
  frame_->SetFormPanel(frame_);
  Application().ProcessMessages();
  Application().OnShowMessage = nullptr;
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "Sorry, you can't select the Form assign to FormPanel property.");
  EXPECT_EQ(frame_->FormPanel(), nullptr);

  struct TOwnPanel : TCustomPanel {
    using TCustomPanel::TCustomPanel;
  };
  const struct {
    const char* name;
    bool plain;
  } panels[] = {{"a plain panel", true}, {"a panel of its own kind", false}};
  for (const auto& p : panels) {
    SCOPED_TRACE(p.name);
    TCustomPanel* panel = p.plain ? static_cast<TCustomPanel*>(new TPanel(form_)) : new TOwnPanel(form_);
    panel->SetParent(frame_);
    panel->SetBounds(5, 50, 20, 20);
    panel->SetCaption("Panel");
    // Through the published property, as a layout sets it.
    ASSERT_TRUE(SetComponentProp(frame_, "FormPanel", panel));
    EXPECT_EQ(frame_->FormPanel(), panel);
    EXPECT_EQ(panel->Left(), 0);
    EXPECT_EQ(panel->Top(), 33) << "below the title bar";
    EXPECT_EQ(panel->Width(), 243);
    EXPECT_EQ(panel->Height(), 520 - 33);
    EXPECT_EQ(panel->BevelOuter() == TBevelCut::bvNone, p.plain);
    EXPECT_EQ(panel->Caption().empty(), p.plain);
    frame_->SetTitleBarVisible(false);
    EXPECT_EQ(panel->Top(), 0);
    EXPECT_EQ(panel->Height(), 520);
    frame_->SetTitleBarVisible(true);
    delete panel;
    EXPECT_EQ(frame_->FormPanel(), nullptr) << "a panel that goes is forgotten";
  }
}

TEST_F(SkinnedFrame, ASecondFrameOnTheSameFormIsRefused) {
  try {
    new TkivForm(form_);
    FAIL() << "a second frame was made";
  } catch (const EInvalidOperation& error) {
    EXPECT_STREQ(error.what(), "Sorry, You can create only one TkivForm component in one form!");
  }
  // The first frame still works.
  UseEmbeddedSkin();
  Show();
  EXPECT_EQ(GetWindowLongPtrA(Window(), GWL_STYLE) & WS_CAPTION, 0);
}

TEST_F(SkinnedFrame, ThemeGoingAwayLeavesDeepBlue) {
  UseEmbeddedSkin();
  Show();
  delete theme_;
  theme_ = nullptr;
  EXPECT_EQ(frame_->FileTheme(), nullptr);
  EXPECT_EQ(frame_->UIStyle(), TkivUIStyle::DeepBlue);
  EXPECT_EQ(frame_->FrameInsets(), (TRect{3, 3, 3, 2}));
}

// Skins whose values cannot be honoured: pictures too small for their
// slices or missing, a button strip narrower than its 18 frames, negative
// positions, region rows out of range. The frame draws what it can and
// every GDI object it makes goes again.
TEST_F(SkinnedFrame, SkinsThatCannotBeHonouredDrawWhatTheyCan) {
  using test::SkinRecord;
  const struct {
    const char* name;
    std::vector<SkinRecord> records;
  } skins[] = {
      {"tiny pictures, regions asked for, rows out of range",
       {test::Picture("SKIN2_TITLEBAR1", 1, 1, 0x00FF00FF), test::Picture("SKIN2_TITLEBAR2", 1, 2, 0x00102030),
        test::Picture("SKIN2_TITLEBAR3", 2, 1, 0x00FF00FF), test::Picture("SKIN2_TITLEBUTTONS", 17, 5, 0x00405060),
        test::Picture("SKIN2_FORMLEFTBORDER", 1, 1, 0x00000000), test::Picture("SKIN2_FORMBOTTOMBORDER1", 2, 1, 0),
        test::Integer("SKIN2_TITLEBARBUTTONPOSX", -500), test::Integer("SKIN2_TITLEBARBUTTONPOSY", -40),
        test::Integer("SKIN2_TITLEBARICONPOSX", 100000), test::Integer("SKIN2_TITLEBARREGIONMINY", 50),
        test::Integer("SKIN2_TITLEBARREGIONMAXY", -7), test::Integer("SKIN2_BOTTOMREGIONMINY", -3),
        test::Integer("SKIN2_BOTTOMREGIONMAXY", 9999), test::Integer("SKIN2_TRANSCOLOR", 0x00FF00FF),
        test::Boolean("SKIN2_TITLEBARNEEDREGION", true), test::Boolean("SKIN2_BOTTOMBORDERNEEDREGION", true),
        test::Boolean("SKIN2_BOTTOMBORDERTHREESECT", true)}},
      {"five sections with pictures missing, nothing else",
       {test::Boolean("SKIN2_TITLEFIVESECT", true), test::Picture("SKIN2_TITLEBAR2", 3, 40, 0x00AABBCC)}},
      {"an all see-through title with a region",
       {test::Picture("SKIN2_TITLEBAR1", 126, 36, 0x00FF00FF), test::Picture("SKIN2_TITLEBAR2", 190, 36, 0x00FF00FF),
        test::Picture("SKIN2_TITLEBAR3", 125, 36, 0x00FF00FF), test::Integer("SKIN2_TRANSCOLOR", 0x00FF00FF),
        test::Boolean("SKIN2_TITLEBARNEEDREGION", true)}},
  };
  Show();
  for (const auto& skin : skins) {
    SCOPED_TRACE(skin.name);
    auto* odd = new TkivBuiltInFileTheme(form_);
    odd->ReadSkinData(test::SkinArchiveOf(skin.records));
    ASSERT_TRUE(odd->Ready());
    frame_->SetUIStyle(TkivUIStyle::FromThemeFile);
    frame_->SetFileTheme(odd);
    auto paintEverything = [&] {
      frame_->PaintFormBorder();
      frame_->RegionWindow();
      frame_->TitleBar()->Repaint();
      Picture();
      PumpMessages();
    };
    paintEverything();  // the images the frame keeps are made once
    const int objects = test::CountGdiObjects();
    for (int i = 0; i < 20; ++i) paintEverything();
    EXPECT_EQ(test::CountGdiObjects(), objects);
    TOwnedRegion region(CreateRectRgn(0, 0, 0, 0));
    EXPECT_NE(GetWindowRgn(Window(), region.Get()), ERROR);
    delete odd;
  }
}

TEST_F(SkinnedFrame, CreatingAndDestroyingSkinnedFormsLeavesNoGdiObjectWindowOrMenu) {
  // One theme outside the forms: what is counted is the forms' own making.
  TkivBuiltInFileTheme shared(nullptr);
  shared.ReadSkinData(test::EmbeddedSkinArchive());
  ASSERT_TRUE(shared.Ready());
  auto cycle = [&] {
    TForm* other = new TForm(nullptr);
    other->SetBorderStyle(TFormBorderStyle::bsDialog);
    other->SetClientWidth(243);
    other->SetClientHeight(120);
    auto* otherFrame = new TkivForm(other);
    otherFrame->SetParent(other);
    otherFrame->SetUIStyle(TkivUIStyle::FromThemeFile);
    otherFrame->SetFileTheme(&shared);
    other->HandleNeeded();
    // Everything the frame draws, drawn once.
    TBitmap picture(260, 140);
    otherFrame->PaintFormBorderOn(picture.Canvas().Handle(), picture.Width(), picture.Height());
    otherFrame->TitleBar()->Perform(WM_PAINT, reinterpret_cast<WPARAM>(picture.Canvas().Handle()));
    otherFrame->Perform(WM_PAINT, reinterpret_cast<WPARAM>(picture.Canvas().Handle()));
    delete other;
    PumpMessages();
  };
  cycle();  // the first one makes what stays for the process (stock objects, classes)
  const int objects = test::CountGdiObjects(), windows = test::CountWindowsOfThisProcess(),
            menus = test::CountMenus();
  // Positive controls: a brush, a window and a menu that are kept are counted.
  HBRUSH keptBrush = CreateSolidBrush(RGB(1, 2, 3));
  HWND keptWindow = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  HMENU keptMenu = CreatePopupMenu();
  EXPECT_EQ(test::CountGdiObjects(), objects + 1);
  // (the system may give a new window helpers of its own: at least one more)
  EXPECT_GT(test::CountWindowsOfThisProcess(), windows);
  EXPECT_EQ(test::CountMenus(), menus + 1);
  DeleteObject(keptBrush);
  DestroyWindow(keptWindow);
  DestroyMenu(keptMenu);
  for (int i = 0; i < 100; ++i) cycle();
  EXPECT_EQ(test::CountGdiObjects(), objects);
  EXPECT_EQ(test::CountWindowsOfThisProcess(), windows);
  EXPECT_EQ(test::CountMenus(), menus);
}

TEST_F(SkinnedFrame, AThousandRepaintsLeaveNoGdiObjectOrUserObject) {
  theme_ = new TkivBuiltInFileTheme(form_);
  theme_->ReadSkinData(test::EmbeddedSkinArchive());
  frame_->SetFileTheme(theme_);
  Show();
  // The skin, and a built-in style whose panel is tiled from a picture.
  for (TkivUIStyle style : {TkivUIStyle::FromThemeFile, TkivUIStyle::MacOS}) {
    SCOPED_TRACE(static_cast<int>(style));
    frame_->SetUIStyle(style);
    auto repaint = [&] {
      RedrawWindow(Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    };
    repaint();
    PumpMessages();
    const int objects = test::CountGdiObjects(), windows = test::CountWindowsOfThisProcess(),
              menus = test::CountMenus();
    // Positive control: an object a paint would keep is counted.
    HBRUSH kept = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ(test::CountGdiObjects(), objects + 1);
    DeleteObject(kept);
    for (int i = 0; i < 1000; ++i) repaint();
    PumpMessages();
    EXPECT_EQ(test::CountGdiObjects(), objects);
    EXPECT_EQ(test::CountWindowsOfThisProcess(), windows);
    EXPECT_EQ(test::CountMenus(), menus);
  }
}

}  // namespace
}  // namespace plx
