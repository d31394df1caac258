#!/usr/bin/env bash
# Ends the persistent Wine server of the project's prefix (and the Xvfb that the
# Wine wrapper started, if any).
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${PLEXORIA_WINEPREFIX:-$root/build/wineprefix}"
[ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null || true
display="${PLEXORIA_XVFB_DISPLAY:-:87}"
pkill -f "Xvfb $display " 2>/dev/null || true
