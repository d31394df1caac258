#pragma once
// Counts what a process holds, in a way that also works under Wine, where
// GetGuiResources is a stub that answers 0:
// - GDI objects: GetGuiResources when it answers; otherwise every value of
//   the 16-bit GDI handle index is asked GetObjectType (a handle whose upper
//   word is 0 names the live object in that slot, whatever its generation);
// - windows: this process's top-level windows, their descendants and the
//   message-only windows, enumerated;
// - menus: every 16-bit USER handle index asked IsMenu, the same way;
// - kernel handles: GetProcessHandleCount when it answers; otherwise every
//   handle value up to 64K asked GetHandleInformation;
// - process heap blocks: the busy blocks of the process heap, walked. Global
//   and local memory blocks and COM task memory live there (the C runtime's
//   own heap is a separate one), so a leaked block shows here;
// - heap bytes: the bytes of every busy block of every heap of the process
//   (the C runtime's heap included), the memory the process holds;
// - private bytes: the process's private memory as the system reports it
//   (under Wine the pages actually in use: committed but untouched memory
//   does not show).

#include <windows.h>

#include <cstddef>
#include <string>

namespace plx::test {

struct TResourceCounts {
  int gdi_objects = 0;
  int windows = 0;
  int menus = 0;
  int kernel_handles = 0;
  int heap_blocks = 0;
  int all_heap_blocks = 0;
  std::size_t heap_bytes = 0;
  std::size_t private_bytes = 0;

  // Every count but the memory, which is compared with a tolerance.
  bool SameHandles(const TResourceCounts& other) const;
  std::string Describe() const;
};

TResourceCounts CountResources();

int CountGdiObjects();
int CountWindowsOfThisProcess();
int CountMenus();
int CountKernelHandles();
int CountProcessHeapBlocks();
std::size_t HeapBytesInUse();
int CountAllHeapBlocks();
std::size_t PrivateBytes();

}  // namespace plx::test
