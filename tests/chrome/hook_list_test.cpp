// The hook list on real windows: the order in which hook components and the
// form's own procedure see a message, with two and three hooks, with a
// foreign subclass installed before and after ours, after the window is
// re-created, and after the hooks are removed in every order.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "chrome/ChromeMessages.h"
#include "chrome/HookList.h"
#include "chrome/NativeHooks.h"
#include "framework/Application.h"
#include "framework/Controls.h"
#include "framework/Exception.h"
#include "tests/chrome/ChromeTestSupport.h"

namespace plx {
namespace {

using test::Joined;
using test::kProbe;
using test::TForeignSubclass;
using test::TMessageRecorder;
using test::TRecordingForm;
using test::TRecordingHook;
using Table = std::vector<std::string>;

struct HookListTest : ::testing::Test {
  void SetUp() override {
    form = new TRecordingForm(recorder);
    window = form->Handle();
    original_procedure = GetWindowLongPtrA(window, GWLP_WNDPROC);
  }
  void TearDown() override {
    delete form;
    test::PumpMessages();
    EXPECT_EQ(TacHookList::Instance(), nullptr) << "the list goes with the last hook";
  }

  // Sends the probe and answers who saw it, in order.
  Table Probe() {
    recorder.Clear();
    SendMessageA(form->Handle(), kProbe, 0, 0);
    return recorder.seen;
  }
  TRecordingHook* Hook(const std::string& name) { return new TRecordingHook(form, name, recorder); }

  TMessageRecorder recorder;
  TRecordingForm* form = nullptr;
  HWND window = nullptr;
  LONG_PTR original_procedure = 0;
};

TEST_F(HookListTest, TwoHooksSeeTheMessageOutsideTheFormNewestOutermost) {
  Hook("A");
  Hook("B");
  EXPECT_EQ(Probe(), (Table{"B before", "A before", "form", "A after", "B after"}));
  EXPECT_EQ(SendMessageA(window, kProbe, 0, 0), 42) << "the form's answer comes back through the hooks";
}

// The whole order on one window, outermost first: native hooks, the
// framework's procedure, its WindowProc hook chain, the virtual WndProc.
TEST_F(HookListTest, NativeHooksSitOutsideTheFrameworksWindowProcChain) {
  const THookToken slot = form->AddWindowProcHook([this](TMessage& message, const TWndMethod& next) {
    if (message.Msg == kProbe) recorder.Add("slot before");
    next(message);
    if (message.Msg == kProbe) recorder.Add("slot after");
  });
  Hook("A");
  Hook("B");
  EXPECT_EQ(Probe(), (Table{"B before", "A before", "slot before", "form", "slot after", "A after", "B after"}));
  form->RemoveWindowProcHook(slot);
  EXPECT_EQ(Probe(), (Table{"B before", "A before", "form", "A after", "B after"}));
}

TEST_F(HookListTest, ThreeHooksNestInTheOrderTheyWereAdded) {
  Hook("A");
  Hook("B");
  Hook("C");
  EXPECT_EQ(Probe(), (Table{"C before", "B before", "A before", "form", "A after", "B after", "C after"}));
}

TEST_F(HookListTest, AHandledMessageStopsInsideButItsOwnAfterStillRuns) {
  Hook("A");
  Hook("B")->handle_probe = true;
  Hook("C");
  EXPECT_EQ(Probe(), (Table{"C before", "B before", "B after", "C after"}));
  EXPECT_EQ(SendMessageA(window, kProbe, 0, 0), 7);
}

TEST_F(HookListTest, ForeignSubclassInstalledBeforeOursStaysInside) {
  TForeignSubclass foreign(window, recorder);
  Hook("A");
  Hook("B");
  EXPECT_EQ(Probe(), (Table{"B before", "A before", "foreign before", "form", "foreign after", "A after", "B after"}));
}

TEST_F(HookListTest, ForeignSubclassBeforeOursGetsTheSlotBackWhenOursGo) {
  TForeignSubclass foreign(window, recorder);
  auto* a = Hook("A");
  auto* b = Hook("B");
  delete a;
  EXPECT_EQ(Probe(), (Table{"B before", "foreign before", "form", "foreign after", "B after"}));
  delete b;
  EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(TForeignSubclass::Entry()));
  EXPECT_EQ(Probe(), (Table{"foreign before", "form", "foreign after"}));
}

TEST_F(HookListTest, ForeignSubclassInstalledAfterOursIsNeverCutOut) {
  auto* a = Hook("A");
  auto* b = Hook("B");
  auto foreign = std::make_unique<TForeignSubclass>(window, recorder);
  EXPECT_EQ(Probe(), (Table{"foreign before", "B before", "A before", "form", "A after", "B after", "foreign after"}));

  // A hook added now joins ours, under the foreign one.
  auto* c = Hook("C");
  EXPECT_EQ(Probe(), (Table{"foreign before", "C before", "B before", "A before", "form", "A after", "B after",
                            "C after", "foreign after"}));

  // All of ours go: the foreign subclass keeps the slot and still reaches the form.
  delete b;
  delete a;
  delete c;
  EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(TForeignSubclass::Entry()));
  EXPECT_EQ(Probe(), (Table{"foreign before", "form", "foreign after"}));

