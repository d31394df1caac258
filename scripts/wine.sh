#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private prefix.
# Starts Xvfb when there is no display, and keeps one persistent Wine server so
# that each further Wine process starts quickly. Used as CMake's cross-compiling
# emulator, so every Windows test and tool goes through here.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${PLEXORIA_WINEPREFIX:-$root/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer dialogs on first start.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Wine's X driver asks the display's resource database for font smoothing
# each time a font is selected. A virtual display has no database, and then
# every question reads ~/.Xdefaults and ~/.Xdefaults-HOST afresh: two failed
# file opens per font selection, which made selecting a font cost more than
# drawing with it and skewed every drawing benchmark towards code that selects
# fewer fonts. A desktop session has a database; an empty one here is read
# once. It sets nothing, so fonts are drawn exactly as before.
export XENVIRONMENT="${XENVIRONMENT:-$root/scripts/wine-x-resources}"
mkdir -p "$(dirname "$WINEPREFIX")"

lock="$(dirname "$WINEPREFIX")/.wine-setup.lock"
exec 9>"$lock"
flock 9

if [ -z "${DISPLAY:-}" ]; then
  # shellcheck source=scripts/xvfb-session.sh
  . "$root/scripts/xvfb-session.sh"
  plexoria_display_start
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1 || true
  # Wine draws the window frames itself, as Windows does: there is no window
  # manager on a virtual display to decorate them.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1 || true
  wineserver -w || true
  # wineboot answers success even when it could not make the prefix; its
  # registry files are what every later Wine start needs.
  for hive in system.reg user.reg; do
    if [ ! -f "$WINEPREFIX/$hive" ]; then
      echo "wine.sh: could not create the Wine prefix $WINEPREFIX ($hive is missing); run 'WINEPREFIX=$WINEPREFIX wineboot -i' to see why" >&2
      exit 1
    fi
  done
fi
# Wine looks for fonts in the prefix's Fonts folder; without its own copies of
# "MS Sans Serif", "Tahoma" and "Symbol" it substitutes fonts with other metrics.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ -d /usr/share/wine/fonts ] && [ ! -f "$fonts/ms_sans_serif.ttf" ]; then
  mkdir -p "$fonts"
  cp /usr/share/wine/fonts/* "$fonts/"
  wineserver -k 2>/dev/null || true  # the next server start reads the new fonts
fi
# Is the Wine server of this prefix running? (Its environment names the prefix.)
server_running() {
  local pid
  for pid in $(pgrep wineserver); do
    tr '\0' '\n' < "/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
  done
  return 1
}
if ! server_running; then
  # A persistent server, and Wine's background services started here with no
  # inherited output: otherwise they would hold the caller's pipes open (CTest
  # would wait for them until its timeout).
  setsid wineserver -p >/dev/null 2>&1 < /dev/null || true
  wine cmd /c exit 0 >/dev/null 2>&1 < /dev/null || true
fi

flock -u 9
exec 9>&-

exec wine "$@"
