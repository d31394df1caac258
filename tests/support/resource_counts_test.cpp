// Each counter sees one more of its resource while it lives and is back when
// it is gone: the counts the soak tests compare can move, and do so exactly.
#include "tests/support/ResourceCounts.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <cstring>
#include <functional>
#include <vector>

namespace plx::test {
namespace {

struct TCase {
  const char* name;
  std::function<int()> count;
  std::function<void*()> make;
  std::function<void(void*)> free;
};

HWND MakeWindow(HWND parent, DWORD style) {
  return CreateWindowExA(0, "STATIC", "counted", style, 0, 0, 10, 10, parent, nullptr, nullptr, nullptr);
}

TEST(ResourceCounts, EachCounterFollowsItsResource) {
  HWND top = MakeWindow(nullptr, WS_POPUP);
  ASSERT_NE(top, nullptr);
  const std::vector<TCase> cases = {
      {"brush", CountGdiObjects, [] { return static_cast<void*>(CreateSolidBrush(RGB(1, 2, 3))); },
       [](void* h) { DeleteObject(static_cast<HGDIOBJ>(h)); }},
      {"bitmap", CountGdiObjects, [] { return static_cast<void*>(CreateBitmap(4, 4, 1, 32, nullptr)); },
       [](void* h) { DeleteObject(static_cast<HGDIOBJ>(h)); }},
      {"memory DC", CountGdiObjects, [] { return static_cast<void*>(CreateCompatibleDC(nullptr)); },
       [](void* h) { DeleteDC(static_cast<HDC>(h)); }},
      {"top-level window", CountWindowsOfThisProcess, [] { return static_cast<void*>(MakeWindow(nullptr, WS_POPUP)); },
       [](void* h) { DestroyWindow(static_cast<HWND>(h)); }},
      {"child window", CountWindowsOfThisProcess, [top] { return static_cast<void*>(MakeWindow(top, WS_CHILD)); },
       [](void* h) { DestroyWindow(static_cast<HWND>(h)); }},
      {"message-only window", CountWindowsOfThisProcess,
       [] { return static_cast<void*>(MakeWindow(HWND_MESSAGE, 0)); },
       [](void* h) { DestroyWindow(static_cast<HWND>(h)); }},
      {"menu", CountMenus, [] { return static_cast<void*>(CreatePopupMenu()); },
       [](void* h) { DestroyMenu(static_cast<HMENU>(h)); }},
      {"event", CountKernelHandles, [] { return static_cast<void*>(CreateEventA(nullptr, TRUE, FALSE, nullptr)); },
       [](void* h) { CloseHandle(static_cast<HANDLE>(h)); }},
      {"global block", CountProcessHeapBlocks, [] { return static_cast<void*>(GlobalAlloc(GMEM_MOVEABLE, 100)); },
       [](void* h) { GlobalFree(static_cast<HGLOBAL>(h)); }},
      {"COM task memory", CountProcessHeapBlocks, [] { return CoTaskMemAlloc(100); },
       [](void* h) { CoTaskMemFree(h); }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    // One throw-away round first: the first of a kind may bring a cache.
    c.free(c.make());
    const int before = c.count();
    void* handle = c.make();
    ASSERT_NE(handle, nullptr);
    const int during = c.count();
    c.free(handle);
    const int after = c.count();
    EXPECT_GE(before, 0);
    EXPECT_EQ(during, before + 1);
    EXPECT_EQ(after, before);
  }
  DestroyWindow(top);
}

TEST(ResourceCounts, HeapBytesFollowSmallAndLargeBlocks) {
  for (std::size_t size : {std::size_t{1000}, std::size_t{8} << 20}) {
    SCOPED_TRACE(size);
    const std::size_t before = HeapBytesInUse();
    void* block = HeapAlloc(GetProcessHeap(), 0, size);
    ASSERT_NE(block, nullptr);
    const std::size_t during = HeapBytesInUse();
    HeapFree(GetProcessHeap(), 0, block);
    const std::size_t after = HeapBytesInUse();
    EXPECT_GE(during, before + size);
    EXPECT_EQ(after, before);
  }
}

TEST(ResourceCounts, PrivateBytesFollowAnAllocation) {
  const std::size_t before = PrivateBytes();
  void* block = VirtualAlloc(nullptr, 8 << 20, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  ASSERT_NE(block, nullptr);
  std::memset(block, 1, 8 << 20);
  const std::size_t during = PrivateBytes();
  VirtualFree(block, 0, MEM_RELEASE);
  const std::size_t after = PrivateBytes();
  EXPECT_GE(during, before + (8 << 20));
  EXPECT_LT(after, during - (4 << 20));
}

}  // namespace
}  // namespace plx::test
