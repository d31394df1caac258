// Drops text on the running program's list with a real OLE drag
// (E2eDrop.h): the effects reported to the source and the clips it makes.
#include <gtest/gtest.h>

#include <ole2.h>

#include <string>
#include <vector>

#include "tests/e2e/E2eDrop.h"
#include "tests/e2e/E2eSupport.h"

namespace plx::e2e {
namespace {

using namespace std::string_literals;

class DropOnTheList : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
  static void TearDownTestSuite() { OleUninitialize(); }

  void SetUp() override {
    ASSERT_TRUE(app_.Start()) << "no Plexoria window from " << PlexoriaExePath();
    list_ = app_.FindChild("PlexoriaListBox");
    ASSERT_NE(list_, nullptr);
  }

  TDragResult Drag(UINT format, const std::string& data, bool control, bool shift = false,
                   DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE) {
    const TDragResult drag = DragOnto(list_, format, data, control, shift, allowed);
    EXPECT_NE(drag.result, E_FAIL) << "the cursor is not over the list";
    return drag;
  }

  int ListCount() { return static_cast<int>(SendMessageA(list_, LB_GETCOUNT, 0, 0)); }
  bool WaitForCount(int count) {
    return WaitUntil([&] { return ListCount() == count; });
  }
  // Selects entry index with a real click on it.
  void ClickEntry(int index) {
    RECT item{};
    SendMessageA(list_, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    ClickAt(list_, (item.left + item.right) / 2, (item.top + item.bottom) / 2);
    EXPECT_TRUE(WaitUntil([&] { return SendMessageA(list_, LB_GETCURSEL, 0, 0) == index; }))
        << "entry " << index << " not selected; item rect " << item.left << "," << item.top << "," << item.right
        << "," << item.bottom << " selection " << SendMessageA(list_, LB_GETCURSEL, 0, 0);
  }

  PlexoriaProcess app_;
  HWND list_ = nullptr;
};

TEST_F(DropOnTheList, EffectsByModifierKeys) {
  struct Case {
    const char* name;
    bool control;
    bool shift;
    DWORD allowed;
    DWORD effect;
  } cases[] = {
      {"no keys: move", false, false, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_MOVE},
      {"Ctrl: copy", true, false, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_COPY},
      {"no keys, copy only: copy", false, false, DROPEFFECT_COPY, DROPEFFECT_COPY},
      {"Ctrl+Shift with link: link", true, true, DROPEFFECT_COPY | DROPEFFECT_LINK, DROPEFFECT_LINK},
  };
  int count = 0;
  for (const Case& c : cases) {
    const TDragResult drag = Drag(CF_TEXT, "dragged text\0"s, c.control, c.shift, c.allowed);
    EXPECT_EQ(drag.result, DRAGDROP_S_DROP) << c.name;
    EXPECT_EQ(drag.effect, c.effect) << c.name;
    EXPECT_TRUE(WaitForCount(++count)) << c.name << ": one entry per drop";
  }
  // Ctrl+Shift without link allowed: refused, nothing added.
  const TDragResult refused = Drag(CF_TEXT, "x\0"s, true, true);
  EXPECT_EQ(refused.effect, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(ListCount(), count);
}

TEST_F(DropOnTheList, UnicodeOnlySourceIsRefused) {
  const std::string wide("w\0i\0d\0e\0\0\0", 10);
  const TDragResult drag = Drag(CF_UNICODETEXT, wide, false);
  EXPECT_EQ(drag.effect, static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(ListCount(), 0);
  // Positive control: the same drag offering CF_TEXT reaches the list.
  const TDragResult accepted = Drag(CF_TEXT, "wide\0"s, false);
  EXPECT_EQ(accepted.effect, static_cast<DWORD>(DROPEFFECT_MOVE));
  EXPECT_TRUE(WaitForCount(1));
}

TEST_F(DropOnTheList, DroppedClipsCanBeShownRemovedClearedAndCopied) {
  HWND memo = app_.FindChild("PlexoriaMemo");
  HWND remove = app_.FindChild("PlexoriaSkinButton", "Remove [-]");
  HWND clear = app_.FindChild("PlexoriaSkinButton", "Clear All");
  HWND copy = app_.FindChild("PlexoriaSkinButton", "Copy");
  ASSERT_TRUE(memo && remove && clear && copy);

  // A six-byte block: a five-letter word and its zero.
  ASSERT_EQ(Drag(CF_TEXT, "Hello\0"s, false).effect, static_cast<DWORD>(DROPEFFECT_MOVE));
  ASSERT_TRUE(WaitForCount(1));
  EXPECT_TRUE(IsWindowEnabled(remove));
  EXPECT_TRUE(IsWindowEnabled(clear));
  const std::string long_text(200, 'L');
  ASSERT_EQ(Drag(CF_TEXT, long_text + '\0', true).effect, static_cast<DWORD>(DROPEFFECT_COPY));
  ASSERT_TRUE(WaitForCount(2));

  ClickEntry(0);
  EXPECT_TRUE(WaitUntil([&] { return WindowText(memo) == "Hello"; })) << WindowText(memo);
  ClickEntry(1);
  EXPECT_TRUE(WaitUntil([&] { return WindowText(memo) == long_text; })) << WindowText(memo);

  EmptyTheClipboard();
  ClickCentre(copy);
  EXPECT_TRUE(WaitUntil([&] { return ClipboardText() == long_text; }));

  ClickCentre(remove);
  EXPECT_TRUE(WaitForCount(1));
  EXPECT_TRUE(WaitUntil([&] { return WindowText(memo).empty(); }));
  ClickEntry(0);
  EXPECT_TRUE(WaitUntil([&] { return WindowText(memo) == "Hello"; })) << WindowText(memo);

  ClickCentre(clear);
  EXPECT_TRUE(WaitForCount(0));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowEnabled(remove) && !IsWindowEnabled(clear); }));
}

// The skinned frame takes the platform caption off the main window, at
// start-up and again whenever it comes back. The list's window, registered
// as a drop target only once, must never be made again on the way.
TEST_F(DropOnTheList, TheListKeepsItsWindowWhileTheFrameTakesTheCaptionOff) {
  HWND window = app_.MainWindow();
  EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & WS_CAPTION, 0);
  SetWindowLongPtrA(window, GWL_STYLE, GetWindowLongPtrA(window, GWL_STYLE) | WS_CAPTION);
  EXPECT_TRUE(WaitUntil([&] { return (GetWindowLongPtrA(window, GWL_STYLE) & WS_CAPTION) == 0; }))
      << "the frame did not take the caption off again";
  EXPECT_TRUE(IsWindow(list_)) << "the list's window was destroyed";
  // Drag checks that the list's first window is the one under the cursor.
  EXPECT_EQ(Drag(CF_TEXT, "dropped after the frame\0"s, false).effect, static_cast<DWORD>(DROPEFFECT_MOVE));
  EXPECT_TRUE(WaitForCount(1));
}

}  // namespace
}  // namespace plx::e2e
