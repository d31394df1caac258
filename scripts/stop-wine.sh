#!/usr/bin/env bash
# Ends the persistent Wine server of this checkout's prefix and the virtual
# display that the Wine wrapper started for it, if any: only those, by prefix
# and by process id.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${PLEXORIA_WINEPREFIX:-$root/build/wineprefix}"
[ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null || true
# shellcheck source=scripts/xvfb-session.sh
. "$root/scripts/xvfb-session.sh"
plexoria_display_stop
