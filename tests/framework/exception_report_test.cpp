// What happens when an exception escapes a window procedure: the report is
// shown once, after the failing message has returned, one box at a time; a
// failed paint does not come back in a loop; the program keeps answering.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <iterator>
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

  // Atomic: the real box's watcher thread ends the failure.
  std::atomic<TFailure> failure{TFailure::None};
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

// The report boxes up on thread: dialogs captioned with the application's
// title. Their caption is read without sending the thread a message
// (GetWindowText would send WM_GETTEXT to another thread's window): the
// watcher searches while that thread may not be answering at all, e.g.
// when it is waiting for the watcher to end.
std::vector<HWND> ReportBoxes(DWORD thread) {
  std::vector<HWND> boxes;
  EnumThreadWindows(
      thread,
      [](HWND window, LPARAM data) -> BOOL {
        char className[16]{};
        wchar_t caption[64]{};
        GetClassNameA(window, className, sizeof className);
        InternalGetWindowText(window, caption, static_cast<int>(std::size(caption)));
        if (std::string(className) == "#32770" && std::wstring(caption) == L"Failing paint report")
          reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&boxes));
  return boxes;
}

// The real box: one box only, even when the window fails again while it is
// up; the program answers another thread all along. A watcher thread does
// what a user would: it waits for the box and presses its OK button.
TEST_F(ExceptionReportFixture, RealBoxIsShownOnceAndTheProgramKeepsAnswering) {
  const DWORD guiThread = GetCurrentThreadId();
  HWND probeWindow = probe->Handle();
  std::atomic<bool> finished{false};
  std::atomic<bool> watcherDone{false};
  std::atomic<int> boxesSeen{0};
  std::atomic<bool> answered{false};
  std::atomic<bool> twoBoxesAtOnce{false};
  std::atomic<int> paintsWhileUp{0};
  std::thread watcher([&] {
    // Every wait below is bounded, and every message sent has a time-out:
    // the GUI thread may be anywhere, and a watcher that blocks would turn
    // a failure into a hang.
    HWND lastBox = nullptr;
    auto nextPress = std::chrono::steady_clock::now();
    while (!finished) {
      const std::vector<HWND> boxes = ReportBoxes(guiThread);
      // One box too many: the window stops failing, so that boxes coming
      // back in a loop end and the test fails instead of hanging.
      if (boxes.size() > 1) {
        twoBoxesAtOnce = true;
        probe->failure = TFailingPainter::TFailure::None;
      } else if (boxes.size() == 1 && boxes.front() != lastBox && ++boxesSeen > 1) {
        lastBox = boxes.front();
        probe->failure = TFailingPainter::TFailure::None;
      } else if (boxes.size() == 1 && boxes.front() != lastBox) {
        lastBox = boxes.front();
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
        if (ReportBoxes(guiThread).size() > 1) twoBoxesAtOnce = true;
        nextPress = std::chrono::steady_clock::now();
      }
      // OK is pressed on every box that is up (a second one too, so the
      // GUI thread is never left inside a box), and pressed again while
      // the box is still there: a box takes a while to go once it is
      // hidden, so not too often.
      if (!boxes.empty() && std::chrono::steady_clock::now() >= nextPress) {
        for (HWND box : boxes) PostMessageA(box, WM_COMMAND, IDOK, 0);
        nextPress = std::chrono::steady_clock::now() + std::chrono::seconds(1);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    watcherDone = true;
  });
  probe->failure = TFailingPainter::TFailure::BeforePaint;
  InvalidateRect(probeWindow, nullptr, FALSE);
  // Fails, not hangs, when no box ever comes: the box is shown from this
  // loop, and the watcher closes any box that does.
  const bool closed = test::PumpUntil([&] { return boxesSeen > 0 && ReportBoxes(guiThread).empty(); },
                                      std::chrono::seconds(20));
  Pump();
  finished = true;
  // The watcher may be waiting on this thread's answer: keep answering
  // until it has ended.
  test::PumpUntil([&] { return watcherDone.load(); }, std::chrono::seconds(10));
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
