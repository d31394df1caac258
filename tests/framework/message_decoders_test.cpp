// Messages as the system packs them, read back through the typed decoders.
#include <gtest/gtest.h>

#include <string>

#include "framework/MessageDecoders.h"

namespace plx {
namespace {

// An LPARAM the way the system builds one for a screen point: two 16-bit
// halves, which a 64-bit LPARAM may carry sign-extended from the top half.
LPARAM Packed(int x, int y) {
  return static_cast<LPARAM>(static_cast<LONG>(MAKELONG(static_cast<WORD>(x), static_cast<WORD>(y))));
}

TEST(MessageDecoders, PointsKeepTheirSignOnEveryMonitor) {
  const struct {
    const char* name;
    int x, y;
  } cases[] = {
      {"origin", 0, 0},
      {"primary monitor", 731, 341},
      {"monitor left of the primary", -1280, 341},
      {"monitor above the primary", 200, -1024},
      {"left and above", -1, -1},
      {"far corner", 32767, 32767},
      {"far negative corner", -32768, -32768},
  };
  for (const auto& c : cases) {
    const LPARAM packed = Packed(c.x, c.y);
    const TMessage mouse{WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, packed, 0};
    EXPECT_EQ(msg::Mouse(mouse).Point.x, c.x) << c.name;
    EXPECT_EQ(msg::Mouse(mouse).Point.y, c.y) << c.name;
    EXPECT_EQ(msg::Mouse(mouse).Keys, static_cast<UINT>(MK_LBUTTON | MK_SHIFT)) << c.name;
    const TMessage ncMouse{WM_NCLBUTTONDOWN, HTCAPTION, packed, 0};
    EXPECT_EQ(msg::NcMouse(ncMouse).ScreenPoint.x, c.x) << c.name;
    EXPECT_EQ(msg::NcMouse(ncMouse).ScreenPoint.y, c.y) << c.name;
    EXPECT_EQ(msg::NcMouse(ncMouse).HitTest, HTCAPTION) << c.name;
    const TMessage hitTest{WM_NCHITTEST, 0, packed, 0};
    EXPECT_EQ(msg::NcHitTestPoint(hitTest).x, c.x) << c.name;
    EXPECT_EQ(msg::NcHitTestPoint(hitTest).y, c.y) << c.name;
    // Packing and unpacking again gives the same point.
    const POINT again = msg::PointOf(msg::PackPoint(POINT{c.x, c.y}));
    EXPECT_EQ(again.x, c.x) << c.name;
    EXPECT_EQ(again.y, c.y) << c.name;
  }
}

TEST(MessageDecoders, PackedWordsAndHandlesReadAsTheSystemMeantThem) {
  HWND someWindow = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234560));
  const struct {
    const char* name;
    TMessage message;
    std::string expected;
    std::string (*read)(const TMessage&);
  } cases[] = {
      {"menu command", {WM_COMMAND, MAKEWPARAM(40001, 0), 0, 0}, "40001 0 null",
       [](const TMessage& m) {
         const auto c = msg::Command(m);
         return std::to_string(c.Id) + " " + std::to_string(c.Notification) + (c.Control ? " window" : " null");
       }},
      {"list notification", {WM_COMMAND, MAKEWPARAM(7, LBN_SELCHANGE), reinterpret_cast<LPARAM>(someWindow), 0},
       "7 1 window",
       [](const TMessage& m) {
         const auto c = msg::Command(m);
         return std::to_string(c.Id) + " " + std::to_string(c.Notification) + (c.Control ? " window" : " null");
       }},
      {"command id only", {WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0, 0}, "2",
       [](const TMessage& m) { return std::to_string(msg::CommandId(m)); }},
      {"system command, low bits masked", {WM_SYSCOMMAND, SC_MOVE | HTCAPTION, Packed(-5, 9), 0}, "61456 61458",
       [](const TMessage& m) {
         return std::to_string(msg::SysCommand(m).Command) + " " + std::to_string(msg::SysCommandId(m));
       }},
      {"cursor over a caption button", {WM_SETCURSOR, 0, MAKELPARAM(5734, WM_MOUSEMOVE), 0}, "5734 512",
       [](const TMessage& m) {
         const auto c = msg::SetCursor(m);
         return std::to_string(c.HitTest) + " " + std::to_string(c.MouseMessage);
       }},
      {"cursor over nothing (HTERROR)", {WM_SETCURSOR, 0, MAKELPARAM(static_cast<WORD>(HTERROR), WM_LBUTTONDOWN), 0},
       "-2 513",
       [](const TMessage& m) {
         const auto c = msg::SetCursor(m);
         return std::to_string(c.HitTest) + " " + std::to_string(c.MouseMessage);
       }},
      {"client size", {WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(1280, 994), 0}, "2 1280 994",
       [](const TMessage& m) {
         const auto s = msg::Size(m);
         return std::to_string(s.Kind) + " " + std::to_string(s.Width) + " " + std::to_string(s.Height);
       }},
      {"activated by click", {WM_ACTIVATE, MAKEWPARAM(WA_CLICKACTIVE, 1), 0, 0}, "1",
       [](const TMessage& m) { return std::to_string(msg::Activating(m)); }},
      {"deactivated while minimised", {WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1), 0, 0}, "0",
       [](const TMessage& m) { return std::to_string(msg::Activating(m)); }},
      {"accessibility, client id sign-extended", {WM_GETOBJECT, 0x21, static_cast<LPARAM>(OBJID_CLIENT), 0},
       "33 -4",
       [](const TMessage& m) {
         const auto o = msg::ObjectRequest(m);
         return std::to_string(o.Flags) + " " + std::to_string(o.ObjectId);
       }},
      {"accessibility, client id zero-extended",
       {WM_GETOBJECT, 0, static_cast<LPARAM>(static_cast<DWORD>(OBJID_CLIENT)), 0}, "0 -4",
       [](const TMessage& m) {
         const auto o = msg::ObjectRequest(m);
         return std::to_string(o.Flags) + " " + std::to_string(o.ObjectId);
       }},
      {"entry to delete", {LB_DELETESTRING, 42, 0, 0}, "42",
       [](const TMessage& m) { return std::to_string(msg::DeletedEntry(m)); }},
      {"redraw turned off", {WM_SETREDRAW, FALSE, 0, 0}, "0",
       [](const TMessage& m) { return std::to_string(msg::RedrawOn(m)); }},
      {"redraw turned on by any non-zero value", {WM_SETREDRAW, 7, 0, 0}, "1",
       [](const TMessage& m) { return std::to_string(msg::RedrawOn(m)); }},
      {"posted index in range", {WM_APP, 2, 0, 0}, "2",
       [](const TMessage& m) { return std::to_string(msg::PostedIndex(m, 3).value_or(-1)); }},
      {"posted index at the count", {WM_APP, 3, 0, 0}, "-1",
       [](const TMessage& m) { return std::to_string(msg::PostedIndex(m, 3).value_or(-1)); }},
      {"posted index that would be negative as an int", {WM_APP, static_cast<WPARAM>(-1), 0, 0}, "-1",
       [](const TMessage& m) { return std::to_string(msg::PostedIndex(m, 3).value_or(-1)); }},
  };
  for (const auto& c : cases) EXPECT_EQ(c.read(c.message), c.expected) << c.name;
}

