#pragma once
// Timing shared by the benchmarks: one clock, milliseconds, and the median of
// repeated runs (the figure the table uses; it shrugs off a stray slow run).

#include <algorithm>
#include <chrono>
#include <vector>

namespace plx::bench {

using Clock = std::chrono::steady_clock;

inline double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// -1 when nothing was measured.
inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? -1 : values[values.size() / 2];
}

}  // namespace plx::bench