  // Once it gives the slot back, the window gets its own procedure again.
  foreign->Remove();
  EXPECT_EQ(Probe(), (Table{"form"}));
  EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), original_procedure);
}

TEST_F(HookListTest, WithoutAForeignSubclassTheLastHookRestoresTheWindowsProcedure) {
  auto* a = Hook("A");
  EXPECT_NE(GetWindowLongPtrA(window, GWLP_WNDPROC), original_procedure);
  delete a;
  EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), original_procedure);
  EXPECT_EQ(Probe(), (Table{"form"}));
}

TEST_F(HookListTest, RemovingHooksInEveryOrderKeepsTheRestChained) {
  std::array<int, 3> order{0, 1, 2};
  const char* const names[] = {"A", "B", "C"};
  do {
    SCOPED_TRACE(std::string("removal order ") + names[order[0]] + names[order[1]] + names[order[2]]);
    std::vector<TRecordingHook*> hooks;
    for (const char* name : names) hooks.push_back(Hook(name));
    std::vector<std::string> alive(std::begin(names), std::end(names));
    for (int index : order) {
      delete hooks[static_cast<std::size_t>(index)];
      alive.erase(std::find(alive.begin(), alive.end(), names[index]));
      Table expected;
      for (auto it = alive.rbegin(); it != alive.rend(); ++it) expected.push_back(*it + " before");
      expected.push_back("form");
      for (const auto& name : alive) expected.push_back(name + " after");
      EXPECT_EQ(Probe(), expected) << Joined(Probe());
    }
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), original_procedure);
    EXPECT_EQ(TacHookList::Instance(), nullptr);
  } while (std::next_permutation(order.begin(), order.end()));
}

TEST_F(HookListTest, RecreatedWindowKeepsBothHooksInOrderEachToldOnce) {
  auto* a = Hook("A");
  auto* b = Hook("B");
  const HWND old_window = window;
  form->RecreateWnd();
  ASSERT_NE(form->Handle(), old_window);
  // Re-attached as soon as the new window exists, before any message is pumped.
  EXPECT_EQ(a->recreations, 1);
  EXPECT_EQ(b->recreations, 1);
  test::PumpMessages();  // the AC_REHOOK posted at WM_DESTROY finds nothing more to do
  EXPECT_EQ(a->recreations, 1);
  EXPECT_EQ(b->recreations, 1);
  EXPECT_EQ(a->WindowHandle(), form->Handle());
  EXPECT_EQ(Probe(), (Table{"B before", "A before", "form", "A after", "B after"}));

  // And they still come off cleanly in the new window.
  delete a;
  EXPECT_EQ(Probe(), (Table{"B before", "form", "B after"}));
  delete b;
  EXPECT_EQ(Probe(), (Table{"form"}));
  EXPECT_EQ(GetWindowLongPtrA(form->Handle(), GWLP_WNDPROC), original_procedure);
}

TEST_F(HookListTest, RecreationOrderIsListOrder) {
  Hook("A");
  Hook("B");
  Hook("C");
  recorder.Clear();
  form->RecreateWnd();
  test::PumpMessages();
  EXPECT_EQ(recorder.seen, (Table{"A recreate", "B recreate", "C recreate"}));
}

// A window destroyed by other code, not by its control: the innermost
// hook's AC_REHOOK, posted at WM_DESTROY, brings the hooks to a new window.
TEST_F(HookListTest, PostedRehookReattachesAWindowDestroyedBehindTheControlsBack) {
  auto* a = Hook("A");
  auto* b = Hook("B");
  const HWND old_window = window;
  DestroyWindow(old_window);
  ASSERT_FALSE(form->HandleAllocated());
  recorder.Clear();
  test::PumpMessages();
  EXPECT_EQ(recorder.seen, (Table{"A recreate", "B recreate"}));
  ASSERT_TRUE(form->HandleAllocated());
  EXPECT_NE(form->Handle(), old_window);
  EXPECT_EQ(a->WindowHandle(), form->Handle());
  EXPECT_EQ(b->recreations, 1);
  EXPECT_EQ(Probe(), (Table{"B before", "A before", "form", "A after", "B after"}));
}

