// What happens when an exception escapes a window procedure: the report is
// shown once, after the failing message has returned, one box at a time; a
// failed paint does not come back in a loop; the program keeps answering.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "tests/support/WindowTestSupport.h"

namespace plx {
namespace {

// Fails while painting, either inside Paint() (after BeginPaint) or in its
// window procedure before any painting has started.
class TFailingPainter : public TCustomControl {
 public:
  enum class TFailure { None, InPaint, BeforePaint };
  using TCustomControl::TCustomControl;

  TFailure failure = TFailure::None;
  std::atomic<int> paints{0};

 protected:
  void WndProc(TMessage& message) override {
    if (message.Msg != WM_PAINT) return TCustomControl::WndProc(message);
    ++paints;
    if (failure == TFailure::BeforePaint) throw Exception("Cannot paint the probe");
    TCustomControl::WndProc(message);
  }
  void Paint() override {
    if (failure == TFailure::InPaint) throw Exception("Cannot paint the probe");
    TCustomControl::Paint();
  }
};

// Outermost on the probe's window, so it knows when a WM_PAINT is being
// handled anywhere below it, the framework's error boundary included.
WNDPROC g_probeProcedure = nullptr;
bool g_painting = false;
LRESULT CALLBACK PaintWatchingProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_PAINT) return CallWindowProcA(g_probeProcedure, window, msg, wParam, lParam);
  const bool outer = std::exchange(g_painting, true);
  const LRESULT result = CallWindowProcA(g_probeProcedure, window, msg, wParam, lParam);
  g_painting = outer;
  return result;
}

struct ExceptionReportFixture : ::testing::Test {
  void SetUp() override {
    title = Application().Title();
    Application().SetTitle("Failing paint report");
    form = new TForm(nullptr);
    form->SetBounds(150, 150, 240, 160);
    probe = new TFailingPainter(form);
    probe->SetParent(form);
    probe->SetBounds(10, 10, 120, 80);
    g_probeProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(probe->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PaintWatchingProcedure)));
    form->Show();
    UpdateWindow(form->Handle());
    Application().ProcessMessages();
  }
  void TearDown() override {
    Application().ShowPendingExceptions();
    Application().OnShowMessage = nullptr;
    SetWindowLongPtrA(probe->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_probeProcedure));
    delete form;
    Application().SetTitle(title);
  }
  // Lets the message loop run over a fixed number of rounds, so that a
  // repaint loop, if there were one, would show in the count.
  static void Pump() {
    for (int round = 0; round < 40; ++round) {
      Application().ProcessMessages();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }

  std::string title;
  TForm* form = nullptr;
  TFailingPainter* probe = nullptr;
};

