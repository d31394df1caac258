// plexoria.exe used without a mouse, with real keyboard input from another
// process: the focus at start, Tab and Shift+Tab over the tab order, the
// focus kept across deactivation, list keys selecting clips (the memo shows
// the selected clip) and the buttons' keys.
#include <gtest/gtest.h>

#include <ole2.h>

#include <string>
#include <vector>

#include "tests/e2e/E2eDrop.h"
#include "tests/e2e/E2eKeyboard.h"
#include "tests/e2e/E2eSupport.h"

namespace plx::e2e {
namespace {

constexpr char kPrompt[] = "Please drop your text above.";

std::string Describe(HWND window) {
  if (window == nullptr) return "(none)";
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return std::string(name) + " \"" + WindowText(window) + "\"";
}

struct Keyboard : ::testing::Test {
  static void SetUpTestSuite() { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
  static void TearDownTestSuite() { OleUninitialize(); }

  void SetUp() override {
    ASSERT_TRUE(app.Start()) << "no Plexoria window from " << PlexoriaExePath();
    memo = app.FindChild("PlexoriaMemo");
    list = app.FindChild("PlexoriaListBox");
    remove = app.FindChild("PlexoriaSkinButton", "Remove [-]");
    clear = app.FindChild("PlexoriaSkinButton", "Clear All");
    copy = app.FindChild("PlexoriaSkinButton", "Copy");
    ASSERT_TRUE(memo && list && remove && clear && copy);
  }

  HWND Focused() const { return FocusedWindowOf(app.MainWindow()); }
  int Count() const { return static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)); }
  int Selected() const { return static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0)); }

  void Drop(const std::string& text) {
    const int before = Count();
    ASSERT_EQ(DragOnto(list, CF_TEXT, text + '\0', false).result, DRAGDROP_S_DROP);
    ASSERT_TRUE(WaitUntil([&] { return Count() == before + 1; })) << text;
  }

  // The memo with the focus, the window active: where the cycles start.
  void FocusMemo() {
    if (GetForegroundWindow() == app.MainWindow() && Focused() == memo) return;
    // Two clicks on one spot would make a double click, which an edit does
    // not take the focus for: each click lands beside the last one.
    RECT r{};
    GetClientRect(memo, &r);
    ClickAt(memo, r.right / 2 + (clicks_++ % 2) * 20, r.bottom / 2);
    ASSERT_TRUE(WaitForFocus(app.MainWindow(), memo)) << "focus on " << Describe(Focused());
    ASSERT_TRUE(WaitForReleasedCapture(memo));
  }

  int clicks_ = 0;
  PlexoriaProcess app;
  HWND memo = nullptr, list = nullptr, remove = nullptr, clear = nullptr, copy = nullptr;
};

TEST_F(Keyboard, TheFocusStartsOnTheMemo) {
  EXPECT_TRUE(WaitForFocus(app.MainWindow(), memo)) << "focus on " << Describe(Focused());
}

TEST_F(Keyboard, TabAndShiftTabCycleOverTheEnabledTabStopsInTabOrder) {
  struct Case {
    const char* name;
    bool with_clip;
    bool backward;
    std::vector<HWND Keyboard::*> visits;  // after each press, the last one back on the memo
  };
  const Case cases[] = {
      {"no clips, Tab", false, false, {&Keyboard::copy, &Keyboard::list, &Keyboard::memo}},
      {"no clips, Shift+Tab", false, true, {&Keyboard::list, &Keyboard::copy, &Keyboard::memo}},
      {"a clip, Tab", true, false,
       {&Keyboard::remove, &Keyboard::clear, &Keyboard::copy, &Keyboard::list, &Keyboard::memo}},
      {"a clip, Shift+Tab", true, true,
       {&Keyboard::list, &Keyboard::copy, &Keyboard::clear, &Keyboard::remove, &Keyboard::memo}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.with_clip && Count() == 0) Drop("clip");
    ASSERT_EQ(IsWindowEnabled(remove) != FALSE, c.with_clip);
    FocusMemo();
    const std::string memo_text = WindowText(memo);
    for (std::size_t step = 0; step < c.visits.size(); ++step) {
      PressKey(VK_TAB, c.backward ? std::initializer_list<WORD>{VK_SHIFT} : std::initializer_list<WORD>{});
      HWND expected = this->*c.visits[step];
      EXPECT_TRUE(WaitForFocus(app.MainWindow(), expected))
          << "step " << step << ": expected " << Describe(expected) << ", focus on " << Describe(Focused());
    }
    EXPECT_EQ(WindowText(memo), memo_text) << "Tab typed into the memo";
  }
  // The memo does take typed keys: the check above would have seen a tab.
  FocusMemo();
  PressKey('X');
  EXPECT_TRUE(WaitUntil([&] { return WindowText(memo).find_first_of("xX") != std::string::npos; }))
      << WindowText(memo);
}

