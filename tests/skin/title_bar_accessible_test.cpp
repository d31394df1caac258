// The skinned title bar as a screen reader in the same process sees it: its
// buttons named by what they do, a caption change and an enabled change
// announced, and clicks that reach only the buttons a mouse click reaches.
#include <gtest/gtest.h>
#include <windows.h>

#include <ole2.h>
#include <oleacc.h>

#include <string>
#include <vector>

#include "framework/Accessible.h"
#include "tests/skin/SkinnedFormFixture.h"
#include "tests/support/AccessibleChild.h"
#include "tests/support/HeardWinEvents.h"

namespace plx {
namespace {

struct TitleBarForReaders : test::SkinnedFormFixture {
  static void SetUpTestSuite() { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
  static void TearDownTestSuite() { OleUninitialize(); }

  void SetUp() override {
    SkinnedFormFixture::SetUp();
    UseEmbeddedSkin();
    // A custom button, drawn with the close button's pictures: its click
    // is seen through its event.
    TkivTitleBarButtons& buttons = frame_->TitleBarButtons();
    TkivTitleBarButton* close = nullptr;
    for (int i = 0; i < buttons.Count(); ++i)
      if (buttons.Items(i).ButtonType() == TkivTitleBarBtnType::kivClose) close = &buttons.Items(i);
    ASSERT_NE(close, nullptr);
    custom = buttons.Count();
    TkivTitleBarButton& extra = buttons.Add();
    extra.PicNormal().Bitmap().Assign(close->PicNormal().Bitmap());
    extra.PicMouseOn().Bitmap().Assign(close->PicMouseOn().Bitmap());
    extra.PicMouseDown().Bitmap().Assign(close->PicMouseDown().Bitmap());
    frame_->TitleBar()->OnCustomBtnsClick = [this](TObject*, int index) { clicked.push_back(index); };
    Show();
    bar = frame_->TitleBar()->Handle();
    ASSERT_TRUE(SUCCEEDED(AccessibleObjectFromWindow(bar, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                                     reinterpret_cast<void**>(&reader))));
    ASSERT_TRUE(events);
  }
  void TearDown() override {
    if (reader) reader->Release();  // the reference AccessibleObjectFromWindow gave
    SkinnedFormFixture::TearDown();
  }

  static VARIANT Child(long id) { return test::AccessibleChild(id); }
  long Count() {
    long count = -1;
    reader->get_accChildCount(&count);
    return count;
  }
  std::string Name(long child) {
    BSTR name = nullptr;
    if (FAILED(reader->get_accName(Child(child), &name)) || name == nullptr) return "(none)";
    std::string result;
    for (const wchar_t* c = name; *c; ++c) result += static_cast<char>(*c);
    SysFreeString(name);
    return result;
  }
  long State(long child) {
    VARIANT state;
    VariantInit(&state);
    if (FAILED(reader->get_accState(Child(child), &state)) || state.vt != VT_I4) return -1;
    return state.lVal;
  }
  long Left(long child) {
    long left = 0, top = 0, width = 0, height = 0;
    reader->accLocation(&left, &top, &width, &height, Child(child));
    return left;
  }
  long ChildNamed(const std::string& name) {
    for (long child = 1; child <= Count(); ++child)
      if (Name(child) == name) return child;
    return 0;
  }
  // What readers heard from the title bar since the last call.
  int Heard(DWORD event, LONG child) {
    if (!events.Settle(bar)) return -1;
    return events.Count(event, bar, child);
  }
  void StartListening() {
    ASSERT_TRUE(events.Settle(bar));
    events.Clear();
  }

  int custom = -1;
  std::vector<int> clicked;
  HWND bar = nullptr;
  IAccessible* reader = nullptr;
  test::THeardWinEvents events{EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_NAMECHANGE};
};

TEST_F(TitleBarForReaders, ButtonsAreNamedByWhatTheyDoLeftToRightAndMaximizeReadsRestoreWhileMaximized) {
  const std::vector<std::string> names = {"Window menu", "Button 5", "Minimize", "Maximize", "Close"};
  ASSERT_EQ(Count(), static_cast<long>(names.size()));
  for (long child = 1; child <= Count(); ++child) {
    EXPECT_EQ(Name(child), names[static_cast<std::size_t>(child - 1)]);
    if (child > 1) {
      EXPECT_GT(Left(child), Left(child - 1)) << names[static_cast<std::size_t>(child - 1)];
    }
  }
  form_->SetWindowState(TWindowState::wsMaximized);
  test::PumpMessages();
  ASSERT_TRUE(IsZoomed(Window()));
  EXPECT_EQ(Name(4), "Restore");
  form_->SetWindowState(TWindowState::wsNormal);
  test::PumpMessages();
  EXPECT_EQ(Name(4), "Maximize");
}

TEST_F(TitleBarForReaders, ACaptionChangeIsAnnouncedAndReadAsTheName) {
  const struct {
    const char* caption;
    int announcements;
  } cases[] = {
      {"Another caption", 1},
      {"Another caption", 0},  // unchanged: nothing to tell
      {"Plexoria", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caption);
    StartListening();
    frame_->TitleBar()->SetCaption(c.caption);
    test::PumpMessages();
    EXPECT_EQ(Heard(EVENT_OBJECT_NAMECHANGE, CHILDID_SELF), c.announcements);
    EXPECT_EQ(events.Heard().size(), static_cast<std::size_t>(c.announcements));
    EXPECT_EQ(Name(CHILDID_SELF), c.caption);
  }
}

TEST_F(TitleBarForReaders, ADisabledTitleBarsButtonsAreUnavailableAnnouncedAndRefuseTheirAction) {
  const long customChild = ChildNamed("Button 5");
  ASSERT_NE(customChild, 0);
  for (const bool enabled : {false, true}) {
    SCOPED_TRACE(enabled ? "enabled again" : "disabled");
    StartListening();
    clicked.clear();
    frame_->TitleBar()->SetEnabled(enabled);
    test::PumpMessages();
    for (long child = 1; child <= Count(); ++child) {
      EXPECT_EQ((State(child) & STATE_SYSTEM_UNAVAILABLE) != 0, !enabled) << Name(child);
      EXPECT_EQ(Heard(EVENT_OBJECT_STATECHANGE, child), 1) << Name(child);
    }
    EXPECT_EQ(reader->accDoDefaultAction(Child(customChild)) == S_OK, enabled);
    test::PumpMessages();
    EXPECT_EQ(clicked, enabled ? std::vector<int>{custom} : std::vector<int>{});
  }
}

TEST_F(TitleBarForReaders, APostedClickReachesOnlyAButtonAMouseClickReaches) {
  TkivTitleBarButton& extra = frame_->TitleBarButtons().Items(custom);
  const struct {
    const char* name;
    WPARAM index;
    bool visible;
    bool clicks;
  } cases[] = {
      {"the shown custom button", static_cast<WPARAM>(custom), true, true},
      {"the same button hidden", static_cast<WPARAM>(custom), false, false},
      {"no such button", 99, true, false},
      {"a negative index", static_cast<WPARAM>(-1), true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    extra.SetVisible(c.visible);
    clicked.clear();
    PostMessageA(bar, kivMsgTitleBarClickButton, c.index, 0);
    test::PumpMessages();
    EXPECT_EQ(clicked, c.clicks ? std::vector<int>{custom} : std::vector<int>{});
  }
}

}  // namespace
}  // namespace plx
