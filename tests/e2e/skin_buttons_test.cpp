// The skinned buttons of plexoria.exe driven with real input from another
// process: the face follows the mouse (normal, mouse on, pressed) and Space
// on the focused button clicks it.
#include <gtest/gtest.h>

#include "tests/e2e/E2eSupport.h"

namespace plx::e2e {
namespace {

constexpr char kPrompt[] = "Please drop your text above.";

// A mouse event carrying its own screen point (see ClickAt).
void SendMouse(int screenX, int screenY, DWORD flags) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = static_cast<LONG>((static_cast<long long>(screenX) * 65536 + width - 1) / width);
  input.mi.dy = static_cast<LONG>((static_cast<long long>(screenY) * 65536 + height - 1) / height);
  input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof input);
}

void SendKey(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &input, sizeof input);
}

struct SkinnedButtons : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(app.Start()) << "no Plexoria window from " << PlexoriaExePath();
    copy = app.FindChild("PlexoriaSkinButton", "Copy");
    ASSERT_NE(copy, nullptr);
    GetWindowRect(copy, &screen);
    client = screen;
    MapWindowPoints(HWND_DESKTOP, app.MainWindow(), reinterpret_cast<POINT*>(&client), 2);
  }
  // A point of the face left of the caption, in the main window's client area.
  COLORREF Face() const { return CaptureClientArea(app.MainWindow()).At(client.left + 24, client.top + 13); }

  PlexoriaProcess app;
  HWND copy = nullptr;
  RECT screen{}, client{};
};

int Red(COLORREF c) { return GetRValue(c); }
int Blue(COLORREF c) { return GetBValue(c); }

TEST_F(SkinnedButtons, HoveringAndPressingChangeTheFace) {
  EmptyTheClipboard();
  // Away from the button: the light, almost white capsule.
  SendMouse(screen.left + 100, screen.top - 60, 0);
  ASSERT_TRUE(WaitUntil([&] {
    const COLORREF c = Face();
    return Red(c) > 0xC0 && GetGValue(c) > 0xC0 && Blue(c) > 0xC0;
  })) << std::hex << Face();
  const COLORREF normal = Face();

  // Over it: the saturated blue capsule.
  const int x = screen.left + 24, y = screen.top + 13;
  SendMouse(x, y, 0);
  ASSERT_TRUE(WaitUntil([&] { return Blue(Face()) - Red(Face()) > 80; })) << std::hex << Face();
  const COLORREF hot = Face();
  CaptureClientArea(app.MainWindow()).SaveBmp("plexoria-button-hot.bmp");

  // Held down: the paler flat blue capsule; nothing is copied before release.
  SendMouse(x, y, MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(WaitUntil([&] {
    const COLORREF c = Face();
    return c != hot && c != normal && Blue(c) > Red(c);
  })) << std::hex << Face();
  CaptureClientArea(app.MainWindow()).SaveBmp("plexoria-button-pressed.bmp");
  EXPECT_EQ(ClipboardText(), "");

  SendMouse(x, y, MOUSEEVENTF_LEFTUP);
  EXPECT_TRUE(WaitUntil([] { return ClipboardText() == kPrompt; })) << "clipboard holds: " << ClipboardText();
  EXPECT_TRUE(WaitUntil([&] { return Face() == hot; })) << "released over the button it shows the mouse-on face";
}

TEST_F(SkinnedButtons, SpaceOnTheFocusedButtonClicksIt) {
  // A click gives the button the focus (and copies once).
  EmptyTheClipboard();
  ClickCentre(copy);
  ASSERT_TRUE(WaitUntil([] { return ClipboardText() == kPrompt; }));
  ASSERT_TRUE(WaitForReleasedCapture(copy));
  EmptyTheClipboard();
  ASSERT_EQ(ClipboardText(), "");

  SendKey(VK_SPACE, false);
  SendKey(VK_SPACE, true);
  EXPECT_TRUE(WaitUntil([] { return ClipboardText() == kPrompt; })) << "clipboard holds: " << ClipboardText();
}

}  // namespace
}  // namespace plx::e2e
