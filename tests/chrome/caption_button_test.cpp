// Caption buttons on a plain form with its native caption: painted left of
// the system buttons, answering their hit-test code, pressed with the real
// mouse, with their tooltip, window-menu item and check mark, laid out by
// BtnOrder, and silent while the window has no native caption.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "chrome/CaptionButton.h"
#include "chrome/FormTopmost.h"
#include "tests/chrome/ChromeGolden.h"
#include "tests/chrome/ChromeTestSupport.h"
#include "tests/support/WindowTestSupport.h"

namespace plx {
namespace {

using test::PumpMessages;

using test::PumpUntil;

struct CaptionButtonTest : ::testing::Test {
  void SetUp() override {
    form = new test::TRecordingForm(recorder);
    form->SetBorderStyle(TFormBorderStyle::bsSingle);
    form->Show();
    window = form->Handle();
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    PumpMessages();
  }
  void TearDown() override {
    delete form;
    PumpMessages();
  }

  // A button as a layout makes it: properties set while loading, then Loaded.
  TacCaptionButton* NewButton(const std::function<void(TacCaptionButton&)>& setup = {}) {
    auto* button = new TacCaptionButton(form);
    button->BeginLoading();
    if (setup) setup(*button);
    button->Loaded();
    Repaint();
    return button;
  }
  void Repaint() {
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages();
  }
  // The face's rectangle in window coordinates.
  RECT Face(const TacCustomCaptionButton& button) const {
    const int x = button.ButtonRect().Left, y = button.ButtonRect().Top;
    return {x, y, x + GetSystemMetrics(SM_CXSIZE) - 2, y + GetSystemMetrics(SM_CYSIZE) - 4};
  }
  POINT FaceCentreOnScreen(const TacCustomCaptionButton& button) const {
    const RECT face = Face(button);
    RECT frame{};
    GetWindowRect(window, &frame);
    return {frame.left + (face.left + face.right) / 2, frame.top + (face.top + face.bottom) / 2};
  }
  LRESULT HitTestAt(POINT screen) { return SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)); }
  // The mouse arriving over the button's face, as the frame reports it.
  void HoverFace(const TacCustomCaptionButton& button) {
    const POINT centre = FaceCentreOnScreen(button);
    SendMessageA(window, WM_NCMOUSEMOVE, button.CommandId(), MAKELPARAM(centre.x, centre.y));
  }
  void MoveCursor(POINT screen) {
    SetCursorPos(screen.x, screen.y);
    PumpUntil([&] {
      POINT at{};
      return GetCursorPos(&at) && at.x == screen.x && at.y == screen.y;
    });
  }
  void MouseButton(DWORD flag) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flag;
    SendInput(1, &input, sizeof input);
  }
  // The window-menu item with the command id: its position and state.
  struct TMenuItem {
    int position = -1;
    UINT state = 0;
    std::string text;
    bool separator_before = false;
  };
  TMenuItem MenuItem(UINT id) {
    TMenuItem found;
    HMENU menu = GetSystemMenu(window, FALSE);
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      if (GetMenuItemID(menu, i) != id) continue;
      found.position = i;
      found.state = GetMenuState(menu, id, MF_BYCOMMAND);
      char text[64] = {};
      GetMenuStringA(menu, id, text, sizeof text, MF_BYCOMMAND);
      found.text = text;
      found.separator_before = i > 0 && (GetMenuState(menu, static_cast<UINT>(i - 1), MF_BYPOSITION) & MF_SEPARATOR);
    }
    return found;
  }

  test::TMessageRecorder recorder;
  test::TRecordingForm* form = nullptr;
  HWND window = nullptr;
};

