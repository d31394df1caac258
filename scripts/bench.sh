#!/usr/bin/env bash
# Builds the benchmarks optimised (native and Windows), runs them all and ends
# with one table of every figure beside its floor, measured in the same run,
# the ratio and the goal; the table is also written to build/bench/results.md.
# Benchmarks report rows as "BENCH|row|figure|floor|unit|goal" (bench/BenchReport.h).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
"$root/scripts/setup.sh"
cmake -S . -B build/bench-native -DCMAKE_BUILD_TYPE=Release -DPLEXORIA_TESTS=OFF -DPLEXORIA_BENCH=ON >/dev/null
cmake --build build/bench-native -j "$(nproc)"
cmake -S . -B build/bench-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release -DPLEXORIA_TESTS=OFF -DPLEXORIA_BENCH=ON >/dev/null
cmake --build build/bench-win -j "$(nproc)"

mkdir -p build/bench
log="build/bench/log.txt"
: > "$log"
failed=0
run() {
  echo "== $1" | tee -a "$log"
  "${@:2}" 2>&1 | tr -d '\r' | tee -a "$log" || { echo "!! $1 failed" | tee -a "$log"; failed=1; }
}
for exe in build/bench-native/bench/*/bench_*; do
  [ -x "$exe" ] && [ -f "$exe" ] && run "$exe" "$exe"
done
trap '"$root/scripts/stop-wine.sh"' EXIT
for exe in build/bench-win/bench/*/bench_*.exe; do
  [ -f "$exe" ] && run "$exe" "$root/scripts/wine.sh" "$exe"
done

# One row per BENCH line: the ratio to the floor and whether the goal is met.
{
  echo "| Row | Figure | Floor | Ratio | Goal | Met |"
  echo "|---|---:|---:|---:|---|---|"
  grep '^BENCH|' "$log" | awk -F'|' '
    function num(v) { return v ~ /^-?[0-9.]+([eE][-+]?[0-9]+)?$/ }
    function show(v, unit) { return num(v) ? sprintf("%.4g %s", v, unit) : "-" }
    {
      row = $2; figure = $3; floor = $4; unit = $5; goal = $6
      ratio = (num(floor) && floor > 0) ? sprintf("%.2f", figure / floor) : "-"
      met = "-"; shown_goal = "-"
      if (goal ~ /^x/) {
        limit = substr(goal, 2); shown_goal = "<= " limit "x"
        if (ratio != "-") met = (figure / floor <= limit) ? "yes" : "**no**"
      } else if (goal ~ /^\+/) {
        limit = substr(goal, 2); shown_goal = "<= +" limit " " unit
        if (num(floor)) met = (figure - floor <= limit) ? "yes" : "**no**"
      } else if (goal ~ /^<=/) {
        limit = substr(goal, 3); shown_goal = "<= " limit " " unit
        met = (figure <= limit) ? "yes" : "**no**"
      }
      printf "| %s | %s | %s | %s | %s | %s |\n", row, show(figure, unit), show(floor, unit), ratio, shown_goal, met
    }'
} > build/bench/results.md
echo
cat build/bench/results.md
exit "$failed"
