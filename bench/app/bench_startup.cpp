// Start-up of plexoria.exe until its window is shown and idle (visible, no
// window of the process has anything left to paint, and its thread has gone
// idle), and its peak working set by then, against a raw Win32 program that
// builds the same window tree with the same manifest. A bare window that only
// initialises OLE and the common controls stands beside them for reference.
// All three run under the same Wine server, started in turns whose order
// rotates from round to round, so a slow moment of the shared machine does
// not always fall on the same program.
#include <windows.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchReport.h"
#include "bench/BenchTiming.h"
#include "bench/app/ProcessWatch.h"

namespace plx::bench {
namespace {

constexpr int kRounds = 21;

struct TStartUp {
  double milliseconds = -1;
  double peak_working_set_mib = 0;
};

TStartUp StartUntilShownAndIdle(const std::string& path) {
  const auto start = Clock::now();
  TStartedProgram program(path);
  if (!program.Started()) return {};
  const auto deadline = start + std::chrono::seconds(30);
  while (!ShownAndIdle(program.Process(), program.Id())) {
    if (Clock::now() > deadline) return {};
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  TStartUp result;
  result.milliseconds = Milliseconds(Clock::now() - start);
  result.peak_working_set_mib = static_cast<double>(MemoryOf(program.Process()).peak_working_set) / (1 << 20);
  return result;
}

struct TProgram {
  std::string path;
  std::vector<double> milliseconds;
  std::vector<double> mib;
};

int Run() {
  std::array<TProgram, 3> programs{{
      {PLEXORIA_EXE_PATH, {}, {}},
      {BesideThisProgram("startup_floor_tree.exe"), {}, {}},
      {BesideThisProgram("startup_floor_window.exe"), {}, {}},
  }};
  TProgram& ours = programs[0];
  TProgram& tree = programs[1];
  TProgram& bare = programs[2];
  // One start of each first: the system's own caches are then warm for all.
  for (const TProgram& program : programs) StartUntilShownAndIdle(program.path);
  for (int round = 0; round < kRounds; ++round) {
    for (std::size_t turn = 0; turn < programs.size(); ++turn) {
      TProgram& program = programs[(round + turn) % programs.size()];
      const TStartUp measured = StartUntilShownAndIdle(program.path);
      if (measured.milliseconds < 0) {
        std::fprintf(stderr, "a program did not show its window and go idle: %s\n", program.path.c_str());
        return 1;
      }
      program.milliseconds.push_back(measured.milliseconds);
      program.mib.push_back(measured.peak_working_set_mib);
    }
  }
  Report("start-up until shown and idle, against the same window tree in raw Win32", Median(ours.milliseconds),
         Median(tree.milliseconds), "ms", "x1.05");
  Report("peak working set when shown and idle, against the same window tree in raw Win32", Median(ours.mib),
         Median(tree.mib), "MiB", "+1");
  Report("start-up until shown and idle, against a bare OLE window (reference)", Median(ours.milliseconds),
         Median(bare.milliseconds), "ms", "-");
  Report("peak working set when shown and idle, against a bare OLE window (reference)", Median(ours.mib),
         Median(bare.mib), "MiB", "-");
  return 0;
}

}  // namespace
}  // namespace plx::bench

int main() { return plx::bench::Run(); }
