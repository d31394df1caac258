// The main window's always-on-top component, in process: the window is
// topmost before it is first shown, and its window menu holds the checked
// "Always on &top" item after a separator at position 7.
#include <gtest/gtest.h>

#include <string>

#include "app/Form1.h"
#include "tests/chrome/ChromeTestSupport.h"

namespace plx {
namespace {

TEST(MainWindowTopmostTest, TopmostBeforeShownWithTheCheckedWindowMenuItem) {
  auto* form = new TForm1(nullptr);
  form->AfterConstruction();
  const HWND window = form->Handle();
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_TRUE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  ASSERT_NE(form->acFormTopmost1, nullptr);
  EXPECT_TRUE(form->acFormTopmost1->Down());

  HMENU menu = GetSystemMenu(window, FALSE);
  const UINT id = form->acFormTopmost1->CommandId();
  int position = -1;
  for (int i = 0; i < GetMenuItemCount(menu); ++i)
    if (GetMenuItemID(menu, i) == id) position = i;
  char text[64] = {};
  GetMenuStringA(menu, id, text, sizeof text, MF_BYCOMMAND);
  EXPECT_STREQ(text, "Always on &top");
  EXPECT_TRUE(GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED);
  // The separator takes position 7 and the item follows it; a window menu
  // of fewer than 6 items gets both appended instead.
  const int others = GetMenuItemCount(menu) - 2;
  if (others >= 6) {
    EXPECT_EQ(position, 8);
  } else {
    EXPECT_EQ(position, GetMenuItemCount(menu) - 1);
  }
  EXPECT_TRUE(GetMenuState(menu, static_cast<UINT>(position - 1), MF_BYPOSITION) & MF_SEPARATOR);
  RecordProperty("window menu items besides ours", others);

  // The item switches the state, both ways.
  SendMessageA(window, WM_SYSCOMMAND, id, 0);
  EXPECT_FALSE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_FALSE(GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED);
  SendMessageA(window, WM_SYSCOMMAND, id, 0);
  EXPECT_TRUE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  delete form;
  test::PumpMessages();
}

}  // namespace
}  // namespace plx
