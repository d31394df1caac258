// Custom-drawn controls: double-buffered painting and the mouse entering and
// leaving, with a real window on the screen and real mouse input.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "framework/Application.h"
#include "framework/Forms.h"
#include "framework/GdiHandles.h"
#include "framework/StdCtrls.h"
#include "tests/support/WindowTestSupport.h"

namespace plx {
namespace {

using test::PumpUntil;
using test::ScreenPixel;

// Paints itself in one colour and records what it painted on and when the
// mouse came and went.
class TProbeControl : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  std::vector<DWORD> painted_on;  // the object type of each paint's DC
  std::vector<std::string> mouse;

 protected:
  void Paint() override {
    painted_on.push_back(GetObjectType(Canvas().Handle()));
    Canvas().Brush().SetColor(static_cast<TColor>(RGB(200, 40, 30)));
    Canvas().FillRect(ClientRect());
  }
  void MouseEnter() override { mouse.push_back("enter"); }
  void MouseLeave() override { mouse.push_back("leave"); }
};

void MoveMouseTo(int x, int y) {
  SetCursorPos(x, y);
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof input);
}

struct CustomControlFixture : ::testing::Test {
  void SetUp() override {
    form = new TForm(nullptr);
    form->SetBounds(200, 200, 300, 200);
    probe = new TProbeControl(form);
    probe->SetParent(form);
    probe->SetBounds(20, 20, 100, 60);
    form->Show();
  }
  void TearDown() override { delete form; }
  TForm* form = nullptr;
  TProbeControl* probe = nullptr;
};

TEST_F(CustomControlFixture, PaintsThroughAMemoryBitmapUnlessTurnedOff) {
  probe->Repaint();
  ASSERT_FALSE(probe->painted_on.empty());
  EXPECT_EQ(probe->painted_on.back(), static_cast<DWORD>(OBJ_MEMDC));
  EXPECT_TRUE(PumpUntil([&] { return ScreenPixel(probe->Handle(), 50, 30) == RGB(200, 40, 30); }))
      << "the buffer reaches the screen";

  // Positive control: without the buffer, Paint gets the window's own DC.
  probe->SetDoubleBuffered(false);
  probe->Repaint();
  EXPECT_EQ(probe->painted_on.back(), static_cast<DWORD>(OBJ_DC));
}

TEST_F(CustomControlFixture, MouseEnterAndLeaveBracketTheVisit) {
  const TPoint outside = form->ClientToScreen({250, 150});
  const TPoint inside = probe->ClientToScreen({50, 30});
  MoveMouseTo(outside.X, outside.Y);
  ASSERT_TRUE(PumpUntil([&] {
    POINT at{};
    return GetCursorPos(&at) && at.x == outside.X && at.y == outside.Y;
  }));
  Application().ProcessMessages();
  EXPECT_TRUE(probe->mouse.empty());
  EXPECT_FALSE(probe->MouseInControl());

  MoveMouseTo(inside.X, inside.Y);
  EXPECT_TRUE(PumpUntil([&] { return probe->MouseInControl(); }));
  MoveMouseTo(inside.X + 5, inside.Y + 5);
  MoveMouseTo(outside.X, outside.Y);
  EXPECT_TRUE(PumpUntil([&] { return !probe->MouseInControl(); }));
  EXPECT_EQ(probe->mouse, (std::vector<std::string>{"enter", "leave"}));
}

}  // namespace
}  // namespace plx