TEST(MessageDecoders, ListAnswerTellsTheItemAndWhetherThePointWasOutside) {
  const struct {
    const char* name;
    LRESULT answer;
    int index;
    bool outside;
  } cases[] = {
      {"on item 3", MAKELRESULT(3, 0), 3, false},
      {"below the last item", MAKELRESULT(11, 1), 11, true},
      {"first item", 0, 0, false},
  };
  for (const auto& c : cases) {
    const auto item = msg::ItemFromPoint(c.answer);
    EXPECT_EQ(item.Index, c.index) << c.name;
    EXPECT_EQ(item.Outside, c.outside) << c.name;
  }
}

TEST(MessageDecoders, PointersAndHandlesComeBackAsTheSameObjects) {
  WINDOWPOS position{};
  MINMAXINFO limits{};
  DRAWITEMSTRUCT draw{};
  MEASUREITEMSTRUCT measure{};
  NMHDR header{};
  RECT lone{};
  NCCALCSIZE_PARAMS calc{};
  HDC dc = reinterpret_cast<HDC>(static_cast<INT_PTR>(0x2010));
  HWND control = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x3020));
  EXPECT_EQ(&msg::WindowPos({WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&position), 0}), &position);
  EXPECT_EQ(&msg::MinMaxInfo({WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits), 0}), &limits);
  EXPECT_EQ(&msg::DrawItem({WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw), 0}), &draw);
  EXPECT_EQ(&msg::MeasureItem({WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure), 0}), &measure);
  EXPECT_EQ(msg::NotifyHeader({WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header), 0}), &header);
  EXPECT_EQ(msg::NotifyHeader({WM_NOTIFY, 0, 0, 0}), nullptr);
  const auto color = msg::ControlColor({WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control), 0});
  EXPECT_EQ(color.Dc, dc);
  EXPECT_EQ(color.Control, control);
  EXPECT_EQ(msg::KeyToItemList({WM_VKEYTOITEM, VK_DOWN, reinterpret_cast<LPARAM>(control), 0}), control);
  EXPECT_EQ(msg::EraseDC({WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0, 0}), dc);
  EXPECT_EQ(msg::PaintDC({WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0}), dc);
  EXPECT_EQ(msg::PaintDC({WM_PAINT, 0, 0, 0}), nullptr);
  // Non-client size: the first rectangle of the block, or the lone one.
  const auto full = msg::NcCalcSize({WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&calc), 0});
  EXPECT_TRUE(full.CalcValidRects);
  EXPECT_EQ(full.ProposedRect, &calc.rgrc[0]);
  const auto plain = msg::NcCalcSize({WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&lone), 0});
  EXPECT_FALSE(plain.CalcValidRects);
  EXPECT_EQ(plain.ProposedRect, &lone);
}

}  // namespace
}  // namespace plx
