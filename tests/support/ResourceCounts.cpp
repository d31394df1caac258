#include "tests/support/ResourceCounts.h"

#include <psapi.h>

#include <cstdint>

namespace plx::test {

namespace {

// GDI and USER handles carry a 16-bit table index in their lower word.
constexpr std::uintptr_t kHandleIndexes = 0x10000;
// Far above the few hundred handles a test process holds.
constexpr std::uintptr_t kKernelHandleValues = 0x10000;

template <typename T>
T HandleFromIndex(std::uintptr_t index) {
  return reinterpret_cast<T>(index);
}

struct TWindowCount {
  DWORD process;
  int count;
};

BOOL CALLBACK CountIfOurs(HWND window, LPARAM param) {
  auto* count = reinterpret_cast<TWindowCount*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == count->process) ++count->count;
  return TRUE;
}

// A window and all its descendants (EnumChildWindows walks the whole tree).
BOOL CALLBACK CountTree(HWND window, LPARAM param) {
  CountIfOurs(window, param);
  EnumChildWindows(window, CountIfOurs, param);
  return TRUE;
}

}  // namespace

int CountGdiObjects() {
  if (const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<int>(reported);
  int count = 0;
  for (std::uintptr_t index = 1; index < kHandleIndexes; ++index)
    if (GetObjectType(HandleFromIndex<HGDIOBJ>(index)) != 0) ++count;
  return count;
}

int CountWindowsOfThisProcess() {
  TWindowCount count{GetCurrentProcessId(), 0};
  EnumWindows(CountTree, reinterpret_cast<LPARAM>(&count));
  // Message-only windows are not top-level windows: they hang below
  // HWND_MESSAGE and are found one after the other.
  for (HWND window = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
       window = FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr))
    CountTree(window, reinterpret_cast<LPARAM>(&count));
  return count.count;
}

int CountMenus() {
  // USER handle values step by two from 0x20: an odd value names the same
  // slot as the even one below it.
  int count = 0;
  for (std::uintptr_t index = 0x20; index < kHandleIndexes; index += 2)
    if (IsMenu(HandleFromIndex<HMENU>(index))) ++count;
  return count;
}

int CountKernelHandles() {
  DWORD reported = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &reported) && reported != 0) return static_cast<int>(reported);
  // Kernel handle values are multiples of 4 from a small table; a value is
  // a handle when the system answers for its flags.
  int count = 0;
  DWORD flags = 0;
  for (std::uintptr_t value = 4; value < kKernelHandleValues; value += 4)
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  return count;
}

int CountProcessHeapBlocks() {
  HANDLE heap = GetProcessHeap();
  int count = 0;
  if (!HeapLock(heap)) return -1;
  PROCESS_HEAP_ENTRY entry{};
  while (HeapWalk(heap, &entry))
    if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) ++count;
  HeapUnlock(heap);
  return count;
}

namespace {
struct THeapUse {
  int blocks = 0;
  std::size_t bytes = 0;
};
THeapUse AllHeapsInUse() {
  HANDLE heaps[256];
  const DWORD count = GetProcessHeaps(256, heaps);
  THeapUse use;
  for (DWORD i = 0; i < count && i < 256; ++i) {
    if (!HeapLock(heaps[i])) continue;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heaps[i], &entry))
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
        ++use.blocks;
        use.bytes += entry.cbData;
      }
    HeapUnlock(heaps[i]);
  }
  return use;
}
}  // namespace

std::size_t HeapBytesInUse() { return AllHeapsInUse().bytes; }
int CountAllHeapBlocks() { return AllHeapsInUse().blocks; }

std::size_t PrivateBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters.PagefileUsage;
}

TResourceCounts CountResources() {
  TResourceCounts counts;
  counts.gdi_objects = CountGdiObjects();
  counts.windows = CountWindowsOfThisProcess();
  counts.menus = CountMenus();
  counts.kernel_handles = CountKernelHandles();
  counts.heap_blocks = CountProcessHeapBlocks();
  const THeapUse use = AllHeapsInUse();
  counts.heap_bytes = use.bytes;
  counts.all_heap_blocks = use.blocks;
  counts.private_bytes = PrivateBytes();
  return counts;
}

bool TResourceCounts::SameHandles(const TResourceCounts& other) const {
  return gdi_objects == other.gdi_objects && windows == other.windows && menus == other.menus &&
         kernel_handles == other.kernel_handles && heap_blocks == other.heap_blocks;
}

std::string TResourceCounts::Describe() const {
  return "GDI objects " + std::to_string(gdi_objects) + ", windows " + std::to_string(windows) + ", menus " +
         std::to_string(menus) + ", kernel handles " + std::to_string(kernel_handles) + ", process heap blocks " +
         std::to_string(heap_blocks) + ", blocks of all heaps " + std::to_string(all_heap_blocks) + ", heap bytes " + std::to_string(heap_bytes) + ", private bytes " + std::to_string(private_bytes);
}

}  // namespace plx::test