TEST_F(HookListTest, TopmostChangeReachesEveryHookOutermostFirstThenTheForm) {
  struct TTopmostHook : TRecordingHook {
    using TRecordingHook::TRecordingHook;
    std::string label;
    std::vector<std::string>* changes = nullptr;
    void TopmostChanged(bool topmost) override {
      TRecordingHook::TopmostChanged(topmost);
      changes->push_back(label + (topmost ? " on" : " off"));
    }
  };
  std::vector<std::string> changes;
  auto* a = new TTopmostHook(form, "A", recorder);
  auto* b = new TTopmostHook(form, "B", recorder);
  a->label = "A";
  b->label = "B";
  a->changes = b->changes = &changes;
  a->SetTopmost(true);
  EXPECT_NE(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_EQ(changes, (Table{"B on", "A on"}));
  // Already in that state (whoever set it): nothing is sent.
  b->SetTopmost(true);
  EXPECT_EQ(changes.size(), 2u);
  a->SetTopmost(false);
  EXPECT_EQ(GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_EQ(changes, (Table{"B on", "A on", "B off", "A off"}));
}

TEST_F(HookListTest, OwnerThatIsNotAWindowedControlIsRefused) {
  TComponent plain(nullptr);
  try {
    TRecordingHook hook(&plain, "X", recorder);
    FAIL() << "constructed";
  } catch (const EInvalidOperation& error) {
    EXPECT_EQ(error.Message(), "Owner must be TWinControl or its descendant!");
  }
  EXPECT_EQ(TacHookList::Instance(), nullptr);
  EXPECT_EQ(plain.ComponentCount(), 0);
  // Positive control: a form owner is accepted and makes the list.
  Hook("A");
  ASSERT_NE(TacHookList::Instance(), nullptr);
  EXPECT_TRUE(IsWindow(TacHookList::Instance()->ListWindow()));
}

// A hook whose handler fails: the failure is shown and the message still
// reaches the form.
TEST_F(HookListTest, FailingHookIsReportedAndDoesNotSwallowTheMessage) {
  struct TFailingHook : TacFormHookComponent {
    using TacFormHookComponent::TacFormHookComponent;
    void MessageBefore(TMessage& message, bool&) override {
      if (message.Msg == kProbe) throw Exception("hook failed");
    }
  };
  std::vector<std::string> shown;
  Application().OnShowMessage = [&](const std::string& text, const std::string&) { shown.push_back(text); };
  Hook("A");
  new TFailingHook(form);
  EXPECT_EQ(Probe(), (Table{"A before", "form", "A after"}));
  Application().ProcessMessages();
  Application().OnShowMessage = nullptr;
  EXPECT_EQ(shown, std::vector<std::string>{"hook failed."});
}

TEST_F(HookListTest, HookDestroyedByAnOuterHooksHandlerIsSkipped) {
  struct TKillerHook : TRecordingHook {
    using TRecordingHook::TRecordingHook;
    TRecordingHook* victim = nullptr;
    void MessageBefore(TMessage& message, bool& handled) override {
      TRecordingHook::MessageBefore(message, handled);
      if (message.Msg == kProbe && victim) delete std::exchange(victim, nullptr);
    }
  };
  auto* a = Hook("A");
  auto* killer = new TKillerHook(form, "K", recorder);
  killer->victim = a;
  EXPECT_EQ(Probe(), (Table{"K before", "form", "K after"}));
  EXPECT_EQ(Probe(), (Table{"K before", "form", "K after"}));
}

// The caption watch posts its notice only for a changed caption, and the
// notice arrives after the change has been handled.
TEST(CaptionWatchTest, NoticeFollowsARealChangeOnly) {
  struct TWatcher : TacHFormHookComponentWatchCaption {
    using TacHFormHookComponentWatchCaption::TacHFormHookComponentWatchCaption;
    std::vector<std::string> notices;
    void OwnerCaptionChanged() override {
      char text[64] = {};
      GetWindowTextA(WindowHandle(), text, sizeof text);
      notices.push_back(text);
    }
  };
  TMessageRecorder recorder;
  TRecordingForm form(recorder);
  auto* watcher = new TWatcher(&form);
  ASSERT_TRUE(IsWindow(watcher->UtilityWindow()));
  SetWindowTextA(form.Handle(), "First");
  EXPECT_TRUE(watcher->notices.empty()) << "posted, not sent";
  test::PumpMessages();
  EXPECT_EQ(watcher->notices, std::vector<std::string>{"First"});
  SetWindowTextA(form.Handle(), "First");
  test::PumpMessages();
  EXPECT_EQ(watcher->notices.size(), 1u) << "the same text again is no change";
  SetWindowTextA(form.Handle(), "Second");
  test::PumpMessages();
  EXPECT_EQ(watcher->notices, (std::vector<std::string>{"First", "Second"}));
  EXPECT_EQ(watcher->LastCaption(), L"Second");
}

TEST(HookListLifetimeTest, NoListWithoutHooks) {
  EXPECT_EQ(TacHookList::Instance(), nullptr);
  TMessageRecorder recorder;
  auto form = std::make_unique<TRecordingForm>(recorder);
  auto* hook = new TRecordingHook(form.get(), "A", recorder);
  ASSERT_NE(TacHookList::Instance(), nullptr);
  const HWND list_window = TacHookList::Instance()->ListWindow();
  delete hook;
  EXPECT_EQ(TacHookList::Instance(), nullptr);
  EXPECT_FALSE(IsWindow(list_window));
}

}  // namespace
}  // namespace plx