TEST_F(CaptionButtonTest, FaceIsPaintedLeftOfTheSystemButtons) {
  auto* button = NewButton([](TacCaptionButton& b) { b.SetStyle(TacCaptionButtonStyle::cbsWin9x); });
  const RECT face = Face(*button);
  RECT frame{};
  GetWindowRect(window, &frame);
  // Close, maximise and minimise take three button widths at the right.
  const int system_buttons_left = (frame.right - frame.left) - GetSystemMetrics(SM_CXDLGFRAME) -
                                  3 * GetSystemMetrics(SM_CXSIZE);
  EXPECT_LE(face.right, system_buttons_left);
  EXPECT_GT(face.left, 0);

  TBitmap shot;
  test::CaptureWindowRect(window, face, shot);
  EXPECT_TRUE(test::MatchesChromeGolden(shot, "caption_button_classic_sign"));

  // Control: hidden, the same place shows the title bar and no face.
  button->SetVisible(false);
  Repaint();
  TBitmap hidden;
  test::CaptureWindowRect(window, face, hidden);
  int differing = 0;
  for (int y = 0; y < shot.Height(); ++y)
    for (int x = 0; x < shot.Width(); ++x) differing += shot.Pixel(x, y) != hidden.Pixel(x, y);
  EXPECT_GT(differing, shot.Width() * shot.Height() / 4);
}

TEST_F(CaptionButtonTest, PinGlyphsAreDrawnUpAndDown) {
  auto* pin = new TacFormTopmost(form);
  pin->BeginLoading();
  pin->CaptionButton().SetStyle(TacCaptionButtonStyle::cbsWin9x);
  pin->Loaded();
  Repaint();
  TBitmap up;
  test::CaptureWindowRect(window, Face(*pin), up);
  EXPECT_TRUE(test::MatchesChromeGolden(up, "caption_button_pin_up"));
  pin->SetTopmost(true);
  Repaint();
  TBitmap down;
  test::CaptureWindowRect(window, Face(*pin), down);
  EXPECT_TRUE(test::MatchesChromeGolden(down, "caption_button_pin_down"));
  pin->SetTopmost(false);
}

TEST_F(CaptionButtonTest, ThemedFaceUsesTheColourBitmap) {
  auto* button = NewButton([](TacCaptionButton& b) {
    b.SetStyle(TacCaptionButtonStyle::cbsWinXP);
    b.SetXPStyleColor(TacCaptionButtonXPStyleColor::xpcGreen);
  });
  TBitmap shot;
  test::CaptureWindowRect(window, Face(*button), shot);
  EXPECT_TRUE(test::MatchesChromeGolden(shot, "caption_button_themed_green"));
}

TEST_F(CaptionButtonTest, HitTestAnswersTheButtonsCodeOnlyOverIt) {
  auto* button = NewButton();
  const POINT centre = FaceCentreOnScreen(*button);
  EXPECT_EQ(HitTestAt(centre), static_cast<LRESULT>(button->CommandId()));
  EXPECT_GE(button->CommandId(), kFirstCaptionCommandId);
  // Elsewhere on the caption the system's answer stands.
  EXPECT_EQ(HitTestAt({centre.x - 60, centre.y}), HTCAPTION);
  button->SetVisible(false);
  EXPECT_EQ(HitTestAt(centre), HTCAPTION);
  button->SetVisible(true);
  button->SetEnabled(false);
  EXPECT_EQ(HitTestAt(centre), static_cast<LRESULT>(button->CommandId())) << "disabled still owns its area";
}

// The columns the hit test claims are the columns the face is painted in:
// both are measured in window coordinates.
TEST_F(CaptionButtonTest, HitTestClaimsExactlyTheFacesColumns) {
  auto* button = NewButton();
  const RECT face = Face(*button);
  ASSERT_EQ(face.right - face.left, GetSystemMetrics(SM_CXSIZE) - 2);
  RECT frame{};
  GetWindowRect(window, &frame);
  const int y = frame.top + (face.top + face.bottom) / 2;
  struct TCase {
    int column;  // window x
    bool onButton;
  };
  const TCase cases[] = {{face.left - 2, false}, {face.left - 1, false}, {face.left, true},
                         {(face.left + face.right) / 2, true}, {face.right - 1, true}, {face.right, false},
                         {face.right + 1, false}};
  for (const TCase& c : cases) {
    const LRESULT answer = HitTestAt({frame.left + c.column, y});
    EXPECT_EQ(answer == static_cast<LRESULT>(button->CommandId()), c.onButton)
        << "window x " << c.column << " (face " << face.left << ".." << face.right << "), answer " << answer;
  }
}

