// Always on top, end to end: the main window is topmost when it first
// appears, and its window-menu item, sent from this process, turns that off
// and on again while the window stays usable.
#include <gtest/gtest.h>

#include "chrome/CaptionButtonShared.h"
#include "tests/e2e/E2eSupport.h"

namespace plx::e2e {
namespace {

bool Topmost(HWND window) { return (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

struct TopmostPlexoria : ::testing::Test {
  void SetUp() override { ASSERT_TRUE(app.Start()) << "no Plexoria window from " << PlexoriaExePath(); }
  PlexoriaProcess app;
};

TEST_F(TopmostPlexoria, WindowIsTopmostWhenItFirstAppears) {
  EXPECT_TRUE(Topmost(app.MainWindow()));
}

TEST_F(TopmostPlexoria, WindowMenuCommandTurnsItOffAndOnAndTheWindowStaysUsable) {
  const HWND window = app.MainWindow();
  // The main window's one caption button has the first command id.
  const WPARAM command = kFirstCaptionCommandId;
  ASSERT_TRUE(Topmost(window));
  PostMessageA(window, WM_SYSCOMMAND, command, 0);
  EXPECT_TRUE(WaitUntil([&] { return !Topmost(window); })) << "still topmost";
  PostMessageA(window, WM_SYSCOMMAND, command, 0);
  EXPECT_TRUE(WaitUntil([&] { return Topmost(window); })) << "not topmost again";

  // Still usable: the Copy button works.
  EmptyTheClipboard();
  HWND copy = app.FindChild("PlexoriaSkinButton", "Copy");
  ASSERT_NE(copy, nullptr);
  ClickCentre(copy);
  EXPECT_TRUE(WaitUntil([] { return ClipboardText() == "Please drop your text above."; }))
      << "clipboard holds: " << ClipboardText();
  EXPECT_EQ(app.CloseAndWait(), 0);
}

TEST_F(TopmostPlexoria, OtherSystemCommandsLeaveTheStateAlone) {
  const HWND window = app.MainWindow();
  // Control for the test above: a command id that is not the item's.
  SendMessageA(window, WM_SYSCOMMAND, kFirstCaptionCommandId + 1, 0);
  EXPECT_TRUE(Topmost(window));
}

}  // namespace
}  // namespace plx::e2e