namespace plx {
namespace {

// Writing a window long: a previous value of 0 is no failure, a window that
// is gone is one, and it names the call and the system's code.
TEST(WindowLongs, RefusalRaisesAndZeroPreviousValueDoesNot) {
  TForm live(nullptr);
  const HWND liveWindow = live.Handle();
  TForm gone(nullptr);
  const HWND goneWindow = gone.Handle();
  gone.DestroyHandle();
  ASSERT_FALSE(IsWindow(goneWindow));
  const struct {
    const char* name;
    HWND window;
    LONG_PTR before;
    bool raises;
  } cases[] = {
      {"live window, nothing stored yet", liveWindow, 0, false},
      {"live window, a value stored", liveWindow, 0x5A5A, false},
      {"window that is gone", goneWindow, 0, true},
  };
  for (const auto& c : cases) {
    if (!c.raises) SetWindowLongPtrA(c.window, GWLP_USERDATA, c.before);
    try {
      EXPECT_EQ(SetWindowLongFor(c.window, GWLP_USERDATA, 0x1234), c.before) << c.name;
      EXPECT_FALSE(c.raises) << c.name;
      EXPECT_EQ(GetWindowLongPtrA(c.window, GWLP_USERDATA), 0x1234) << c.name;
    } catch (const EOSError& error) {
      EXPECT_TRUE(c.raises) << c.name;
      EXPECT_EQ(error.Call(), "SetWindowLongPtr") << c.name;
      EXPECT_EQ(error.ErrorCode(), static_cast<unsigned long>(ERROR_INVALID_WINDOW_HANDLE)) << c.name;
    }
    LONG_PTR previous = -1;
    EXPECT_EQ(TrySetWindowLongFor(c.window, GWLP_USERDATA, 0, &previous), !c.raises) << c.name;
  }
}

// Moving a hooked window in the z-order: a window that is gone refuses,
// and the refusal raises with the call and the system's code. Topmost set
// while the window is gone waits for the next window instead; a live window
// takes both at once.
TEST(WindowZOrder, GoneWindowRefusesAndTopmostWaitsForTheNextWindow) {
  const struct {
    const char* name;
    bool goneFirst;
  } cases[] = {
      {"live window", false},
      {"window that is gone", true},
  };
  for (const auto& c : cases) {
    TForm form(nullptr);
    form.HandleNeeded();
    auto* hook = new TacFormHookComponent(&form);
    ASSERT_EQ(hook->WindowHandle(), form.Handle()) << c.name;
    hook->SetTopmost(true);
    ASSERT_TRUE(hook->GetTopmost()) << c.name;
    if (c.goneFirst) form.DestroyHandle();
    try {
      hook->SetZOrder(HWND_TOP);
      EXPECT_FALSE(c.goneFirst) << c.name;
    } catch (const EOSError& error) {
      EXPECT_TRUE(c.goneFirst) << c.name;
      EXPECT_EQ(error.Call(), "SetWindowPos") << c.name;
      EXPECT_EQ(error.ErrorCode(), static_cast<unsigned long>(ERROR_INVALID_WINDOW_HANDLE)) << c.name;
    }
    hook->SetTopmost(false);
    EXPECT_FALSE(hook->TopmostValue()) << c.name;
    form.HandleNeeded();  // the gone window comes back; the hook moves over
    ASSERT_EQ(hook->WindowHandle(), form.Handle()) << c.name;
    EXPECT_FALSE(GetWindowLongPtrA(form.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) << c.name;
  }
}

}  // namespace
}  // namespace plx
