// Start-up of plexoria.exe until its window is completely painted (visible,
// and no window of the process has anything left to paint), and its peak
// private memory by then, against a bare window of the same size that
// initialises OLE and the common controls; both under the same Wine server,
// started in turns.
#include <windows.h>

#include <algorithm>
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

struct TStartUp {
  double milliseconds = -1;
  double peak_mib = 0;
};

TStartUp StartUntilPainted(const std::string& path) {
  const auto start = std::chrono::steady_clock::now();
  TStartedProgram program(path);
  if (!program.Started()) return {};
  const auto deadline = start + std::chrono::seconds(30);
  while (!FullyPainted(program.Id())) {
    if (std::chrono::steady_clock::now() > deadline) return {};
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  TStartUp result;
  result.milliseconds = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  result.peak_mib = static_cast<double>(MemoryOf(program.Process()).peak) / (1 << 20);
  return result;
}

int Run() {
  const std::string plexoria = PLEXORIA_EXE_PATH;
  const std::string floor = BesideThisProgram("startup_floor_window.exe");
  // One start of each first: the system's own caches are then warm for both.
  StartUntilPainted(plexoria);
  StartUntilPainted(floor);
  std::vector<double> ours_ms, floor_ms, ours_mib, floor_mib;
  for (int run = 0; run < 7; ++run) {
    const TStartUp ours = StartUntilPainted(plexoria);
    const TStartUp bare = StartUntilPainted(floor);
    if (ours.milliseconds < 0 || bare.milliseconds < 0) {
      std::fprintf(stderr, "a program did not paint its window: %s %s\n", plexoria.c_str(), floor.c_str());
      return 1;
    }
    ours_ms.push_back(ours.milliseconds);
    floor_ms.push_back(bare.milliseconds);
    ours_mib.push_back(ours.peak_mib);
    floor_mib.push_back(bare.peak_mib);
  }
  Report("start-up to the first complete paint, against a bare OLE window", Median(ours_ms), Median(floor_ms), "ms",
         "x1.1");
  Report("peak private memory at the first complete paint, against a bare OLE window", Median(ours_mib),
         Median(floor_mib), "MiB", "+4");
  return 0;
}

}  // namespace
}  // namespace plx::bench

int main() { return plx::bench::Run(); }