// A window of the test process that takes the activation away.
class OtherWindow {
 public:
  OtherWindow()
      : window_(CreateWindowExA(WS_EX_TOPMOST, "STATIC", "other", WS_POPUP | WS_VISIBLE, 10, 10, 100, 40, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr)) {}
  ~OtherWindow() { DestroyWindow(window_); }  // the test's own window, destroyed here
  OtherWindow(const OtherWindow&) = delete;
  OtherWindow& operator=(const OtherWindow&) = delete;
  HWND Get() const { return window_; }

 private:
  HWND window_;
};

TEST_F(Keyboard, TheFocusReturnsToItsControlWhenTheWindowIsActivatedAgain) {
  struct Case {
    const char* name;
    int tabs;  // Tab presses from the memo
    HWND Keyboard::*control;
  };
  const Case cases[] = {
      {"memo", 0, &Keyboard::memo},
      {"Copy", 1, &Keyboard::copy},
      {"list", 2, &Keyboard::list},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FocusMemo();
    for (int i = 0; i < c.tabs; ++i) PressKey(VK_TAB);
    HWND expected = this->*c.control;
    ASSERT_TRUE(WaitForFocus(app.MainWindow(), expected)) << "focus on " << Describe(Focused());

    OtherWindow other;
    ASSERT_NE(other.Get(), nullptr);
    SetForegroundWindow(other.Get());
    // The focus really left the program while the other window was active.
    ASSERT_TRUE(WaitForFocus(app.MainWindow(), nullptr)) << "focus on " << Describe(Focused());

    SetForegroundWindow(app.MainWindow());
    EXPECT_TRUE(WaitForFocus(app.MainWindow(), expected)) << "focus on " << Describe(Focused());
  }
}

TEST_F(Keyboard, ListKeysSelectClipsAndTheMemoShowsThem) {
  const std::vector<std::string> clips = {"Alpha clip", "Bravo clip", "Charlie clip", "Delta clip"};
  for (const std::string& clip : clips) Drop(clip);
  FocusMemo();
  PressKey(VK_TAB, {VK_SHIFT});
  ASSERT_TRUE(WaitForFocus(app.MainWindow(), list)) << "focus on " << Describe(Focused());
  struct Case {
    WORD key;
    int selected;
  };
  const Case cases[] = {
      {VK_HOME, 0}, {VK_DOWN, 1}, {VK_DOWN, 2}, {VK_UP, 1}, {VK_END, 3}, {VK_PRIOR, 0}, {VK_NEXT, 3},
      {'B', 1},  // typing search: the first entry whose text starts with the letter
      {'A', 0},  {'D', 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "key " << c.key);
    PressKey(c.key);
    EXPECT_TRUE(WaitUntil([&] { return Selected() == c.selected; })) << "selected " << Selected();
    EXPECT_TRUE(WaitUntil([&] { return WindowText(memo) == clips[static_cast<std::size_t>(c.selected)]; }))
        << "memo shows: " << WindowText(memo);
  }
}

TEST_F(Keyboard, SpaceAndEnterOnTheFocusedCopyButtonCopyTheMemo) {
  for (const WORD key : {WORD{VK_SPACE}, WORD{VK_RETURN}}) {
    SCOPED_TRACE(testing::Message() << "key " << key);
    FocusMemo();
    PressKey(VK_TAB);
    ASSERT_TRUE(WaitForFocus(app.MainWindow(), copy)) << "focus on " << Describe(Focused());
    EmptyTheClipboard();
    ASSERT_EQ(ClipboardText(), "");
    PressKey(key);
    EXPECT_TRUE(WaitUntil([] { return ClipboardText() == kPrompt; })) << "clipboard holds: " << ClipboardText();
  }
}

}  // namespace
}  // namespace plx::e2e
