// Windowed controls under a real window manager: the WindowProc slot,
// reflected notifications, re-creation and foreign subclassing.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/Forms.h"
#include "framework/GdiHandles.h"
#include "framework/StdCtrls.h"
#include "framework/WindowPos.h"

namespace plx {
namespace {

// A control that records the reflected notifications it receives.
class TRecordingControl : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  std::vector<UINT> reflected;

 protected:
  void WndProc(TMessage& message) override {
    if (message.Msg >= CN_BASE && message.Msg < CN_BASE + 0x400) {
      reflected.push_back(message.Msg);
      if (message.Msg == CN_MEASUREITEM) reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam)->itemHeight = 33;
      message.Result = 1234;
      return;
    }
    TCustomControl::WndProc(message);
  }
};

struct FormFixture : ::testing::Test {
  void SetUp() override {
    form = new TForm(nullptr);
    form->SetBounds(10, 10, 300, 200);
  }
  void TearDown() override { delete form; }
  TForm* form = nullptr;
};

TEST_F(FormFixture, WindowProcHookSeesEveryMessageAndCanPassItOn) {
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  std::vector<UINT> seen;
  const THookToken token = panel->AddWindowProcHook([&](TMessage& m, const TWndMethod& next) {
    seen.push_back(m.Msg);
    if (m.Msg == WM_APP + 7) {
      m.Result = 99;
      return;
    }
    next(m);
  });
  HWND window = panel->Handle();
  EXPECT_EQ(SendMessageA(window, WM_APP + 7, 0, 0), 99);
  // Passed on: the native default still answers.
  SetWindowTextA(window, "abc");
  char text[8] = {};
  GetWindowTextA(window, text, sizeof text);
  EXPECT_STREQ(text, "abc");
  EXPECT_NE(std::find(seen.begin(), seen.end(), static_cast<UINT>(WM_SETTEXT)), seen.end());
  panel->RemoveWindowProcHook(token);
  EXPECT_EQ(SendMessageA(window, WM_APP + 7, 0, 0), 0);
}

TEST_F(FormFixture, ParentReflectsChildNotificationsToTheChildsObject) {
  auto* child = new TRecordingControl(form);
  child->SetParent(form);
  HWND parent = form->Handle();
  HWND window = child->Handle();
  const auto id = static_cast<UINT>(GetDlgCtrlID(window));

  EXPECT_EQ(SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(window)), 1234);
  DRAWITEMSTRUCT draw{};
  draw.CtlType = ODT_LISTBOX;
  draw.hwndItem = window;
  EXPECT_EQ(SendMessageA(parent, WM_DRAWITEM, id, reinterpret_cast<LPARAM>(&draw)), 1234);
  MEASUREITEMSTRUCT measure{};
  measure.CtlType = ODT_LISTBOX;
  measure.CtlID = id;
  SendMessageA(parent, WM_MEASUREITEM, id, reinterpret_cast<LPARAM>(&measure));
  EXPECT_EQ(measure.itemHeight, 33u);
  NMHDR notify{window, id, 0};
  EXPECT_EQ(SendMessageA(parent, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&notify)), 1234);
  {
    TWindowDC dc(window);
    for (UINT msg : {WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORBTN, WM_CTLCOLORSTATIC, WM_CTLCOLORSCROLLBAR})
      SendMessageA(parent, msg, reinterpret_cast<WPARAM>(dc.Get()), reinterpret_cast<LPARAM>(window));
  }
  EXPECT_EQ(SendMessageA(parent, WM_VKEYTOITEM, MAKEWPARAM(VK_DOWN, 0), reinterpret_cast<LPARAM>(window)), 1234);
  EXPECT_EQ(SendMessageA(parent, WM_CHARTOITEM, MAKEWPARAM('a', 0), reinterpret_cast<LPARAM>(window)), 1234);

  const std::vector<UINT> expected = {CN_COMMAND,         CN_DRAWITEM,       CN_MEASUREITEM, CN_NOTIFY,
                                      CN_CTLCOLOREDIT,    CN_CTLCOLORLISTBOX, CN_CTLCOLORBTN, CN_CTLCOLORSTATIC,
                                      CN_CTLCOLORSCROLLBAR, CN_VKEYTOITEM,     CN_CHARTOITEM};
  EXPECT_EQ(child->reflected, expected);
}

