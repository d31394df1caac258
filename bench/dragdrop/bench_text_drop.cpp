// Time from the start of Drop to the return of OnDrop for CF_TEXT blocks of
// 1 KB, 1 MB and 100 MB, and the memory the 100 MB drop needs at its peak,
// counted in copies of the text; then the same time for file lists (CF_HDROP)
// of 100,000 names, 8-bit and wide.
//
// The block exists before Drop starts, as the copy OLE makes of another
// process's block does, and GetData hands it over for ReleaseStgMedium to
// free. The OnDrop handler keeps the text the way the clip store does.
#include <windows.h>
#include <ole2.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/BenchReport.h"
#include "dragdrop/TextTarget.h"
#include "dragdrop/TransferBlocks.h"
#include "framework/Com.h"
#include "tests/support/TextBlockSource.h"

namespace plx {
namespace {

// Offers one format once: the first GetData hands its prepared block over.
class TOneBlockSource : public test::TOneFormatDataObject {
 public:
  TOneBlockSource(UINT format, HGLOBAL block) : TOneFormatDataObject(format), block_(block) {}

  STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (QueryGetData(format) != S_OK || !block_) return DV_E_FORMATETC;
    *medium = {};
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = block_;
    block_ = nullptr;
    return S_OK;
  }

 protected:
  ~TOneBlockSource() override {
    if (block_) GlobalFree(block_);
  }

 private:
  HGLOBAL block_;
};

HGLOBAL TextBlock(std::size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!block) return nullptr;
  auto* bytes = static_cast<char*>(GlobalLock(block));
  std::memset(bytes, 'a', size - 1);
  bytes[size - 1] = '\0';
  GlobalUnlock(block);
  return block;
}

HGLOBAL BlockOf(const std::string& bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!block) return nullptr;
  std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
  GlobalUnlock(block);
  return block;
}

// count names of a typical length, as a folder of many files gives them.
std::vector<std::string> FileNames(int count) {
  std::vector<std::string> names;
  names.reserve(static_cast<std::size_t>(count));
  char name[64];
  for (int i = 0; i < count; ++i) {
    std::snprintf(name, sizeof name, "C:\\Users\\someone\\Pictures\\photo-%06d.jpg", i);
    names.emplace_back(name);
  }
  return names;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

PROCESS_MEMORY_COUNTERS Memory() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters;
}

struct TDropTimer {
  LARGE_INTEGER start{};
  LARGE_INTEGER handler_end{};
};

int Run() {
  TQXTextTarget target(nullptr);
  std::vector<std::string> clips;
  TDropTimer timer;
  target.OnDrop = [&](TObject*, TWinControl*, const std::string& text, int, int) {
    clips.push_back(text);  // as the clip store keeps it
    QueryPerformanceCounter(&timer.handler_end);
  };
  IDropTarget* drop_target = target.DropTargetObject();

  struct Size {
    const char* name;
    std::size_t bytes;
    int runs;
  } sizes[] = {{"1 KB", 1u << 10, 2000}, {"1 MB", 1u << 20, 50}, {"100 MB", 100u << 20, 3}};
  for (const Size& size : sizes) {
    std::vector<double> times;
    SIZE_T peak_extra = 0;
    for (int run = 0; run < size.runs; ++run) {
      clips.clear();
      clips.shrink_to_fit();
      TComPtr<TOneBlockSource> source(new TOneBlockSource(CF_TEXT, TextBlock(size.bytes)));
      DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
      drop_target->DragEnter(source.Get(), 0, POINTL{0, 0}, &effect);
      const PROCESS_MEMORY_COUNTERS before = Memory();
      effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
      QueryPerformanceCounter(&timer.start);
      const HRESULT result = drop_target->Drop(source.Get(), 0, POINTL{0, 0}, &effect);
      if (result != S_OK || clips.size() != 1 || clips[0].size() != size.bytes) {
        std::printf("drop of %s failed: 0x%08lx\n", size.name, static_cast<unsigned long>(result));
        return 1;
      }
      times.push_back(Seconds(timer.start, timer.handler_end));
      const PROCESS_MEMORY_COUNTERS after = Memory();
      // Only a drop larger than anything before it moves the peak.
      if (after.PeakPagefileUsage > before.PagefileUsage)
        peak_extra = std::max(peak_extra, after.PeakPagefileUsage - before.PagefileUsage);
    }
    std::sort(times.begin(), times.end());
    std::printf("CF_TEXT %-6s  median %10.3f ms  best %10.3f ms  (%d runs)\n", size.name,
                times[times.size() / 2] * 1e3, times.front() * 1e3, size.runs);
    bench::ReportAbsolute(std::string("in-process Drop to OnDrop, CF_TEXT ") + size.name, times[times.size() / 2] * 1e3,
                          "ms", "-");
    if (size.bytes >= (100u << 20)) {
      // The block was already held before Drop: it is the first copy.
      const double copies = 1.0 + static_cast<double>(peak_extra) / static_cast<double>(size.bytes);
      std::printf("CF_TEXT %-6s  peak private memory above the block: %.1f MB, %.2f copies of the text at once\n",
                  size.name, static_cast<double>(peak_extra) / (1 << 20), copies);
      bench::ReportAbsolute("in-process drop, CF_TEXT 100 MB: copies of the text alive at the peak", copies, "copies",
                            "<=2");
    }
  }

  // File lists: the names are read from the block in one pass.
  target.setAcceptTextFormats({dtfFiles});
  constexpr int kNames = 100000;
  const std::vector<std::string> names = FileNames(kNames);
  std::vector<std::u16string> wide_names;
  for (const std::string& name : names) wide_names.emplace_back(name.begin(), name.end());
  struct List {
    const char* name;
    std::string block;
  } lists[] = {{"8-bit", BuildHDROP(names)}, {"wide", BuildHDROPWide(wide_names)}};
  std::size_t expected_length = 0;
  for (const std::string& name : names) expected_length += name.size() + 2;
  expected_length -= 2;
  for (const List& list : lists) {
    constexpr int kRuns = 5;
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
      clips.clear();
      TComPtr<TOneBlockSource> source(new TOneBlockSource(CF_HDROP, BlockOf(list.block)));
      DWORD effect = DROPEFFECT_COPY;
      drop_target->DragEnter(source.Get(), 0, POINTL{0, 0}, &effect);
      effect = DROPEFFECT_COPY;
      QueryPerformanceCounter(&timer.start);
      const HRESULT result = drop_target->Drop(source.Get(), 0, POINTL{0, 0}, &effect);
      if (result != S_OK || clips.size() != 1 || clips[0].size() != expected_length) {
        std::printf("drop of %d %s names failed: 0x%08lx\n", kNames, list.name, static_cast<unsigned long>(result));
        return 1;
      }
      times.push_back(Seconds(timer.start, timer.handler_end));
    }
    std::sort(times.begin(), times.end());
    std::printf("CF_HDROP %d names, %-5s  median %10.3f ms  best %10.3f ms  (%d runs)\n", kNames, list.name,
                times[times.size() / 2] * 1e3, times.front() * 1e3, kRuns);
  }
  return 0;
}

}  // namespace
}  // namespace plx

int main() { return plx::Run(); }
