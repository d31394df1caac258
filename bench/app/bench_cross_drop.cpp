// A real drop from another process (this one, with OLE's DoDragDrop) of
// 1 KB, 1 MB and 100 MB of CF_TEXT onto plexoria.exe's list, from the moment
// the button is released (the drop source answers "drop") until the new entry
// is on the list and every window of the program is painted; against the same
// drop into a small program whose drop target only reads the block. For
// 100 MB, also the program's peak private memory during the drop, counted in
// copies of the text. The first drop a program takes from another process
// sets up what OLE needs to serve it (about 3 MB, a 1 KB drop as much as a
// large one), so for 100 MB both programs first take a small drop, and the
// memory is counted from there.
#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchReport.h"
#include "bench/BenchTiming.h"
#include "bench/app/ProcessWatch.h"
#include "framework/Com.h"
#include "tests/support/TextBlockSource.h"

namespace plx::bench {
namespace {

bool WaitUntil(const std::function<bool()>& condition, std::chrono::seconds timeout = std::chrono::seconds(120)) {
  const auto deadline = Clock::now() + timeout;
  while (!condition()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  return true;
}

// Releases the button once the target under the cursor has answered, and
// notes that moment.
class TDropSource : public IDropSource {
 public:
  explicit TDropSource(POINT point) : point_(point) {}
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IDropSource) {
      *out = static_cast<IDropSource*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP QueryContinueDrag(BOOL escape, DWORD) override {
    if (escape) return DRAGDROP_S_CANCEL;
    if (!answered_) return S_OK;
    released = Clock::now();
    return DRAGDROP_S_DROP;
  }
  STDMETHODIMP GiveFeedback(DWORD) override {
    POINT at{};
    if (GetCursorPos(&at) && at.x == point_.x && at.y == point_.y) answered_ = true;
    return DRAGDROP_S_USEDEFAULTCURSORS;
  }
  Clock::time_point released;

 private:
  POINT point_;
  bool answered_ = false;
};

// Drags text onto window's centre; answers the milliseconds from the
// button's release until done() holds, or -1.
double DropAndWait(HWND window, const std::string& text, const std::function<bool()>& done) {
  RECT client{};
  GetClientRect(window, &client);
  POINT centre{client.right / 2, client.bottom / 2};
  ClientToScreen(window, &centre);
  SetCursorPos(centre.x, centre.y);
  if (!WaitUntil([&] {
        POINT at{};
        return GetCursorPos(&at) && at.x == centre.x && at.y == centre.y;
      }, std::chrono::seconds(10)))
    return -1;
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_LBUTTON] = 0x80;
  keys[VK_CONTROL] = 0x80;  // a copy: the source keeps its text
  SetKeyboardState(keys);
  // Hands out a new block per GetData, as a text editor does.
  TComPtr<test::TTextBlockSource> source(new test::TTextBlockSource(text));
  TDropSource dropper(centre);
  DWORD effect = DROPEFFECT_NONE;
  const HRESULT result = DoDragDrop(source.Get(), &dropper, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
  keys[VK_LBUTTON] = keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  if (result != DRAGDROP_S_DROP || effect == DROPEFFECT_NONE) return -1;
  if (!WaitUntil(done)) return -1;
  return std::chrono::duration<double, std::milli>(Clock::now() - dropper.released).count();
}

HWND FindList(HWND main_window) {
  HWND found = nullptr;
  EnumChildWindows(
      main_window,
      [](HWND child, LPARAM param) -> BOOL {
        char name[256] = {};
        GetClassNameA(child, name, sizeof name);
        if (std::strstr(name, "ListBox") || (GetWindowLongA(child, GWL_STYLE) & LBS_OWNERDRAWVARIABLE)) {
          *reinterpret_cast<HWND*>(param) = child;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND WaitForWindow(DWORD process_id) {
  HWND window = nullptr;
  WaitUntil([&] {
    const std::vector<HWND> windows = VisibleWindowsOf(process_id);
    window = windows.empty() ? nullptr : windows.front();
    return window != nullptr && FullyPainted(process_id);
  }, std::chrono::seconds(30));
  return window;
}

struct TSize {
  const char* name;
  std::size_t bytes;
  int runs;
};

int Run() {
  OleInitialize(nullptr);
  const TSize sizes[] = {{"1 KB", 1u << 10, 15}, {"1 MB", 1u << 20, 7}, {"100 MB", 100u << 20, 3}};
  int failures = 0;
  for (const TSize& size : sizes) {
    std::string text(size.bytes, 'a');
    for (std::size_t i = 70; i < text.size(); i += 72) text[i] = '\n';
    text.back() = '\0';
    std::vector<double> ours, floor, copies;
    for (int run = 0; run < size.runs; ++run) {
      // Fresh programs for each drop, so that the program's peak is this drop's.
      const bool warm_up = size.bytes >= (100u << 20);
      // The start of the same text: its entry looks the same, so the one-time
      // work of drawing such an entry is done by the first drop too.
      const std::string small_text = text.substr(0, 1024);
      {
        TStartedProgram plexoria(PLEXORIA_EXE_PATH);
        HWND main_window = WaitForWindow(plexoria.Id());
        HWND list = main_window ? FindList(main_window) : nullptr;
        if (!list) {
          std::fprintf(stderr, "no list in plexoria.exe's window\n");
          return 1;
        }
        const auto drop_and_wait = [&](const std::string& dropped) {
          const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
          return DropAndWait(list, dropped, [&] {
            return SendMessageA(list, LB_GETCOUNT, 0, 0) == count + 1 && FullyPainted(plexoria.Id());
          });
        };
        if (warm_up && drop_and_wait(small_text) < 0) ++failures;
        const std::size_t before = MemoryOf(plexoria.Process()).current;
        const double ms = drop_and_wait(text);
        if (ms < 0) ++failures;
        else ours.push_back(ms);
        const std::size_t peak = MemoryOf(plexoria.Process()).peak;
        copies.push_back(static_cast<double>(peak - std::min(peak, before)) / static_cast<double>(size.bytes));
      }
      {
        TStartedProgram reader(BesideThisProgram("drop_floor_target.exe"));
        HWND window = WaitForWindow(reader.Id());
        if (!window) {
          std::fprintf(stderr, "no window from drop_floor_target.exe\n");
          return 1;
        }
        int drops = 0;
        const auto drop_and_wait = [&](const std::string& dropped) {
          const std::string read = std::to_string(++drops);
          return DropAndWait(window, dropped, [&] {
            char caption[32] = {};
            GetWindowTextA(window, caption, sizeof caption);
            return caption == read && FullyPainted(reader.Id());
          });
        };
        if (warm_up && drop_and_wait(small_text) < 0) ++failures;
        const double ms = drop_and_wait(text);
        if (ms < 0) ++failures;
        else floor.push_back(ms);
      }
    }
    Report(std::string("cross-process drop of ") + size.name + " until the entry is painted, against a reading target",
           Median(ours), Median(floor), "ms", "x1.2");
    // In hundredths of a copy (1 MB): below that are the new entry's own
    // drawing and the heap's growth for it (measured: under 100 KB), not
    // copies of the text.
    if (size.bytes >= (100u << 20))
      ReportAbsolute("cross-process drop of 100 MB: copies of the text alive at the program's peak",
                     std::round(Median(copies) * 100) / 100, "copies", "<=2");
  }
  OleUninitialize();
  if (failures) std::fprintf(stderr, "%d drops did not complete\n", failures);
  return failures ? 1 : 0;
}

}  // namespace
}  // namespace plx::bench

int main() { return plx::bench::Run(); }
