// A window's life under real window management: the order in which hooks see
// messages, hooks removed in any order, the handle-created and
// handle-destroying moments across RecreateWnd, and destruction while every
// part of the object is still alive.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Forms.h"
#include "framework/StdCtrls.h"

namespace plx {
namespace {

using TLog = std::vector<std::string>;

// Records the messages its own WndProc (the most derived one) sees.
class TLoggingPanel : public TCustomControl {
 public:
  TLoggingPanel(TComponent* owner, TLog& log) : TCustomControl(owner), log_(log) {}
  ~TLoggingPanel() override { log_.push_back("destructor"); }

 protected:
  void WndProc(TMessage& message) override {
    if (message.Msg == WM_DESTROY) log_.push_back("WndProc WM_DESTROY");
    if (message.Msg == WM_NCDESTROY) log_.push_back("WndProc WM_NCDESTROY");
    if (message.Msg == WM_APP) log_.push_back("WndProc");
    TCustomControl::WndProc(message);
  }

 private:
  TLog& log_;  // outlives the panel
};

// A hook that logs its name for WM_APP and WM_DESTROY and passes on.
TWndHook NamedHook(TLog& log, const std::string& name) {
  return [&log, name](TMessage& message, const TWndMethod& next) {
    if (message.Msg == WM_APP) log.push_back(name);
    if (message.Msg == WM_DESTROY) log.push_back(name + " WM_DESTROY");
    next(message);
  };
}

// A native subclass on top of whatever procedure the window has; it logs
// "native" for WM_APP and takes itself away at WM_NCDESTROY.
constexpr char kNativePrevious[] = "LifecycleTestPrevious";
TLog* g_native_log = nullptr;

LRESULT CALLBACK NativeSubclass(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  auto previous = reinterpret_cast<WNDPROC>(GetPropA(window, kNativePrevious));
  if (msg == WM_APP && g_native_log) g_native_log->push_back("native");
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    RemovePropA(window, kNativePrevious);
  }
  return CallWindowProcA(previous, window, msg, wparam, lparam);
}

void InstallNativeSubclass(HWND window) {
  const LONG_PTR previous = SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NativeSubclass));
  SetPropA(window, kNativePrevious, reinterpret_cast<HANDLE>(previous));
}

struct LifecycleFixture : ::testing::Test {
  void SetUp() override {
    g_native_log = &log;
    form = new TForm(nullptr);
    form->SetBounds(10, 10, 300, 200);
    panel = new TLoggingPanel(form, log);
    panel->SetParent(form);
    panel->SetBounds(0, 0, 100, 100);
  }
  void TearDown() override {
    delete form;
    g_native_log = nullptr;
  }
  TLog Send() {
    log.clear();
    SendMessageA(panel->Handle(), WM_APP, 0, 0);
    return log;
  }
  TLog log;
  TForm* form = nullptr;
  TLoggingPanel* panel = nullptr;
};

TEST_F(LifecycleFixture, HooksRemovedInAnyOrderLeaveTheOthersChained) {
  const THookToken a = panel->AddWindowProcHook(NamedHook(log, "A"));
  const THookToken b = panel->AddWindowProcHook(NamedHook(log, "B"));
  const THookToken c = panel->AddWindowProcHook(NamedHook(log, "C"));
  EXPECT_EQ(Send(), (TLog{"C", "B", "A", "WndProc"}));
  panel->RemoveWindowProcHook(b);
  EXPECT_EQ(Send(), (TLog{"C", "A", "WndProc"}));
  panel->RemoveWindowProcHook(a);
  EXPECT_EQ(Send(), (TLog{"C", "WndProc"}));
  panel->RemoveWindowProcHook(c);
  EXPECT_EQ(Send(), (TLog{"WndProc"}));
}

