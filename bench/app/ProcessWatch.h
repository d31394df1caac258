#pragma once
// Watches a program started by a benchmark from the outside: its windows,
// whether any of them still waits to be painted, and its memory.

#include <windows.h>

#include <string>
#include <vector>

namespace plx::bench {

// The visible top-level windows of a process.
std::vector<HWND> VisibleWindowsOf(DWORD process_id);

// True when the process shows a window and neither it nor any of its
// descendants has a region left to paint.
bool FullyPainted(DWORD process_id);

// True when the process shows a window, has nothing left to paint and its
// thread has waited for input with an empty queue since it started: work
// posted for later has run by then.
bool ShownAndIdle(HANDLE process, DWORD processId);

// Peak and current private memory of a process, and its peak working set,
// in bytes.
struct TProcessMemory {
  std::size_t peak = 0;
  std::size_t current = 0;
  std::size_t peak_working_set = 0;
};
TProcessMemory MemoryOf(HANDLE process);

// The Windows path of a program beside this benchmark's executable.
std::string BesideThisProgram(const std::string& file_name);

// Starts a program; closes its windows and waits for it when destroyed.
class TStartedProgram {
 public:
  explicit TStartedProgram(const std::string& path);
  ~TStartedProgram();
  TStartedProgram(const TStartedProgram&) = delete;
  TStartedProgram& operator=(const TStartedProgram&) = delete;
  bool Started() const { return info_.hProcess != nullptr; }
  HANDLE Process() const { return info_.hProcess; }
  DWORD Id() const { return info_.dwProcessId; }

 private:
  PROCESS_INFORMATION info_{};
};

}  // namespace plx::bench