TEST_F(CaptionButtonTest, RealPressAndReleaseToggleALatchingButton) {
  std::vector<std::string> events;
  auto* button = NewButton([&](TacCaptionButton& b) {
    b.SetAllowPress(true);
    b.SystemMenu().SetApplyToMenu(true);
    b.SystemMenu().SetCaption("Latch");
    b.OnPressed = [&](TObject*) { events.push_back("pressed"); };
    b.OnReleased = [&](TObject*) { events.push_back("released"); };
    b.OnButtonClick = [&](TObject*) { events.push_back("button click"); };
    b.OnClick = [&](TObject*) { events.push_back("click"); };
  });
  const POINT centre = FaceCentreOnScreen(*button);
  MoveCursor(centre);
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(PumpUntil([&] { return button->Tracking(); })) << "the press did not reach the button";
  EXPECT_TRUE(button->DrawnDown());
  MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpUntil([&] { return !button->Tracking(); }));
  EXPECT_TRUE(button->Down());
  EXPECT_EQ(events, (std::vector<std::string>{"pressed", "button click", "click"}));
  EXPECT_TRUE(MenuItem(button->CommandId()).state & MF_CHECKED);

  events.clear();
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(PumpUntil([&] { return button->Tracking(); }));
  MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpUntil([&] { return !button->Tracking(); }));
  EXPECT_FALSE(button->Down());
  EXPECT_EQ(events, (std::vector<std::string>{"released", "button click", "click"}));
  EXPECT_FALSE(MenuItem(button->CommandId()).state & MF_CHECKED);
}

TEST_F(CaptionButtonTest, ReleasingAwayFromTheButtonClicksNothing) {
  int clicks = 0;
  auto* button = NewButton([&](TacCaptionButton& b) {
    b.SetAllowPress(true);
    b.OnClick = [&](TObject*) { ++clicks; };
  });
  const POINT centre = FaceCentreOnScreen(*button);
  MoveCursor(centre);
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(PumpUntil([&] { return button->Tracking(); }));
  RECT client{};
  GetClientRect(window, &client);
  POINT inside{client.right / 2, client.bottom / 2};
  ClientToScreen(window, &inside);
  MoveCursor(inside);
  ASSERT_TRUE(PumpUntil([&] { return !button->DrawnDown(); })) << "moving off repaints it released";
  MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpUntil([&] { return !button->Tracking(); }));
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(button->Down());
}

TEST_F(CaptionButtonTest, DoubleClickIsTwoPressesAndRightClickNeverReachesTheForm) {
  auto* button = NewButton([](TacCaptionButton& b) { b.SetAllowPress(true); });
  const WPARAM id = button->CommandId();
  const POINT centre = FaceCentreOnScreen(*button);
  const LPARAM where = MAKELPARAM(centre.x, centre.y);
  HitTestAt(centre);
  SendMessageA(window, WM_NCLBUTTONDOWN, id, where);
  SendMessageA(window, WM_LBUTTONUP, 0, 0);
  SendMessageA(window, WM_NCLBUTTONDBLCLK, id, where);
  SendMessageA(window, WM_LBUTTONUP, 0, 0);
  EXPECT_FALSE(button->Down()) << "toggled twice";
  SendMessageA(window, WM_NCLBUTTONDBLCLK, id, where);
  SendMessageA(window, WM_LBUTTONUP, 0, 0);
  EXPECT_TRUE(button->Down());

  // A hook inside the button records which right clicks went inward.
  std::vector<WPARAM> reached;
  struct TInner : TacFormHookComponent {
    std::vector<WPARAM>& reached;
    TInner(TComponent* owner, std::vector<WPARAM>& r) : TacFormHookComponent(owner), reached(r) {}
    void MessageBefore(TMessage& m, bool&) override {
      if (m.Msg == WM_NCRBUTTONUP) reached.push_back(m.WParam);
    }
  };
  // A hook made after the button sits outside it; move the button outward.
  auto* inner = new TInner(form, reached);
  button->SetParent(nullptr);
  button->SetParent(form);
  SendMessageA(window, WM_NCRBUTTONUP, id, where);
  SendMessageA(window, WM_NCRBUTTONUP, HTCAPTION, where);
  EXPECT_EQ(reached, std::vector<WPARAM>{HTCAPTION}) << "only the click off the button went inward";
  delete inner;
}

