// An acceptor whose window is re-created while a drop target, a native
// subclass and a hook on its message chain are attached: the hooks follow
// the new window, the drop target keeps its rule of registering one window
// only, and a real drag (OLE's own DoDragDrop) lands once it is bound again.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dragdrop/TextTarget.h"
#include "framework/Com.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "tests/dragdrop/DropTargetTestSupport.h"
#include "tests/dragdrop/TestDataObject.h"
#include "tests/support/DropWhenAnswered.h"

namespace plx {
namespace {

using namespace std::string_literals;

constexpr char kPrevious[] = "AcceptorTestPrevious";
int g_native_seen = 0;

LRESULT CALLBACK CountingSubclass(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  auto previous = reinterpret_cast<WNDPROC>(GetPropA(window, kPrevious));
  if (msg == WM_APP) ++g_native_seen;
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    RemovePropA(window, kPrevious);
  }
  return CallWindowProcA(previous, window, msg, wparam, lparam);
}

class AcceptorRecreate : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
  static void TearDownTestSuite() { OleUninitialize(); }

  void SetUp() override {
    form_ = test::MakeAcceptorForm(list_);
    // The native subclass is attached to whatever window the list has.
    list_->SubscribeHandleEvents([this](THandleEvent event) {
      if (event != THandleEvent::Created) return;
      const LONG_PTR previous =
          SetWindowLongPtrA(list_->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingSubclass));
      SetPropA(list_->Handle(), kPrevious, reinterpret_cast<HANDLE>(previous));
    });
    list_->AddWindowProcHook([this](TMessage& message, const TWndMethod& next) {
      if (message.Msg == WM_APP) ++hook_seen_;
      next(message);
    });
    form_->Show();
    target_ = new TQXTextTarget(form_);
    target_->setAcceptor(list_);
    target_->OnDrop = [this](TObject*, TWinControl*, const std::string& text, int, int) { drops_.push_back(text); };
    g_native_seen = 0;
  }
  void TearDown() override {
    delete form_;
    EXPECT_EQ(test::TTestDataObject::LiveMedia(), 0);
  }

  // A real drag of text from this thread onto the list's centre.
  DWORD DragOntoTheList(const std::string& text) {
    RECT client{};
    GetClientRect(list_->Handle(), &client);
    POINT centre{client.right / 2, client.bottom / 2};
    ClientToScreen(list_->Handle(), &centre);
    SetCursorPos(centre.x, centre.y);
    for (int i = 0; i < 500; ++i) {
      POINT at{};
      if (GetCursorPos(&at) && at.x == centre.x && at.y == centre.y) break;
      Sleep(10);
    }
    EXPECT_EQ(WindowFromPoint(centre), list_->Handle());
    auto data = test::MakeDataObject({{CF_TEXT, text}});
    TComPtr<test::TDropWhenAnswered> source(new test::TDropWhenAnswered(centre));
    DWORD effect = DROPEFFECT_NONE;
    DoDragDrop(data.Get(), source.Get(), DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
    return effect;
  }

  TForm* form_ = nullptr;
  TListBox* list_ = nullptr;
  TQXTextTarget* target_ = nullptr;
  int hook_seen_ = 0;
  std::vector<std::string> drops_;
};

TEST_F(AcceptorRecreate, HooksFollowTheNewWindowAndTheTargetRegistersOnlyWhenBoundAgain) {
  // Before: a real drag lands, and both hooks see messages.
  EXPECT_EQ(DragOntoTheList("before\0"s), static_cast<DWORD>(DROPEFFECT_MOVE));
  ASSERT_EQ(drops_, std::vector<std::string>{"before\0"s});  // the block as dropped, zero included
  SendMessageA(list_->Handle(), WM_APP, 0, 0);
  EXPECT_EQ(g_native_seen, 1);
  EXPECT_EQ(hook_seen_, 1);

  const HWND old_window = list_->Handle();
  list_->RecreateWnd();
  ASSERT_NE(list_->Handle(), old_window);

  // The hooks are on the new window.
  SendMessageA(list_->Handle(), WM_APP, 0, 0);
  EXPECT_EQ(g_native_seen, 2);
  EXPECT_EQ(hook_seen_, 2);

  // The target registered the old window only: a drag finds no target.
  EXPECT_FALSE(target_->Registered());
  EXPECT_EQ(DragOntoTheList("unregistered\0"s), static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(drops_.size(), 1u);

  // Bound again, it registers the new window and drops land.
  target_->setAcceptor(nullptr);
  target_->setAcceptor(list_);
  EXPECT_TRUE(target_->Registered());
  EXPECT_EQ(DragOntoTheList("after\0"s), static_cast<DWORD>(DROPEFFECT_MOVE));
  EXPECT_EQ(drops_, (std::vector<std::string>{"before\0"s, "after\0"s}));
}

}  // namespace
}  // namespace plx
