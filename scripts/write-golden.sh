#!/usr/bin/env bash
# Makes the reference pictures of the drawing tests again (tests/*/golden/).
# Look at every picture it writes before committing it. Usage:
#   scripts/write-golden.sh [CTEST_REGEX]   (default: every golden-image test)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
"$root/scripts/setup.sh"
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/win -j "$(nproc)"
trap '"$root/scripts/stop-wine.sh"' EXIT
(cd build/win && PLEXORIA_WRITE_GOLDEN=1 ctest --output-on-failure -j 1 -R "${1:-render_markup_tests|skin_|html_listbox_tests}")
