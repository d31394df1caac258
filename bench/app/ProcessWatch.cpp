#include "bench/app/ProcessWatch.h"

#include <psapi.h>

namespace plx::bench {

namespace {

struct TSearch {
  DWORD process_id;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectVisible(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<TSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->process_id && IsWindowVisible(window)) search->windows.push_back(window);
  return TRUE;
}

BOOL CALLBACK FindPending(HWND window, LPARAM param) {
  if (IsWindowVisible(window) && GetUpdateRect(window, nullptr, FALSE)) {
    *reinterpret_cast<bool*>(param) = true;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

std::vector<HWND> VisibleWindowsOf(DWORD process_id) {
  TSearch search{process_id, {}};
  EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&search));
  return search.windows;
}

bool FullyPainted(DWORD process_id) {
  const std::vector<HWND> windows = VisibleWindowsOf(process_id);
  if (windows.empty()) return false;
  bool pending = false;
  for (HWND window : windows) {
    FindPending(window, reinterpret_cast<LPARAM>(&pending));
    if (!pending) EnumChildWindows(window, FindPending, reinterpret_cast<LPARAM>(&pending));
    if (pending) return false;
  }
  return true;
}

bool ShownAndIdle(HANDLE process, DWORD processId) {
  return WaitForInputIdle(process, 0) == 0 && FullyPainted(processId);
}

TProcessMemory MemoryOf(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(process, &counters, sizeof counters);
  return {counters.PeakPagefileUsage, counters.PagefileUsage, counters.PeakWorkingSetSize};
}

std::string BesideThisProgram(const std::string& file_name) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  folder.erase(folder.find_last_of("\\/") + 1);
  return folder + file_name;
}

TStartedProgram::TStartedProgram(const std::string& path) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  std::string command = "\"" + path + "\"";
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info_))
    info_ = {};
}

TStartedProgram::~TStartedProgram() {
  if (!info_.hProcess) return;
  for (HWND window : VisibleWindowsOf(info_.dwProcessId)) PostMessageA(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(info_.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(info_.hProcess, 1);
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

}  // namespace plx::bench