TEST_F(ExceptionReportFixture, FailingPaintIsReportedOnceAfterItReturnsAndIsNotRepeated) {
  const struct {
    const char* name;
    TFailingPainter::TFailure failure;
    std::vector<std::string> shown;
  } cases[] = {
      // Positive control: the same paint without a failure reports nothing
      // and is painted once too, so the counts below can tell.
      {"paints", TFailingPainter::TFailure::None, {}},
      {"fails inside Paint", TFailingPainter::TFailure::InPaint, {"Cannot paint the probe."}},
      {"fails before painting", TFailingPainter::TFailure::BeforePaint, {"Cannot paint the probe."}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> shown;
    bool shownWhilePainting = false;
    Application().OnShowMessage = [&](const std::string& text, const std::string& caption) {
      shown.push_back(text);
      shownWhilePainting = shownWhilePainting || g_painting;
      EXPECT_EQ(caption, "Failing paint report") << c.name;
    };
    probe->failure = c.failure;
    probe->paints = 0;
    InvalidateRect(probe->Handle(), nullptr, FALSE);
    Pump();
    EXPECT_EQ(probe->paints.load(), 1) << c.name;
    EXPECT_EQ(shown, c.shown) << c.name;
    EXPECT_FALSE(shownWhilePainting) << c.name;
    // Still answering, and the same failure is reported again the next time.
    DWORD_PTR answer = 0;
    EXPECT_NE(SendMessageTimeoutA(probe->Handle(), WM_GETDLGCODE, 0, 0, SMTO_NORMAL, 2000, &answer), 0) << c.name;
    if (c.shown.empty()) continue;
    InvalidateRect(probe->Handle(), nullptr, FALSE);
    Pump();
    EXPECT_EQ(probe->paints.load(), 2) << c.name;
    EXPECT_EQ(shown.size(), 2u) << c.name;
  }
}

// Reports raised while nothing has pumped yet are coalesced by text and
// shown in the order they came, each once.
TEST_F(ExceptionReportFixture, WaitingReportsAreShownInOrderAndSameTextsOnce) {
  std::vector<std::string> shown;
  Application().OnShowMessage = [&](const std::string& text, const std::string&) { shown.push_back(text); };
  for (const char* text : {"First", "Second", "First", "Second", "Third"}) {
    try {
      throw Exception(text);
    } catch (...) {
      Application().HandleException(nullptr);
    }
  }
  EXPECT_TRUE(shown.empty());  // nothing shown from inside the code that failed
  Application().ProcessMessages();
  EXPECT_EQ(shown, (std::vector<std::string>{"First.", "Second.", "Third."}));
}

HWND FindReportBox(DWORD thread) {
  struct TSearch {
    HWND found = nullptr;
    int count = 0;
  } search;
  EnumThreadWindows(
      thread,
      [](HWND window, LPARAM data) -> BOOL {
        char className[16]{};
        char caption[64]{};
        GetClassNameA(window, className, sizeof className);
        GetWindowTextA(window, caption, sizeof caption);
        if (std::string(className) == "#32770" && std::string(caption) == "Failing paint report") {
          auto* s = reinterpret_cast<TSearch*>(data);
          s->found = window;
          ++s->count;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.count == 1 ? search.found : (search.count > 1 ? HWND_BROADCAST : nullptr);
}

// The real box: one box only, even when the window fails again while it is
// up; the program answers another thread all along.
// Disabled: under Wine the watcher thread at times never closes the box, and
// the run then waits for it until the test's time limit. Run it by hand with
// --gtest_also_run_disabled_tests until the search for the box is made
// reliable.
TEST_F(ExceptionReportFixture, DISABLED_RealBoxIsShownOnceAndTheProgramKeepsAnswering) {
  const DWORD guiThread = GetCurrentThreadId();
  HWND probeWindow = probe->Handle();
  std::atomic<bool> finished{false};
  std::atomic<int> boxesSeen{0};
  std::atomic<bool> answered{false};
  std::atomic<bool> twoBoxesAtOnce{false};
  std::atomic<int> paintsWhileUp{0};
  std::thread watcher([&] {
    HWND lastBox = nullptr;
    while (!finished) {
      HWND box = FindReportBox(guiThread);
      if (box == HWND_BROADCAST) twoBoxesAtOnce = true;
      if (box && box != HWND_BROADCAST && box != lastBox) {
        lastBox = box;
        ++boxesSeen;
        DWORD_PTR answer = 0;
        answered = SendMessageTimeoutA(probeWindow, WM_GETDLGCODE, 0, 0, SMTO_NORMAL, 2000, &answer) != 0;
        // The window fails again while the box is up: its paint runs in
        // the box's own loop and must not bring a second box.
        const int before = probe->paints;
        InvalidateRect(probeWindow, nullptr, FALSE);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (probe->paints == before && std::chrono::steady_clock::now() < deadline)
          std::this_thread::sleep_for(std::chrono::milliseconds(5));
        paintsWhileUp = probe->paints - before;
        SendMessageTimeoutA(probeWindow, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &answer);  // the report is queued by now
        if (FindReportBox(guiThread) == HWND_BROADCAST) twoBoxesAtOnce = true;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  });
  probe->failure = TFailingPainter::TFailure::BeforePaint;
  InvalidateRect(probeWindow, nullptr, FALSE);
  const bool closed = test::PumpUntil([&] { return boxesSeen > 0 && !FindReportBox(guiThread); });
  Pump();
  finished = true;
  watcher.join();
  EXPECT_TRUE(closed);
  EXPECT_EQ(boxesSeen.load(), 1);
  EXPECT_TRUE(answered);
  EXPECT_EQ(paintsWhileUp.load(), 1);
  EXPECT_FALSE(twoBoxesAtOnce);
  probe->failure = TFailingPainter::TFailure::None;
}

}  // namespace
}  // namespace plx