TEST_F(CaptionButtonTest, TooltipToolIsAddedWhenTheMouseFirstComesOverTheCaption) {
  auto* button = NewButton([](TacCaptionButton& b) { b.SetHint("Pin it"); });
  SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  EXPECT_FALSE(button->TooltipAdded()) << "nothing yet while the mouse was only over the client area";
  HoverFace(*button);
  EXPECT_TRUE(button->TooltipAdded());

  // Without a native caption the button never shows, so neither does its tip.
  auto* captionless = new test::TRecordingForm(recorder);
  captionless->SetBorderStyle(TFormBorderStyle::bsSingle);
  captionless->Show();
  const HWND other = captionless->Handle();
  auto* hidden = new TacCaptionButton(captionless);
  hidden->BeginLoading();
  hidden->SetHint("Pin it");
  hidden->Loaded();
  SetWindowLongPtrA(other, GWL_STYLE, GetWindowLongPtrA(other, GWL_STYLE) & ~WS_CAPTION);
  SetWindowPos(other, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  RECT frame{};
  GetWindowRect(other, &frame);
  SendMessageA(other, WM_NCMOUSEMOVE, HTBORDER, MAKELPARAM(frame.left, frame.top));
  EXPECT_FALSE(hidden->TooltipAdded());
  delete captionless;
  PumpMessages();
}

TEST_F(CaptionButtonTest, TooltipToolCoversTheButtonWithItsHint) {
  auto* button = NewButton([](TacCaptionButton& b) { b.SetHint("Pin it"); });
  HoverFace(*button);
  ASSERT_TRUE(button->TooltipAdded());
  const HWND tooltip = CaptionTooltipWindow();
  ASSERT_TRUE(IsWindow(tooltip));
  bool found = false;
  const int count = static_cast<int>(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[80] = {};
    TTTOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    info.lpszText = text;
    if (!SendMessageA(tooltip, TTM_ENUMTOOLSA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info))) continue;
    if (info.hwnd != window) continue;
    found = true;
    EXPECT_STREQ(text, "Pin it");
    // The face's columns, told in client coordinates.
    RECT frame{};
    GetWindowRect(window, &frame);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    const RECT face = Face(*button);
    EXPECT_EQ(info.rect.left, face.left - (origin.x - frame.left));
    EXPECT_EQ(info.rect.right, face.right - (origin.x - frame.left));
    EXPECT_EQ(info.rect.top, -GetSystemMetrics(SM_CYCAPTION));
    EXPECT_EQ(info.rect.bottom, 0);
  }
  EXPECT_TRUE(found);
  // Without a hint there is no tip: the tool's rectangle is empty.
  button->SetHint("");
  for (int i = 0; i < count; ++i) {
    TTTOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    if (SendMessageA(tooltip, TTM_ENUMTOOLSA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info)) &&
        info.hwnd == window) {
      EXPECT_TRUE(IsRectEmpty(&info.rect));
    }
  }
}

