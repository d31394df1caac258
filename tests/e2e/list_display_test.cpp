// What the main window's list shows for dropped text: one tinted, word-wrapped
// markup entry per drop, 13 pixels a line, in the selection colours when
// selected. Text is dropped with a real OLE drag; the list is read with list
// messages and screenshots.
#include <gtest/gtest.h>

#include <ole2.h>

#include <string>

#include "tests/e2e/E2eDrop.h"
#include "tests/e2e/E2eSupport.h"

namespace plx::e2e {
namespace {

// The main window's tints are full red with random green and blue; the
// list's own colour is white.
bool IsTint(COLORREF colour) { return GetRValue(colour) == 0xFF && colour != GetSysColor(COLOR_WINDOW); }

class ListDisplay : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
  static void TearDownTestSuite() { OleUninitialize(); }

  void SetUp() override {
    ASSERT_TRUE(app_.Start()) << "no Plexoria window from " << PlexoriaExePath();
    list_ = app_.FindChild("PlexoriaListBox");
    ASSERT_NE(list_, nullptr);
  }

  int Count() { return static_cast<int>(SendMessageA(list_, LB_GETCOUNT, 0, 0)); }
  int Height(int index) { return static_cast<int>(SendMessageA(list_, LB_GETITEMHEIGHT, index, 0)); }
  RECT ItemRect(int index) {
    RECT r{};
    SendMessageA(list_, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return r;
  }
  // Drops text (with its terminating zero) and waits for its entry.
  void Drop(const std::string& text) {
    const int before = Count();
    const TDragResult drag = DragOnto(list_, CF_TEXT, text + '\0', false);
    ASSERT_EQ(drag.result, DRAGDROP_S_DROP);
    ASSERT_TRUE(WaitUntil([&] { return Count() == before + 1; })) << text;
  }
  // Waits until the screen shows what condition asks of the list's pixels.
  bool WaitForScreen(const std::function<bool(const TScreenshot&)>& condition) {
    return WaitUntil([&] {
      shot_ = CaptureClientArea(list_);
      return condition(shot_);
    });
  }
  // Columns of the entry's rows holding a pixel that is neither the tint
  // nor the background: the width of its text.
  int TextSpan(int index, COLORREF background) {
    const RECT r = ItemRect(index);
    int first = -1, last = -1;
    for (int x = r.left; x < r.right; ++x) {
      for (int y = r.top; y < r.bottom && y < shot_.height; ++y) {
        if (shot_.At(x, y) != background) {
          if (first < 0) first = x;
          last = x;
          break;
        }
      }
    }
    return first < 0 ? 0 : last - first + 1;
  }

  PlexoriaProcess app_;
  HWND list_ = nullptr;
  TScreenshot shot_;
};

TEST_F(ListDisplay, DroppedTextShowsAsTintedWrappedMarkupEntries) {
  Drop("Hello");
  EXPECT_EQ(Height(0), 13) << "a short word is one 13-pixel line";
  const RECT first = ItemRect(0);
  ASSERT_TRUE(WaitForScreen([&](const TScreenshot& s) { return IsTint(s.At(first.right - 2, first.top + 6)); }))
      << "entry 0 not painted in a tint";
  const COLORREF tint = shot_.At(first.right - 2, first.top + 6);
  EXPECT_EQ(shot_.At(first.left, first.top), tint) << "the tint fills the entry from its left edge";
  EXPECT_EQ(shot_.At(first.right - 1, first.bottom - 1), tint) << "to its right edge and bottom";
  EXPECT_EQ(shot_.At(first.right - 2, first.bottom + 2), GetSysColor(COLOR_WINDOW)) << "nothing painted below";
  EXPECT_GT(TextSpan(0, tint), 10) << "the word is drawn on the tint";

  Drop("The quick brown fox jumps over the lazy dog while five boxing wizards jump quick");
  EXPECT_GT(Height(1), 13) << "an 80-character preview wraps";
  EXPECT_EQ(Height(1) % 13, 0) << Height(1);

  Drop("mmmmmmmm");
  Drop("<B>mmmmmmmm</B>");
  Drop("<FONT size=\"5\">Big</FONT> and small");
  EXPECT_EQ(Height(2), 13);
  EXPECT_EQ(Height(3), 13);
  EXPECT_GT(Height(4), 13) << "a 16-point run makes its line taller";
  ASSERT_TRUE(WaitForScreen([&](const TScreenshot& s) {
    const RECT last = ItemRect(4);
    return last.bottom <= s.height && IsTint(s.At(last.right - 2, last.top + 1));
  }));
  const int plain = TextSpan(2, shot_.At(ItemRect(2).right - 2, ItemRect(2).top + 1));
  const int bold = TextSpan(3, shot_.At(ItemRect(3).right - 2, ItemRect(3).top + 1));
  EXPECT_GT(bold, plain) << "the bold run is drawn wider than the same plain text";
  EXPECT_GT(plain, 0);

  // Pictures for a person to look at: the list, and the whole window.
  const std::string folder = getenv("PLEXORIA_BINARY_DIR") ? getenv("PLEXORIA_BINARY_DIR") : ".";
  EXPECT_TRUE(shot_.SaveBmp(folder + "/list-display-e2e.bmp"));
  EXPECT_TRUE(CaptureClientArea(app_.MainWindow()).SaveBmp(folder + "/list-display-e2e-window.bmp"));

  // Selecting an entry paints it in the selection colours, without its tint.
  ClickAt(list_, (first.left + first.right) / 2, first.top + 6);
  ASSERT_TRUE(WaitUntil([&] { return SendMessageA(list_, LB_GETCURSEL, 0, 0) == 0; }));
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  EXPECT_TRUE(WaitForScreen([&](const TScreenshot& s) { return s.At(first.right - 2, first.top + 6) == highlight; }))
      << "selected entry not in the selection colour";
  EXPECT_EQ(shot_.At(first.left + 1, first.bottom - 2), highlight);
  EXPECT_GT(TextSpan(0, highlight), 10) << "the word is drawn on the selection colour";
  EXPECT_TRUE(IsTint(shot_.At(ItemRect(1).right - 2, ItemRect(1).top + 1))) << "the other entries keep their tint";
}

}  // namespace
}  // namespace plx::e2e
