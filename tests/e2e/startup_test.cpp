// Starts plexoria.exe and checks the main window from another process.
#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

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
  EXPECT_TRUE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME) << "a dialog frame";
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
    HWND button = app.FindChild("PlexoriaSkinButton", b.caption);
    ASSERT_NE(button, nullptr) << b.caption;
    EXPECT_EQ(IsWindowEnabled(button) != FALSE, b.enabled) << b.caption;
  }
}

TEST_F(StartedPlexoria, ScreenShowsThePanelTheListTheMemoAndTheButtons) {
  HWND window = app.MainWindow();
  ASSERT_TRUE(WaitUntil([&] { return CaptureClientArea(window).At(4, 200) == RGB(0xF0, 0xF0, 0xF0); }))
      << "the frame panel's colour never showed";
  const TScreenshot shot = CaptureClientArea(window);
  // Kept beside the test binary for a person to look at.
  shot.SaveBmp("plexoria-start.bmp");
  struct Spot {
    const char* what;
    int x, y;
    COLORREF colour;
  } spots[] = {
      {"panel left of the list", 4, 200, RGB(0xF0, 0xF0, 0xF0)},
      {"inside the empty list", 120, 190, GetSysColor(COLOR_WINDOW)},
      {"inside the memo, below its text", 100, 460, GetSysColor(COLOR_WINDOW)},
      {"panel between memo and Copy", 120, 484, RGB(0xF0, 0xF0, 0xF0)},
  };
  for (const auto& s : spots) EXPECT_EQ(shot.At(s.x, s.y), s.colour) << s.what;
  // The buttons are drawn where the layout puts them: not in the panel's colour.
  for (const char* caption : {"Remove [-]", "Clear All", "Copy"}) {
    HWND button = app.FindChild("PlexoriaSkinButton", caption);
    ASSERT_NE(button, nullptr);
    RECT r{};
    GetWindowRect(button, &r);
    MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&r), 2);
    int differing = 0;
    for (int x = r.left; x < r.right; ++x) differing += shot.At(x, (r.top + r.bottom) / 2) != RGB(0xF0, 0xF0, 0xF0);
    EXPECT_GT(differing, 0) << caption;
  }
}

TEST_F(StartedPlexoria, CopyClickPutsThePromptOnTheClipboard) {
  EmptyTheClipboard();
  HWND copy = app.FindChild("PlexoriaSkinButton", "Copy");
  ASSERT_NE(copy, nullptr);
  ClickCentre(copy);
  EXPECT_TRUE(WaitUntil([] { return ClipboardText() == "Please drop your text above."; }))
      << "clipboard holds: " << ClipboardText();
}

// The file names of the libraries loaded into a process, in lower case.
std::set<std::string> LoadedLibraries(HANDLE process) {
  HMODULE modules[512] = {};
  DWORD needed = 0;
  std::set<std::string> names;
  if (!EnumProcessModules(process, modules, sizeof modules, &needed)) return names;
  const DWORD count = std::min<DWORD>(needed / sizeof(HMODULE), 512);
  for (DWORD i = 0; i < count; ++i) {
    char name[MAX_PATH] = {};
    if (!GetModuleBaseNameA(process, modules[i], name, MAX_PATH)) continue;
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    names.insert(lower);
  }
  return names;
}

TEST_F(StartedPlexoria, StartsWithoutTheShellAndThePictureLoaderLibraries) {
  // Only links in clips and pictures in markup use them; they are loaded on
  // first use, so no start of the program pays for them.
  const std::set<std::string> loaded = LoadedLibraries(app.ProcessHandle());
  EXPECT_TRUE(loaded.count("ole32.dll")) << "control: an imported library is seen";
  for (const char* library : {"shell32.dll", "oleaut32.dll", "shlwapi.dll"})
    EXPECT_FALSE(loaded.count(library)) << library;
}

TEST_F(StartedPlexoria, ClosingTheWindowEndsTheProcessWithCodeZero) {
  EXPECT_EQ(app.CloseAndWait(), 0);
}

}  // namespace
}  // namespace plx::e2e
