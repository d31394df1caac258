#!/usr/bin/env bash
# Builds plexoria.exe and starts it under Wine. Without a display it runs on
# Xvfb, saves a screenshot of the screen to build/plexoria-screenshot.png and
# says where.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
"$root/scripts/setup.sh"
cmake -S . -B build/win-release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release -DPLEXORIA_TESTS=OFF >/dev/null
cmake --build build/win-release -j "$(nproc)" --target plexoria
exe="$root/build/win-release/app/plexoria.exe"

if [ -n "${DISPLAY:-}" ]; then
  exec "$root/scripts/wine.sh" "$exe"
fi

# This checkout's own virtual display; the Wine wrapper finds it running.
. "$root/scripts/xvfb-session.sh"
plexoria_display_start
"$root/scripts/wine.sh" "$exe" &
pid=$!
shot="$root/build/plexoria-screenshot.png"
# Wait until the window is on the screen, then give it time to paint.
for _ in $(seq 1 100); do
  xwininfo -root -tree -display "$DISPLAY" 2>/dev/null | grep -q '"Plexoria"' && break
  sleep 0.2
done
sleep 1.5
# The window's real rectangle on the screen: xwininfo gives each window's
# size and absolute position ("251x551+731+341  +731+341"); of the windows
# titled "Plexoria" (the application's hidden window has the title too) the
# largest is the main window.
geometry="$(xwininfo -root -tree -display "$DISPLAY" 2>/dev/null | awk '
  /"Plexoria"/ {
    for (i = 1; i < NF; i++) if ($i ~ /^[0-9]+x[0-9]+[+-][0-9]+[+-][0-9]+$/ && $(i + 1) ~ /^[+-][0-9]+[+-][0-9]+$/) {
      split($i, size, /[x+-]/); area = size[1] * size[2]
      if (area > best) { best = area; split($i, wh, /[+-]/); geometry = wh[1] $(i + 1) }
    }
  }
  END { if (best > 0) print geometry }')"
if [ -n "$geometry" ]; then
  import -display "$DISPLAY" -window root -crop "$geometry" +repage "$shot"
  echo "Plexoria runs on the virtual display $DISPLAY (pid $pid)."
  echo "Screenshot of the window ($geometry): $shot"
else
  echo "run: the Plexoria window did not appear on $DISPLAY; no screenshot taken" >&2
fi
echo "Press Ctrl+C to stop it."
wait "$pid"
