// The skinned frame and title bar of the running program, driven from
// another process with real keyboard and mouse input: the platform caption
// is gone, the top rows show the skin's title bar with its caption, the
// window has its region, Alt+Space opens the title bar's own menu, dragging
// the title bar moves the window, and the close button ends the program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/GdiHandles.h"
#include "tests/e2e/E2eSupport.h"

namespace plx::e2e {
namespace {

// What the screen shows of the whole window, frame included.
TScreenshot CaptureWindow(HWND window) {
  TScreenshot shot;
  RECT r{};
  GetWindowRect(window, &r);
  shot.width = r.right - r.left;
  shot.height = r.bottom - r.top;
  shot.pixels.assign(static_cast<std::size_t>(shot.width) * static_cast<std::size_t>(shot.height), 0);
  const TWindowDC screen(nullptr);
  const TMemoryDC memory(screen.Get());
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), shot.width, -shot.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const TOwnedBitmap bitmap(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) return shot;
  const TSelectObject selected(memory.Get(), bitmap.Get());
  BitBlt(memory.Get(), 0, 0, shot.width, shot.height, screen.Get(), r.left, r.top, SRCCOPY);
  GdiFlush();
  const auto* source = static_cast<const std::uint32_t*>(bits);
  for (std::size_t i = 0; i < shot.pixels.size(); ++i) shot.pixels[i] = source[i] & 0xFFFFFF;
  return shot;
}

bool IsDark(COLORREF c) { return GetRValue(c) < 0x60 && GetGValue(c) < 0x60 && GetBValue(c) < 0x60; }
bool IsLight(COLORREF c) { return GetRValue(c) > 0xC0 && GetGValue(c) > 0xC0 && GetBValue(c) > 0xC0; }
// Clearly lighter than the charcoal bar: the buttons' glyphs.
bool IsBright(COLORREF c) { return GetRValue(c) > 0x90 && GetGValue(c) > 0x90 && GetBValue(c) > 0x90; }

int CountPixels(const TScreenshot& shot, RECT area, bool (*test)(COLORREF)) {
  int count = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) count += test(shot.At(x, y)) ? 1 : 0;
  return count;
}

// The popup menu windows the program shows.
std::vector<HWND> VisibleMenusOf(DWORD process) {
  struct Search {
    DWORD process;
    std::vector<HWND> found;
  } search{process, {}};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        char name[16] = {};
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s->process && IsWindowVisible(window) && GetClassNameA(window, name, sizeof name) &&
            std::string(name) == "#32768")
          s->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void PressKeys(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  for (WORD key : keys) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    inputs.push_back(input);
  }
  for (auto it = keys.end(); it != keys.begin();) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = *--it;
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT MouseAt(int x, int y, DWORD flags) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = static_cast<LONG>((static_cast<long long>(x) * 65536 + width - 1) / width);
  input.mi.dy = static_cast<LONG>((static_cast<long long>(y) * 65536 + height - 1) / height);
  input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  return input;
}

struct SkinnedPlexoria : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(app.Start()) << "no Plexoria window from " << PlexoriaExePath();
    window = app.MainWindow();
    // The skin's charcoal title bar shows once the window has painted.
    ASSERT_TRUE(WaitUntil([&] { return IsDark(CaptureWindow(window).At(120, 20)); }))
        << "the skinned title bar never showed";
  }
  RECT Bounds() const {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
  }
  // Gives the program the keyboard with a click on its memo.
  void Activate() {
    HWND memo = app.FindChild("PlexoriaMemo");
    ASSERT_NE(memo, nullptr);
    ClickCentre(memo);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }));
  }
  bool WaitForExit(DWORD& code) {
    if (WaitForSingleObject(app.ProcessHandle(), 10000) != WAIT_OBJECT_0) return false;
    return GetExitCodeProcess(app.ProcessHandle(), &code) != FALSE;
  }

  PlexoriaProcess app;
  HWND window = nullptr;
};

TEST_F(SkinnedPlexoria, ThePlatformCaptionIsGoneAndTheWindowHasItsRegion) {
  EXPECT_EQ(GetWindowLongPtrA(window, GWL_STYLE) & WS_CAPTION, 0);
  EXPECT_TRUE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME) << "still a dialog border";
  const RECT bounds = Bounds();
  EXPECT_EQ(bounds.left, 731);
  EXPECT_EQ(bounds.top, 341);
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 243);
  EXPECT_EQ(client.bottom, 520);
  TOwnedRegion region(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(window, region.Get()), ERROR) << "no window region";
  RECT box{};
  GetRgnBox(region.Get(), &box);
  EXPECT_EQ(box.right - box.left, bounds.right - bounds.left);
  EXPECT_EQ(box.bottom - box.top, bounds.bottom - bounds.top);
}