// The shared tooltip window goes with the last button that has a tool in it,
// not with the process: a later button makes a new one.
TEST_F(CaptionButtonTest, TooltipWindowGoesWithItsLastUser) {
  auto* first = NewButton([](TacCaptionButton& b) { b.SetHint("One"); });
  auto* second = NewButton([](TacCaptionButton& b) { b.SetHint("Two"); });
  HoverFace(*first);
  HoverFace(*second);
  ASSERT_TRUE(first->TooltipAdded() && second->TooltipAdded());
  const HWND tooltip = CaptionTooltipWindow();
  ASSERT_TRUE(IsWindow(tooltip));
  delete first;
  EXPECT_TRUE(IsWindow(tooltip)) << "control: another button still uses it";
  EXPECT_EQ(CaptionTooltipWindow(), tooltip);
  delete second;
  EXPECT_FALSE(IsWindow(tooltip));
  EXPECT_EQ(CaptionTooltipWindow(), nullptr);

  auto* later = NewButton([](TacCaptionButton& b) { b.SetHint("Three"); });
  HoverFace(*later);
  EXPECT_TRUE(later->TooltipAdded());
  EXPECT_TRUE(IsWindow(CaptionTooltipWindow()));
}

TEST_F(CaptionButtonTest, TooltipShowsWhileTheMouseRestsOnTheButton) {
  auto* button = NewButton([](TacCaptionButton& b) { b.SetHint("Pin it"); });
  RECT client{};
  GetClientRect(window, &client);
  POINT inside{client.right / 2, client.bottom / 2};
  ClientToScreen(window, &inside);
  MoveCursor(inside);
  PumpMessages();
  ASSERT_FALSE(IsWindowVisible(CaptionTooltipWindow()));
  MoveCursor(FaceCentreOnScreen(*button));
  // The tooltip window is made when the mouse first comes over the caption.
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(CaptionTooltipWindow()) != FALSE; })) << "no tip over the button";
  const HWND tooltip = CaptionTooltipWindow();
  char text[32] = {};
  GetWindowTextA(tooltip, text, sizeof text);
  EXPECT_STREQ(text, "Pin it");
  // Off the button (into the client area) the tip goes again.
  MoveCursor(inside);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(tooltip); }));
}

TEST_F(CaptionButtonTest, WindowMenuItemSitsAtItsPositionAndFollowsTheButton) {
  const int items_before = GetMenuItemCount(GetSystemMenu(window, FALSE));
  ASSERT_GE(items_before, 6);
  auto* button = NewButton([](TacCaptionButton& b) {
    b.SetAllowPress(true);
    b.SetHint("From the hint");
    b.SystemMenu().SetPosition(2);
    b.SystemMenu().SetSeparators(seBefore);
    b.SystemMenu().SetApplyToMenu(true);
  });
  TMenuItem item = MenuItem(button->CommandId());
  EXPECT_EQ(item.position, 3) << "the separator at 2, the item right after it";
  EXPECT_TRUE(item.separator_before);
  EXPECT_EQ(item.text, "From the hint");
  EXPECT_FALSE(item.state & MF_CHECKED);

  int menuClicks = 0;
  button->OnMenuClick = [&](TObject*) { ++menuClicks; };
  SendMessageA(window, WM_SYSCOMMAND, button->CommandId(), 0);
  EXPECT_TRUE(button->Down());
  EXPECT_TRUE(MenuItem(button->CommandId()).state & MF_CHECKED);
  EXPECT_EQ(menuClicks, 1);

  button->SetEnabled(false);
  EXPECT_TRUE(MenuItem(button->CommandId()).state & MF_GRAYED);

  // A position past the end appends; removing takes the separator along.
  button->SystemMenu().SetPosition(200);
  EXPECT_EQ(MenuItem(button->CommandId()).position, items_before + 1);
  delete button;
  EXPECT_EQ(GetMenuItemCount(GetSystemMenu(window, FALSE)), items_before);
}

