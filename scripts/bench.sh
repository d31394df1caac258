#!/usr/bin/env bash
# Builds the benchmarks optimised (native and Windows) and runs them all.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
"$root/scripts/setup.sh"
cmake -S . -B build/bench-native -DCMAKE_BUILD_TYPE=Release -DPLEXORIA_TESTS=OFF -DPLEXORIA_BENCH=ON >/dev/null
cmake --build build/bench-native -j "$(nproc)"
cmake -S . -B build/bench-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release -DPLEXORIA_TESTS=OFF -DPLEXORIA_BENCH=ON >/dev/null
cmake --build build/bench-win -j "$(nproc)"
for exe in build/bench-native/bench/*/bench_*; do
  [ -x "$exe" ] && [ -f "$exe" ] && { echo "== $exe"; "$exe"; }
done
for exe in build/bench-win/bench/*/bench_*.exe; do
  [ -f "$exe" ] && { echo "== $exe"; "$root/scripts/wine.sh" "$exe"; }
done