TEST_F(SkinnedPlexoria, TheTopRowsShowTheSkinsTitleBarWithTheCaption) {
  EXPECT_EQ(WindowText(window), "Plexoria");
  const TScreenshot shot = CaptureWindow(window);
  // Kept beside the test binary for a person to look at.
  shot.SaveBmp("plexoria-skinned.bmp");
  // Window coordinates: the title bar starts 4 right of and 3 below the
  // window's corner; the caption at (23, 4) on it, the close button at
  // (212, 4) to (232, 24), minimise at (191, 4) to (211, 24).
  EXPECT_GT(CountPixels(shot, {4, 0, 247, 36}, IsDark), 243 * 30) << "a dark title area";
  EXPECT_GT(CountPixels(shot, {27, 7, 85, 20}, IsLight), 40) << "white caption text";
  EXPECT_EQ(CountPixels(shot, {100, 7, 190, 20}, IsLight), 0) << "nothing after the caption";
  EXPECT_GT(CountPixels(shot, {216, 7, 236, 27}, IsBright), 10) << "the close button's cross";
  EXPECT_GT(CountPixels(shot, {195, 7, 215, 27}, IsBright), 5) << "the minimise button's bar";
  EXPECT_EQ(CountPixels(shot, {174, 7, 194, 27}, IsBright), 0) << "no maximise button: it is hidden";
  EXPECT_EQ(shot.At(4, 200), RGB(0xF0, 0xF0, 0xF0)) << "the panel below the title bar";
  EXPECT_TRUE(IsDark(shot.At(125, shot.height - 2))) << "the skin's bottom border";
}

TEST_F(SkinnedPlexoria, AltSpaceOpensTheTitleBarsMenuAndEscapeClosesIt) {
  Activate();
  PressKeys({VK_MENU, VK_SPACE});
  std::vector<HWND> menus;
  ASSERT_TRUE(WaitUntil([&] { return !(menus = VisibleMenusOf(app.ProcessId())).empty(); })) << "no menu opened";
  // The title bar's menu opens at the window's left edge just below the
  // title bar (33 high), which the platform's window menu does not.
  RECT menu{};
  GetWindowRect(menus.front(), &menu);
  const RECT bounds = Bounds();
  EXPECT_EQ(menu.left, bounds.left);
  EXPECT_EQ(menu.top, bounds.top + 33);
  PressKeys({VK_ESCAPE});
  EXPECT_TRUE(WaitUntil([&] { return VisibleMenusOf(app.ProcessId()).empty(); })) << "Escape left the menu open";
  EXPECT_TRUE(IsWindow(window));
}

TEST_F(SkinnedPlexoria, CloseInTheTitleBarsMenuEndsTheProgramWithCodeZero) {
  Activate();
  PressKeys({VK_MENU, VK_SPACE});
  ASSERT_TRUE(WaitUntil([&] { return !VisibleMenusOf(app.ProcessId()).empty(); }));
  PressKeys({'C'});  // "&Close"
  DWORD code = 1;
  ASSERT_TRUE(WaitForExit(code));
  EXPECT_EQ(code, 0u);
}

TEST_F(SkinnedPlexoria, DraggingTheTitleBarMovesTheWindow) {
  const RECT before = Bounds();
  // Pressed on the caption, right of the text, and dragged 60 right, 40 down.
  const int x = before.left + 140, y = before.top + 15;
  ASSERT_TRUE(WaitForReleasedCapture(window));
  ASSERT_TRUE(MoveCursorTo(x, y));
  std::vector<INPUT> inputs{MouseAt(x, y, MOUSEEVENTF_LEFTDOWN)};
  for (int step = 1; step <= 10; ++step) inputs.push_back(MouseAt(x + 6 * step, y + 4 * step, 0));
  inputs.push_back(MouseAt(x + 60, y + 40, MOUSEEVENTF_LEFTUP));
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  EXPECT_TRUE(WaitUntil([&] {
    const RECT now = Bounds();
    return now.left == before.left + 60 && now.top == before.top + 40;
  })) << "the window is at " << Bounds().left << ", " << Bounds().top;
  EXPECT_EQ(Bounds().right - Bounds().left, before.right - before.left) << "moved, not sized";
}

TEST_F(SkinnedPlexoria, TheCloseButtonEndsTheProgramWithCodeZero) {
  // The close button, in client coordinates: the title bar lies at the top
  // of the client area.
  ClickAt(window, 222, 14);
  DWORD code = 1;
  ASSERT_TRUE(WaitForExit(code)) << "the program did not end";
  EXPECT_EQ(code, 0u);
}

}  // namespace
}  // namespace plx::e2e