TEST_F(CaptionButtonTest, SeveralButtonsFollowBtnOrder) {
  auto* first = new TacCaptionButton(form);
  auto* second = new TacCaptionButton(form);
  first->BeginLoading();
  second->BeginLoading();
  first->CaptionButton().SetBtnOrder(1);
  second->CaptionButton().SetBtnOrder(0);
  first->Loaded();
  second->Loaded();
  Repaint();
  EXPECT_EQ(CaptionButtonAt(window, 0), second) << "order 0 sits next to the system buttons";
  EXPECT_EQ(second->BtnOrder(), 0);
  EXPECT_EQ(first->BtnOrder(), 1);
  const int cw = GetSystemMetrics(SM_CXSIZE);
  EXPECT_EQ(second->RightOffset(), cw);
  EXPECT_EQ(first->RightOffset(), 2 * cw - 2);
  EXPECT_LT(Face(*first).right, Face(*second).left + 1);
  EXPECT_EQ(HitTestAt(FaceCentreOnScreen(*first)), static_cast<LRESULT>(first->CommandId()));
  EXPECT_EQ(HitTestAt(FaceCentreOnScreen(*second)), static_cast<LRESULT>(second->CommandId()));

  second->CaptionButton().SetBtnOrder(100);  // clamped to the last place
  EXPECT_EQ(second->BtnOrder(), 1);
  EXPECT_EQ(CaptionButtonAt(window, 0), first);
  // A hidden button takes no room.
  first->SetVisible(false);
  EXPECT_EQ(second->RightOffset(), cw);
}

TEST_F(CaptionButtonTest, WithoutANativeCaptionNothingIsClaimedButTheMenuItemWorks) {
  auto* button = NewButton([](TacCaptionButton& b) {
    b.SetAllowPress(true);
    b.SystemMenu().SetApplyToMenu(true);
  });
  const POINT centre = FaceCentreOnScreen(*button);
  ASSERT_EQ(HitTestAt(centre), static_cast<LRESULT>(button->CommandId())) << "control: with the caption";
  // What a skinned frame does: the caption bits go.
  SetWindowLongPtrA(window, GWL_STYLE, GetWindowLongPtrA(window, GWL_STYLE) & ~WS_CAPTION);
  SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  Repaint();
  // Pretend the frame answers HTCAPTION for its own title bar, as skinned frames do.
  EXPECT_NE(HitTestAt(centre), static_cast<LRESULT>(button->CommandId()));
  int menuClicks = 0;
  button->OnMenuClick = [&](TObject*) { ++menuClicks; };
  SendMessageA(window, WM_SYSCOMMAND, button->CommandId(), 0);
  EXPECT_TRUE(button->Down());
  EXPECT_EQ(menuClicks, 1);
}

TEST_F(CaptionButtonTest, AWindowWithoutACaptionIsNotMeasuredAgainForItsButtons) {
  int measured = 0;
  const THookToken counting = form->AddWindowProcHook([&](TMessage& message, const TWndMethod& next) {
    if (message.Msg == WM_NCCALCSIZE) ++measured;
    next(message);
  });
  auto* button = NewButton();
  // Positive control: with the caption, showing a button measures the frame.
  measured = 0;
  button->SetVisible(false);
  button->SetVisible(true);
  EXPECT_GT(measured, 0);

  SetWindowLongPtrA(window, GWL_STYLE, GetWindowLongPtrA(window, GWL_STYLE) & ~WS_CAPTION);
  SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  measured = 0;
  button->SetVisible(false);
  button->SetVisible(true);
  auto* second = NewButton();
  EXPECT_EQ(measured, 0);

  // The caption given back, with the frame measured by whoever gives it:
  // the buttons are there again.
  SetWindowLongPtrA(window, GWL_STYLE, GetWindowLongPtrA(window, GWL_STYLE) | WS_CAPTION);
  SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  Repaint();
  EXPECT_EQ(HitTestAt(FaceCentreOnScreen(*second)), static_cast<LRESULT>(second->CommandId()));
  EXPECT_EQ(HitTestAt(FaceCentreOnScreen(*button)), static_cast<LRESULT>(button->CommandId()));
  EXPECT_NE(FaceCentreOnScreen(*second).x, FaceCentreOnScreen(*button).x) << "side by side";
  form->RemoveWindowProcHook(counting);
}

}  // namespace
}  // namespace plx
