#pragma once
// Counts of this process's GDI and USER objects that work under Wine too,
// where GetGuiResources answers 0.
//
// GDI: Wine finds a GDI object by the low word of its handle (the index in
// the process's handle table) when the high word is zero, so asking
// GetObjectType about every index counts the live objects. USER: the
// windows of this process (top-level, child and message-only alike, found
// the same way through IsWindow and their owning process) plus the menus
// (IsMenu), both looked up by their index in the USER handle table.
// Where GetGuiResources works, its answer is used.

#include <windows.h>

namespace plx::test {

inline int GdiObjectCount() {
  if (const DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<int>(n);
  int count = 0;
  for (ULONG_PTR index = 1; index < 0x10000; ++index)
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(index))) ++count;
  return count;
}

inline int UserObjectCount() {
  if (const DWORD n = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)) return static_cast<int>(n);
  int count = 0;
  const DWORD self = GetCurrentProcessId();
  for (ULONG_PTR index = 0x20; index < 0x10000; index += 2) {
    if (IsMenu(reinterpret_cast<HMENU>(index))) ++count;
    const HWND window = reinterpret_cast<HWND>(index);
    DWORD owner = 0;
    if (IsWindow(window) && GetWindowThreadProcessId(window, &owner) && owner == self) ++count;
  }
  return count;
}

}  // namespace plx::test