TEST_F(FormFixture, RecreateWndGivesANewWindowAndKeepsTheObjectsState) {
  auto* memo = new TMemo(form);
  memo->SetParent(form);
  memo->SetBounds(5, 6, 120, 80);
  memo->SetText("kept across re-creation");
  auto* list = new TListBox(form);
  list->SetParent(form);
  list->AddItem("one");
  list->AddItem("two");
  list->SetItemIndex(1);
  HWND oldMemo = memo->Handle();
  HWND oldList = list->Handle();

  form->RecreateWnd();

  EXPECT_FALSE(IsWindow(oldMemo));
  EXPECT_FALSE(IsWindow(oldList));
  ASSERT_TRUE(memo->HandleAllocated());
  EXPECT_NE(memo->Handle(), oldMemo);
  EXPECT_EQ(memo->Text(), "kept across re-creation");
  EXPECT_EQ(GetParent(memo->Handle()), form->Handle());
  RECT r{};
  GetWindowRect(memo->Handle(), &r);
  MapWindowPoints(HWND_DESKTOP, form->Handle(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 5);
  EXPECT_EQ(r.right - r.left, 120);
  EXPECT_EQ(SendMessageA(list->Handle(), LB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(TWinControl::FromHandle(memo->Handle()), memo);
}

// Another piece of code subclasses the native window on top of ours.
LRESULT CALLBACK ForeignProc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  auto previous = reinterpret_cast<WNDPROC>(GetPropA(window, "ForeignPrevious"));
  if (msg == WM_APP + 1) return 555;
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    RemovePropA(window, "ForeignPrevious");
  }
  return CallWindowProcA(previous, window, msg, wparam, lparam);
}

TEST_F(FormFixture, FrameworkKeepsWorkingUnderAForeignSubclass) {
  auto* panel = new TRecordingControl(form);
  panel->SetParent(form);
  HWND window = panel->Handle();
  auto previous = SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ForeignProc));
  SetPropA(window, "ForeignPrevious", reinterpret_cast<HANDLE>(previous));

  EXPECT_EQ(SendMessageA(window, WM_APP + 1, 0, 0), 555);  // the subclass answers first
  const auto id = static_cast<UINT>(GetDlgCtrlID(window));
  EXPECT_EQ(SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(id, 0), reinterpret_cast<LPARAM>(window)), 1234);
  SetWindowTextA(window, "through both");
  char text[16] = {};
  GetWindowTextA(window, text, sizeof text);
  EXPECT_STREQ(text, "through both");

  delete panel;  // destroying under the subclass must unbind cleanly
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(form->ControlCount(), 0);
}

// A subclass that keeps WM_NCDESTROY to itself: the control is not told
// that its window went, so its handle names a window that is gone.
LRESULT CALLBACK SilentDestroyProc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  auto previous = reinterpret_cast<WNDPROC>(GetPropA(window, "SilentPrevious"));
  if (msg == WM_NCDESTROY) {
    RemovePropA(window, "SilentPrevious");
    return 0;
  }
  return CallWindowProcA(previous, window, msg, wparam, lparam);
}

