#pragma once
// How a benchmark reports a result: one line per table row on standard
// output, which scripts/bench.sh gathers into one table.
//
//   BENCH|row|figure|floor|unit|goal
//
// figure is what was measured; floor is the same work done the plainest way
// on the same machine in the same run ("-" when the row has none); goal is
// "x1.2" (figure at most 1.2 times the floor), "+4" (figure at most 4 units
// above the floor), "<=0.2" (figure at most 0.2 units) or "-" (no goal).
// Absolute times drift on a shared machine; ratios measured side by side hold.

#include <cstdio>
#include <string>

namespace plx::bench {

inline void Report(const std::string& row, double figure, double floor, const std::string& unit,
                   const std::string& goal) {
  std::printf("BENCH|%s|%.6g|%.6g|%s|%s\n", row.c_str(), figure, floor, unit.c_str(), goal.c_str());
  std::fflush(stdout);
}

// A row without a floor: the goal, if any, is an absolute one.
inline void ReportAbsolute(const std::string& row, double figure, const std::string& unit, const std::string& goal) {
  std::printf("BENCH|%s|%.6g|-|%s|%s\n", row.c_str(), figure, unit.c_str(), goal.c_str());
  std::fflush(stdout);
}

}  // namespace plx::bench
