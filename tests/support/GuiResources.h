#pragma once
// How many GDI objects and windows this process holds, for leak tests.
//
// GetGuiResources answers 0 under Wine. There the GDI count probes the
// handle table instead: Wine accepts a GDI handle without its generation
// bits (the high word of the handle), so GetObjectType on every 16-bit value
// finds exactly the live objects of this process. On Windows
// GetGuiResources gives the same figure. Windows of the calling thread are
// counted by walking them, which works the same on both.

#include <windows.h>

namespace plx::test {

inline int CountGdiObjects() {
  const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (reported != 0) return static_cast<int>(reported);
  int live = 0;
  for (ULONG_PTR value = 1; value < 0x10000; ++value)
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(value)) != 0) ++live;
  return live;
}

// Every window of this thread, top-level and child.
inline int CountThreadWindows() {
  int count = 0;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM counter) -> BOOL {
        auto* total = reinterpret_cast<int*>(counter);
        ++*total;
        EnumChildWindows(
            window, [](HWND, LPARAM inner) -> BOOL { return ++*reinterpret_cast<int*>(inner), TRUE; }, counter);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count;
}

}  // namespace plx::test
