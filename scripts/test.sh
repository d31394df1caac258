#!/usr/bin/env bash
# Builds everything and runs every test: the platform-neutral core natively
# under AddressSanitizer and UBSan, the fuzz targets over their seed corpora
# (clang), the Windows build under Wine, and clang-tidy over both builds'
# translation units. Exits non-zero on any failure.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
"$root/scripts/setup.sh"
jobs="$(nproc)"

echo "== native core (ASan, UBSan)"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug -DPLEXORIA_SANITIZE=ON >/dev/null
cmake --build build/native -j "$jobs"
(cd build/native && ctest --output-on-failure -j "$jobs")

echo "== fuzz targets over their seed corpora (clang)"
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLEXORIA_FUZZ=ON -DPLEXORIA_TESTS=ON >/dev/null
cmake --build build/fuzz -j "$jobs"
(cd build/fuzz && ctest --output-on-failure -j "$jobs" -R '_corpus$')

echo "== Windows build under Wine"
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/win -j "$jobs"
trap '"$root/scripts/stop-wine.sh"' EXIT
"$root/scripts/wine.sh" cmd /c exit 0 >/dev/null 2>&1 || true
# Windows tests share one X display and one desktop: run them one at a time.
(cd build/win && ctest --output-on-failure -j 1)

echo "== static analysis (clang-tidy)"
"$root/scripts/tidy.sh" build/native build/win
