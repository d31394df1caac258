// The program run from wherever it was put, as a person who unpacked the
// package runs it: the process started is the copy named, its window comes up
// and a drop from another process lands in its list. Without PLEXORIA_E2E_EXE
// the copy is the build's own program.
#include <gtest/gtest.h>

#include <ole2.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "tests/e2e/E2eDrop.h"
#include "tests/e2e/E2eSupport.h"

namespace plx::e2e {
namespace {

using namespace std::string_literals;

std::string Lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// The image the process was started from, as a full Windows path.
std::string ImagePath(HANDLE process) {
  char path[MAX_PATH * 2] = {};
  DWORD size = sizeof path;
  if (!QueryFullProcessImageNameA(process, 0, path, &size)) return "<unknown>";
  return std::string(path, size);
}

struct ProgramCopy : ::testing::Test {
  static void SetUpTestSuite() { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
  static void TearDownTestSuite() { OleUninitialize(); }
};

TEST_F(ProgramCopy, StartsFromItsFolderShowsItsWindowAndTakesADrop) {
  PlexoriaProcess app;
  ASSERT_TRUE(app.Start()) << "no Plexoria window from " << PlexoriaExePath();
  EXPECT_EQ(Lowered(ImagePath(app.ProcessHandle())), Lowered(PlexoriaExePath()));
  EXPECT_TRUE(IsWindowVisible(app.MainWindow()));

  const HWND list = app.FindChild("PlexoriaListBox");
  const HWND memo = app.FindChild("PlexoriaMemo");
  ASSERT_TRUE(list && memo);
  ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 0);
  const TDragResult drag = DragOnto(list, CF_TEXT, "from the package\0"s, /*control=*/true);
  EXPECT_EQ(drag.result, DRAGDROP_S_DROP);
  EXPECT_EQ(drag.effect, static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_TRUE(WaitUntil([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == 1; })) << "the drop made no entry";

  RECT item{};
  SendMessageA(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
  ClickAt(list, (item.left + item.right) / 2, (item.top + item.bottom) / 2);
  EXPECT_TRUE(WaitUntil([&] { return WindowText(memo) == "from the package"; })) << WindowText(memo);
  EXPECT_EQ(app.CloseAndWait(), 0);
}

}  // namespace
}  // namespace plx::e2e