// Moving a window: the system's refusal (a window that is gone) raises and
// names the call and its code, and the control's stored bounds stay the
// ones its window last had; a live window moves and the bounds follow.
TEST_F(FormFixture, RefusedMoveRaisesAndKeepsTheStoredBounds) {
  TForm other(nullptr);
  const HWND goneWindow = other.Handle();
  other.DestroyHandle();
  ASSERT_FALSE(IsWindow(goneWindow));
  auto* live = new TRecordingControl(form);
  live->SetParent(form);
  live->SetBounds(5, 6, 50, 40);
  auto* gone = new TRecordingControl(form);
  gone->SetParent(form);
  gone->SetBounds(5, 6, 50, 40);
  const HWND goneControlWindow = gone->Handle();
  SetPropA(goneControlWindow, "SilentPrevious",
           reinterpret_cast<HANDLE>(SetWindowLongPtrA(goneControlWindow, GWLP_WNDPROC,
                                                      reinterpret_cast<LONG_PTR>(SilentDestroyProc))));
  DestroyWindow(goneControlWindow);
  ASSERT_FALSE(IsWindow(goneControlWindow));
  ASSERT_EQ(gone->Handle(), goneControlWindow);  // it was not told

  const struct {
    const char* name;
    HWND window;
    TWinControl* control;
    bool raises;
  } cases[] = {
      {"live window", live->Handle(), live, false},
      {"window that is gone", goneWindow, nullptr, true},
      {"control whose window went untold", goneControlWindow, gone, true},
  };
  for (const auto& c : cases) {
    try {
      if (c.control)
        c.control->SetBounds(20, 30, 70, 60);
      else
        SetWindowPosFor(c.window, nullptr, 20, 30, 70, 60, SWP_NOZORDER | SWP_NOACTIVATE);
      EXPECT_FALSE(c.raises) << c.name;
      RECT r{};
      GetWindowRect(c.window, &r);
      EXPECT_EQ(r.right - r.left, 70) << c.name;
      EXPECT_EQ(r.bottom - r.top, 60) << c.name;
    } catch (const EOSError& error) {
      EXPECT_TRUE(c.raises) << c.name;
      EXPECT_EQ(error.Call(), "SetWindowPos") << c.name;
      EXPECT_EQ(error.ErrorCode(), static_cast<unsigned long>(ERROR_INVALID_WINDOW_HANDLE)) << c.name;
    }
    if (c.control) {
      const int expected[] = {c.raises ? 5 : 20, c.raises ? 6 : 30, c.raises ? 50 : 70, c.raises ? 40 : 60};
      const int stored[] = {c.control->Left(), c.control->Top(), c.control->Width(), c.control->Height()};
      EXPECT_TRUE(std::equal(std::begin(stored), std::end(stored), std::begin(expected))) << c.name;
    }
    EXPECT_EQ(TrySetWindowPosFor(c.window, nullptr, 0, 0, 10, 10, SWP_NOZORDER | SWP_NOACTIVATE), !c.raises)
        << c.name;
  }
}

TEST_F(FormFixture, ClientSizeAndBoundsFollowTheBorderStyle) {
  form->SetBorderStyle(TFormBorderStyle::bsDialog);
  form->SetBounds(731, 341, 100, 100);
  form->SetClientWidth(243);
  form->SetClientHeight(520);
  form->HandleNeeded();
  RECT client{};
  GetClientRect(form->Handle(), &client);
  EXPECT_EQ(client.right, 243);
  EXPECT_EQ(client.bottom, 520);
  RECT window{};
  GetWindowRect(form->Handle(), &window);
  EXPECT_EQ(window.left, 731);
  EXPECT_EQ(window.top, 341);
  EXPECT_TRUE(GetWindowLongPtrA(form->Handle(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
}

TEST_F(FormFixture, ClientSizeIsKeptWhenTheFrameChanges) {
  form->SetBorderStyle(TFormBorderStyle::bsDialog);
  form->SetClientWidth(243);
  form->SetClientHeight(520);
  HWND window = form->Handle();
  RECT before{};
  GetWindowRect(window, &before);
  // A component takes the caption away and paints the frame itself.
  SetWindowLongPtrA(window, GWL_STYLE, GetWindowLongPtrA(window, GWL_STYLE) & ~WS_CAPTION);
  SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 243);
  EXPECT_EQ(client.bottom, 520);
  RECT after{};
  GetWindowRect(window, &after);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
  EXPECT_LT(after.bottom - after.top, before.bottom - before.top) << "the caption's rows are gone";

  // Positive control: sizing by code sets the size to keep from then on.
  form->SetBounds(form->Left(), form->Top(), form->Width() + 10, form->Height());
  SetWindowLongPtrA(window, GWL_STYLE, GetWindowLongPtrA(window, GWL_STYLE) | WS_CAPTION);
  SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 253);
  EXPECT_EQ(client.bottom, 520);
}

TEST_F(FormFixture, ChildFollowsParentFontUntilItsOwnIsSet) {
  auto* follower = new TPanel(form);
  auto* own = new TPanel(form);
  follower->SetParent(form);
  own->SetParent(form);
  own->Font().SetName("Tahoma");
  form->Font().SetName("Symbol");
  EXPECT_EQ(follower->Font().Name(), "Symbol");
  EXPECT_TRUE(follower->ParentFont());
  EXPECT_EQ(own->Font().Name(), "Tahoma");
  EXPECT_FALSE(own->ParentFont());
}

}  // namespace
}  // namespace plx
