#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "tests/support/Clipboard.h"
#include "tests/support/HeardWinEvents.h"

namespace plx {
namespace {

using test::ClipboardText;

struct MemoFixture : ::testing::Test {
  void SetUp() override {
    form = new TForm(nullptr);
    memo = new TMemo(form);
    memo->SetParent(form);
    memo->SetBounds(0, 0, 200, 100);
    memo->SetScrollBars(TScrollStyle::ssVertical);
  }
  void TearDown() override { delete form; }
  TForm* form = nullptr;
  TMemo* memo = nullptr;
};

TEST_F(MemoFixture, TextIsTakenUpToItsFirstZeroByte) {
  memo->SetText(std::string("visible\0hidden", 14));
  EXPECT_EQ(memo->Text(), "visible");
  memo->Clear();
  EXPECT_EQ(memo->Text(), "");
  memo->SetLines({"Please drop your text above."});
  EXPECT_EQ(memo->Text(), "Please drop your text above.");
  EXPECT_TRUE(GetWindowLongPtrA(memo->Handle(), GWL_STYLE) & WS_VSCROLL);
  EXPECT_TRUE(GetWindowLongPtrA(memo->Handle(), GWL_STYLE) & ES_MULTILINE);
}

TEST_F(MemoFixture, HoldsTextFarBeyondTheTypingLimit) {
  const std::string big(200000, 'x');
  memo->SetText(big);
  EXPECT_EQ(memo->Text().size(), big.size());
}

TEST_F(MemoFixture, SelectAllAndCopyPutTheWholeTextOnTheClipboard) {
  memo->SetText("first line\r\nsecond line");
  SendMessageA(memo->Handle(), EM_SETSEL, 2, 4);
  memo->SelectAll();
  memo->CopyToClipboard();
  EXPECT_EQ(ClipboardText(), "first line\r\nsecond line");
}

TEST_F(MemoFixture, ReadersHearOfEachChangeOfTheTextOnce) {
  test::THeardWinEvents events(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE);
  ASSERT_TRUE(events);
  memo->SetText("first");
  const HWND window = memo->Handle();
  const struct {
    const char* name;
    std::function<void()> change;
    int heard;
  } cases[] = {
      {"the program sets the text", [&] { memo->SetText("second"); }, 1},
      {"a typed character", [&] { SendMessageA(window, WM_CHAR, 'x', 0); }, 1},
      {"a caret move", [&] { SendMessageA(window, EM_SETSEL, 0, 0); }, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(events.Settle(window));
    events.Clear();
    c.change();
    ASSERT_TRUE(events.Settle(window));
    EXPECT_EQ(events.Count(EVENT_OBJECT_VALUECHANGE, window), c.heard);
    EXPECT_EQ(events.Heard().size(), static_cast<std::size_t>(c.heard));
  }
}

}  // namespace
}  // namespace plx
