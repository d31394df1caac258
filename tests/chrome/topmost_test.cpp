// The always-on-top component's flows, each read back from the window's
// WS_EX_TOPMOST bit: start-up from the layout, the window-menu command,
// Topmost from code, linked items with "Down" and with "Checked", a window
// re-creation, a short window menu, and handle counts over many toggles and
// many hooked forms.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chrome/FormTopmost.h"
#include "framework/Properties.h"
#include "tests/chrome/ChromeTestSupport.h"
#include "tests/support/ResourceCounts.h"

namespace plx {
namespace {

// The USER objects the hooks could leave behind: windows and menus.
int UserObjectCount() { return test::CountWindowsOfThisProcess() + test::CountMenus(); }

using test::PumpMessages;

bool WindowTopmost(HWND window) { return (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

// A checkable item that keeps its own "Down" (it has already changed when
// its OnClick runs), like a speed button.
class TDownItem : public TComponent {
 public:
  using TComponent::TComponent;
  bool Down() const { return down_; }
  void SetDown(bool value) { down_ = value; }
  void Click() {
    down_ = !down_;
    if (OnClick) OnClick(this);
  }
  TNotifyEvent OnClick;
  const TPropertyTable* PublishedProperties() const override {
    static const TPropertyTable table = [] {
      TPropertyTable t;
      t.Boolean("Down", &TDownItem::Down, &TDownItem::SetDown).Event("OnClick", &TDownItem::OnClick);
      return t;
    }();
    return &table;
  }

 private:
  bool down_ = false;
};

// A menu item: "Checked" does not change by itself on a click.
class TCheckedItem : public TComponent {
 public:
  using TComponent::TComponent;
  bool Checked() const { return checked_; }
  void SetChecked(bool value) { checked_ = value; }
  void Click() {
    if (OnClick) OnClick(this);
  }
  TNotifyEvent OnClick;
  const TPropertyTable* PublishedProperties() const override {
    static const TPropertyTable table = [] {
      TPropertyTable t;
      t.Boolean("Checked", &TCheckedItem::Checked, &TCheckedItem::SetChecked).Event("OnClick", &TCheckedItem::OnClick);
      return t;
    }();
    return &table;
  }

 private:
  bool checked_ = false;
};

struct TopmostTest : ::testing::Test {
  void SetUp() override {
    form = new TForm(nullptr);
    form->SetBorderStyle(TFormBorderStyle::bsSingle);
    form->SetBounds(150, 120, 300, 200);
    form->SetCaption("Always on top test");
    window = form->Handle();
  }
  void TearDown() override {
    delete form;
    PumpMessages();
  }
  // As the main window's layout makes it.
  TacFormTopmost* FromLayout(bool topmost = true) {
    auto* pin = new TacFormTopmost(form);
    pin->BeginLoading();
    pin->CaptionButton().SetBtnOrder(0);
    pin->CaptionButton().SetHint("Always on top");
    pin->CaptionButton().SetVisible(true);
    pin->SystemMenu().SetApplyToMenu(true);
    pin->SystemMenu().SetCaption("Always on &top");
    pin->SystemMenu().SetPosition(7);
    pin->SystemMenu().SetSeparators(seBefore);
    pin->SetTopmostProperty(topmost);
    pin->Loaded();
    pin->OnTopmostChanged = [this](TObject*, bool topmostNow) { changes.push_back(topmostNow); };
    return pin;
  }
  int ItemPosition(UINT id) {
    HMENU menu = GetSystemMenu(window, FALSE);
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
      if (GetMenuItemID(menu, i) == id) return i;
    return -1;
  }
  bool ItemChecked(UINT id) { return GetMenuState(GetSystemMenu(window, FALSE), id, MF_BYCOMMAND) & MF_CHECKED; }

  TForm* form = nullptr;
  HWND window = nullptr;
  std::vector<bool> changes;
};

TEST_F(TopmostTest, StartUpFromTheLayoutIsTopmostBeforeTheWindowIsShown) {
  const int items = GetMenuItemCount(GetSystemMenu(window, FALSE));
  ASSERT_GE(items, 6);
  auto* pin = FromLayout();
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_TRUE(WindowTopmost(window));
  EXPECT_TRUE(pin->Topmost());
  EXPECT_TRUE(pin->Down());
  EXPECT_TRUE(ItemChecked(pin->CommandId()));
  // The separator at position 7, the item right after it.
  HMENU menu = GetSystemMenu(window, FALSE);
  EXPECT_EQ(ItemPosition(pin->CommandId()), 8);
  EXPECT_TRUE(GetMenuState(menu, 7, MF_BYPOSITION) & MF_SEPARATOR);
  char text[64] = {};
  GetMenuStringA(menu, pin->CommandId(), text, sizeof text, MF_BYCOMMAND);
  EXPECT_STREQ(text, "Always on &top");
  EXPECT_EQ(GetMenuItemCount(menu), items + 2);
}

TEST_F(TopmostTest, WindowMenuCommandTwiceTurnsItOffAndOnAgain) {
  auto* pin = FromLayout();
  SendMessageA(window, WM_SYSCOMMAND, pin->CommandId(), 0);
  EXPECT_FALSE(WindowTopmost(window));
  EXPECT_FALSE(pin->Down());
  EXPECT_FALSE(ItemChecked(pin->CommandId()));
  SendMessageA(window, WM_SYSCOMMAND, pin->CommandId(), 0);
  EXPECT_TRUE(WindowTopmost(window));
  EXPECT_TRUE(pin->Down());
  EXPECT_TRUE(ItemChecked(pin->CommandId()));
  EXPECT_EQ(changes, (std::vector<bool>{false, true}));
}

TEST_F(TopmostTest, TopmostFromCodeUpdatesEveryViewAndTheSameStateFiresNothing) {
  auto* pin = FromLayout();
  pin->SetTopmostProperty(false);
  EXPECT_FALSE(WindowTopmost(window));
  EXPECT_FALSE(pin->Down());
  EXPECT_FALSE(ItemChecked(pin->CommandId()));
  pin->SetTopmostProperty(false);
  EXPECT_EQ(changes, std::vector<bool>{false});
  // Through the published property, as a layout or a linked view sets it.
  EXPECT_TRUE(SetBoolProp(pin, "Topmost", true));
  EXPECT_TRUE(WindowTopmost(window));
  EXPECT_EQ(changes, (std::vector<bool>{false, true}));
}

TEST_F(TopmostTest, ChangedBehindItsBackReadsAtOnceButTheViewsWait) {
  auto* pin = FromLayout();
  SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_FALSE(pin->Topmost());
  EXPECT_TRUE(pin->Down());
  EXPECT_TRUE(ItemChecked(pin->CommandId()));
  EXPECT_TRUE(changes.empty());
}

TEST_F(TopmostTest, LinkedItemWithDownShowsAndSwitchesTheState) {
  auto* pin = FromLayout();
  auto* item = new TDownItem(form);
  pin->SetMenuItem(item);
  EXPECT_TRUE(item->Down()) << "shows the state when linked";
  item->Click();  // goes up, then tells us
  EXPECT_FALSE(WindowTopmost(window));
  EXPECT_FALSE(item->Down());
  EXPECT_FALSE(pin->Down());
  SendMessageA(window, WM_SYSCOMMAND, pin->CommandId(), 0);
  EXPECT_TRUE(WindowTopmost(window));
  EXPECT_TRUE(item->Down()) << "follows changes made elsewhere";
  delete item;
  EXPECT_EQ(pin->MenuItem(), nullptr) << "a freed item is forgotten";
}

TEST_F(TopmostTest, LinkedItemWithCheckedIsInvertedOnClick) {
  auto* pin = FromLayout();
  auto* item = new TCheckedItem(form);
  pin->SetMenuItem(item);
  EXPECT_TRUE(item->Checked());
  item->Click();
  EXPECT_FALSE(WindowTopmost(window));
  EXPECT_FALSE(item->Checked());
  EXPECT_FALSE(ItemChecked(pin->CommandId()));
  item->Click();
  EXPECT_TRUE(WindowTopmost(window));
  EXPECT_TRUE(item->Checked());
  EXPECT_EQ(changes, (std::vector<bool>{false, true}));
}

TEST_F(TopmostTest, ItemOutlivingTheComponentNoLongerReachesIt) {
  auto* pin = FromLayout();
  TCheckedItem item(nullptr);
  pin->SetMenuItem(&item);
  delete pin;
  item.Click();  // the handler it was given must not touch the freed component
  EXPECT_TRUE(WindowTopmost(window)) << "nothing changed the window";
}

TEST_F(TopmostTest, RecreatedWindowIsMadeTopmostAgainWithItsMenuItem) {
  auto* pin = FromLayout();
  form->RecreateWnd();
  const HWND fresh = form->Handle();
  ASSERT_NE(fresh, window);
  window = fresh;
  PumpMessages();  // re-attachment
  EXPECT_TRUE(WindowTopmost(window));
  EXPECT_EQ(pin->WindowHandle(), window);
  EXPECT_NE(ItemPosition(pin->CommandId()), -1);
  EXPECT_TRUE(ItemChecked(pin->CommandId()));
  SendMessageA(window, WM_SYSCOMMAND, pin->CommandId(), 0);
  EXPECT_FALSE(WindowTopmost(window)) << "the new window's menu command works";
}

TEST_F(TopmostTest, ShortWindowMenuGetsTheItemAppended) {
  HMENU menu = GetSystemMenu(window, FALSE);
  while (GetMenuItemCount(menu) > 3) DeleteMenu(menu, 0, MF_BYPOSITION);
  auto* pin = FromLayout();
  EXPECT_EQ(GetMenuItemCount(menu), 5);
  EXPECT_EQ(ItemPosition(pin->CommandId()), 4);
  EXPECT_TRUE(GetMenuState(menu, 3, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_TRUE(WindowTopmost(window));
}

TEST_F(TopmostTest, ThousandTogglesLeaveNoHandlesBehind) {
  auto* pin = FromLayout();
  form->Show();
  PumpMessages();
  auto toggle = [&] {
    SendMessageA(window, WM_SYSCOMMAND, pin->CommandId(), 0);
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages();
  };
  toggle();
  toggle();  // warm: everything made once per process exists now
  const int gdi = test::CountGdiObjects(), user = UserObjectCount();
  ASSERT_GT(gdi, 0);
  ASSERT_GT(user, 0);
  for (int i = 0; i < 1000; ++i) toggle();
  EXPECT_TRUE(WindowTopmost(window));
  EXPECT_EQ(test::CountGdiObjects(), gdi);
  EXPECT_EQ(UserObjectCount(), user);
}

TEST(TopmostHandlesTest, HundredHookedFormsLeaveNoHandlesBehind) {
  auto cycle = [] {
    auto* form = new TForm(nullptr);
    form->SetBorderStyle(TFormBorderStyle::bsSingle);
    auto* pin = new TacFormTopmost(form);
    pin->BeginLoading();
    pin->SystemMenu().SetPosition(7);
    pin->SetTopmostProperty(true);
    pin->Loaded();
    SendMessageA(form->Handle(), WM_SYSCOMMAND, pin->CommandId(), 0);
    delete form;
    PumpMessages();
  };
  cycle();  // warm
  const int gdi = test::CountGdiObjects(), user = UserObjectCount();
  for (int i = 0; i < 100; ++i) cycle();
  EXPECT_EQ(test::CountGdiObjects(), gdi);
  EXPECT_EQ(UserObjectCount(), user);
  // Controls: a window and a brush kept alive are counted.
  auto* kept = new TForm(nullptr);
  kept->HandleNeeded();
  EXPECT_GT(UserObjectCount(), user);
  delete kept;
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  EXPECT_EQ(test::CountGdiObjects(), gdi + 1);
  DeleteObject(brush);
}

}  // namespace
}  // namespace plx