TEST_F(LifecycleFixture, AHookMayRemoveItselfOrAnotherWhileAMessagePasses) {
  THookToken b = 0;
  const THookToken a = panel->AddWindowProcHook(NamedHook(log, "A"));
  b = panel->AddWindowProcHook([&](TMessage& message, const TWndMethod& next) {
    if (message.Msg == WM_APP) {
      log.push_back("B");
      panel->RemoveWindowProcHook(b);
    }
    next(message);
  });
  panel->AddWindowProcHook([&](TMessage& message, const TWndMethod& next) {
    if (message.Msg == WM_APP) {
      log.push_back("C");
      panel->RemoveWindowProcHook(a);  // an older one, before the message reaches it
    }
    next(message);
  });
  EXPECT_EQ(Send(), (TLog{"C", "B", "WndProc"}));
  EXPECT_EQ(Send(), (TLog{"C", "WndProc"}));
}

TEST_F(LifecycleFixture, NativeSubclassesSeeMessagesBeforeTheHookChain) {
  panel->AddWindowProcHook(NamedHook(log, "hook"));
  InstallNativeSubclass(panel->Handle());
  EXPECT_EQ(Send(), (TLog{"native", "hook", "WndProc"}));
  // A hook added after the native subclass still comes after it.
  panel->AddWindowProcHook(NamedHook(log, "later hook"));
  EXPECT_EQ(Send(), (TLog{"native", "later hook", "hook", "WndProc"}));
}

TEST_F(LifecycleFixture, HandleEventsFollowEveryWindowAcrossRecreation) {
  std::vector<std::pair<std::string, bool>> events;  // event, window valid then
  panel->SubscribeHandleEvents([&](THandleEvent event) {
    const bool valid = panel->HandleAllocated() && IsWindow(panel->Handle());
    events.emplace_back(event == THandleEvent::Created ? "created" : "destroying", valid);
  });
  HWND first = panel->Handle();
  form->RecreateWnd();
  HWND second = panel->Handle();
  EXPECT_NE(first, second);
  panel->DestroyHandle();
  const std::vector<std::pair<std::string, bool>> expected = {
      {"created", true}, {"destroying", true}, {"created", true}, {"destroying", true}};
  EXPECT_EQ(events, expected);
}

TEST_F(LifecycleFixture, AttachmentsMadeOnCreatedSurviveRecreation) {
  // A component that keeps a native subclass and a window property on the
  // panel's window, whatever window that is.
  panel->SubscribeHandleEvents([&](THandleEvent event) {
    if (event == THandleEvent::Created) {
      InstallNativeSubclass(panel->Handle());
      SetPropA(panel->Handle(), "Attached", reinterpret_cast<HANDLE>(1));
    } else {
      RemovePropA(panel->Handle(), "Attached");
    }
  });
  panel->AddWindowProcHook(NamedHook(log, "hook"));
  EXPECT_EQ(Send(), (TLog{"native", "hook", "WndProc"}));
  panel->RecreateWnd();
  EXPECT_EQ(Send(), (TLog{"native", "hook", "WndProc"}));
  EXPECT_EQ(GetPropA(panel->Handle(), "Attached"), reinterpret_cast<HANDLE>(1));
}

TEST_F(LifecycleFixture, AWindowDestroyedByOthersAnnouncesItsEnd) {
  int destroying = 0;
  panel->SubscribeHandleEvents([&](THandleEvent event) { destroying += event == THandleEvent::Destroying; });
  DestroyWindow(panel->Handle());
  EXPECT_EQ(destroying, 1);
  EXPECT_FALSE(panel->HandleAllocated());
}

TEST_F(LifecycleFixture, DeletingAControlDestroysItsWindowWhileItIsWhole) {
  panel->AddWindowProcHook(NamedHook(log, "hook"));
  panel->HandleNeeded();
  log.clear();
  delete panel;
  EXPECT_EQ(log, (TLog{"hook WM_DESTROY", "WndProc WM_DESTROY", "WndProc WM_NCDESTROY", "destructor"}));
  EXPECT_EQ(form->ControlCount(), 0);
}

TEST_F(LifecycleFixture, AnOwnerDestroysItsComponentsWindowsWhileTheyAreWhole) {
  form->HandleNeeded();
  log.clear();
  delete form;
  form = nullptr;
  EXPECT_EQ(log, (TLog{"WndProc WM_DESTROY", "WndProc WM_NCDESTROY", "destructor"}));
}

}  // namespace
}  // namespace plx
