// Starts plexoria.exe and checks the main window from another process.
#include <gtest/gtest.h>

#include "tests/e2e/E2eSupport.h"

namespace plx::e2e {
namespace {

struct StartedPlexoria : ::testing::Test {
  void SetUp() override { ASSERT_TRUE(app.Start()) << "no Plexoria window from " << PlexoriaExePath(); }
  PlexoriaProcess app;
};

TEST_F(StartedPlexoria, OpensAtItsPlaceWithItsClientSize) {
  HWND window = app.MainWindow();
  EXPECT_EQ(WindowText(window), "Plexoria");
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 243);
  EXPECT_EQ(client.bottom, 520);
  RECT frame{};
  GetWindowRect(window, &frame);
  EXPECT_EQ(frame.left, 731);
  EXPECT_EQ(frame.top, 341);
}

TEST_F(StartedPlexoria, StartsWithThePromptAnEmptyListAndOnlyCopyEnabled) {
  HWND memo = app.FindChild("PlexoriaMemo");
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(WindowText(memo), "Please drop your text above.");

  HWND list = app.FindChild("PlexoriaListBox");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 0);

  struct Button {
    const char* caption;
    bool enabled;
  } buttons[] = {{"Remove [-]", false}, {"Clear All", false}, {"Copy", true}};
  for (const auto& b : buttons) {
    HWND button = app.FindChild("PlexoriaButton", b.caption);
    ASSERT_NE(button, nullptr) << b.caption;
    EXPECT_EQ(IsWindowEnabled(button) != FALSE, b.enabled) << b.caption;
  }
}

TEST_F(StartedPlexoria, CopyClickPutsThePromptOnTheClipboard) {
  EmptyTheClipboard();
  HWND copy = app.FindChild("PlexoriaButton", "Copy");
  ASSERT_NE(copy, nullptr);
  ClickCentre(copy);
  EXPECT_TRUE(WaitUntil([] { return ClipboardText() == "Please drop your text above."; }))
      << "clipboard holds: " << ClipboardText();
}

TEST_F(StartedPlexoria, ClosingTheWindowEndsTheProcessWithCodeZero) {
  EXPECT_EQ(app.CloseAndWait(), 0);
}

}  // namespace
}  // namespace plx::e2e
