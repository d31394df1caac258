// Reading the embedded skin the way the main window does (the archive
// written to a temporary file, the record file extracted from it, every
// record read, both files deleted) against the program's start-up: from
// process start until the main window is shown and its message loop idles.
// Medians of several runs under the same Wine server; the figure that
// matters is the reading's share of the start-up.
#include <windows.h>

#include "bench/BenchReport.h"
#include "bench/BenchTiming.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "skin/FileTheme.h"

namespace plx {
namespace {

using bench::Clock;
using bench::Median;
using bench::Milliseconds;

std::string_view EmbeddedSkin() {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, "SKINDATA", MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  return data ? std::string_view(static_cast<const char*>(data), SizeofResource(module, found)) : std::string_view();
}

double ReadOnce(std::string_view archive) {
  const auto start = Clock::now();
  TkivBuiltInFileTheme theme(nullptr);
  theme.ReadSkinData(archive);
  const auto end = Clock::now();
  if (!theme.Ready()) std::fprintf(stderr, "the embedded skin did not load\n");
  return Milliseconds(end - start);
}

// plexoria.exe of the same build: <build>/app/plexoria.exe beside <build>/bench/skin/.
std::string ProgramPath() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string self(path);
  for (int up = 0; up < 3; ++up) self = self.substr(0, self.find_last_of('\\'));
  return self + "\\app\\plexoria.exe";
}

struct TFound {
  DWORD process;
  HWND window;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM param) {
  auto* found = reinterpret_cast<TFound*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == found->process && IsWindowVisible(window)) {
    found->window = window;
    return FALSE;
  }
  return TRUE;
}

// Start until the window is visible and the loop idles; -1 when it never is.
double StartOnce(const std::string& program) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string command = "\"" + program + "\"";
  const auto start = Clock::now();
  if (!CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return -1;
  TFound found{process.dwProcessId, nullptr};
  double elapsed = -1;
  const auto give_up = start + std::chrono::seconds(20);
  while (Clock::now() < give_up) {
    EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&found));
    if (found.window && WaitForInputIdle(process.hProcess, 0) == 0) {
      elapsed = Milliseconds(Clock::now() - start);
      break;
    }
    Sleep(1);
  }
  if (found.window) PostMessageA(found.window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return elapsed;
}

int Run() {
  const std::string_view archive = EmbeddedSkin();
  if (archive.empty()) {
    std::fprintf(stderr, "no embedded skin in this program\n");
    return 1;
  }
  ReadOnce(archive);  // the first run pays for loading code and the temporary folder
  std::vector<double> reads;
  for (int i = 0; i < 30; ++i) reads.push_back(ReadOnce(archive));

  const std::string program = ProgramPath();
  StartOnce(program);
  std::vector<double> starts;
  for (int i = 0; i < 7; ++i) {
    const double ms = StartOnce(program);
    if (ms < 0) {
      std::fprintf(stderr, "%s did not show its window\n", program.c_str());
      return 1;
    }
    starts.push_back(ms);
  }
  const double read = Median(reads), startUp = Median(starts);
  std::printf("embedded skin read (%zu bytes, temporary files written, extracted, records read, deleted): %.2f ms\n",
              archive.size(), read);
  std::printf("start-up of plexoria.exe until its window is shown and idle: %.1f ms\n", startUp);
  std::printf("reading the skin is %.1f%% of start-up (goal: at most 5%%)\n", 100.0 * read / startUp);
  bench::Report("embedded skin read, against the program's start-up", read, startUp, "ms", "x0.05");
  return 0;
}

}  // namespace
}  // namespace plx

int main() { return plx::Run(); }
