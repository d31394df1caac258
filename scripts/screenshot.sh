#!/usr/bin/env bash
# Makes the README's picture, docs/plexoria.png: starts the real plexoria.exe
# under Wine on this checkout's virtual display, drops a few clips into it
# from another process (tests/e2e/docs_screenshot_main.cpp), selects one and
# saves the window, cropped to its edges. Look at the picture before
# committing it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
"$root/scripts/setup.sh"
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/win -j "$(nproc)" --target plexoria docs_screenshot

# Always the virtual display, so the picture does not depend on the
# desktop it was made on.
unset DISPLAY
trap '"$root/scripts/stop-wine.sh"' EXIT
bmp="$root/build/docs-screenshot.bmp"
rm -f "$bmp"
"$root/scripts/wine.sh" "$root/build/win/tests/e2e/docs_screenshot.exe" 'Z:'"${bmp//\//\\}"
mkdir -p docs
# No time or other metadata in the file: the same window gives the same bytes.
convert "$bmp" -strip -define png:exclude-chunks=date,time docs/plexoria.png
echo "screenshot: docs/plexoria.png ($(identify -format '%wx%h' docs/plexoria.png))"
