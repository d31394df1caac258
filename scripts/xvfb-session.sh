#!/usr/bin/env bash
# Sourced by the Wine scripts. Gives this checkout its own virtual X display:
# Xvfb picks a free display number itself (-displayfd), so two checkouts on one
# machine never share a screen or stop each other's. The display number and
# the server's process id are kept under build/, and only that process is ever
# stopped.
#
# plexoria_display_start: sets DISPLAY to this checkout's display, starting
#   Xvfb when it is not running yet.
# plexoria_display_stop: stops the Xvfb this checkout started, by its id.

plexoria_session_dir="${PLEXORIA_SESSION_DIR:-$root/build/x-session}"

plexoria_display_alive() {
  local pid display
  [ -f "$plexoria_session_dir/xvfb.pid" ] && [ -f "$plexoria_session_dir/display" ] || return 1
  pid="$(cat "$plexoria_session_dir/xvfb.pid")"
  display="$(cat "$plexoria_session_dir/display")"
  [ -n "$pid" ] && [ -n "$display" ] || return 1
  tr '\0' ' ' < "/proc/$pid/cmdline" 2>/dev/null | grep -q '^Xvfb ' || return 1
  xdpyinfo -display ":$display" >/dev/null 2>&1
}

plexoria_display_start() {
  mkdir -p "$plexoria_session_dir"
  if ! plexoria_display_alive; then
    rm -f "$plexoria_session_dir/display" "$plexoria_session_dir/xvfb.pid"
    # setsid: the X server outlives this script and the test that started it.
    # The inner shell records its own id, which exec hands on to Xvfb.
    setsid bash -c 'echo $$ > "$1/xvfb.pid"; exec Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -ac 3>"$1/display.new"' \
      _ "$plexoria_session_dir" >/dev/null 2>&1 < /dev/null &
    local i
    for i in $(seq 1 200); do
      if [ -s "$plexoria_session_dir/display.new" ]; then
        tr -d '\n ' < "$plexoria_session_dir/display.new" > "$plexoria_session_dir/display"
        rm -f "$plexoria_session_dir/display.new"
        break
      fi
      sleep 0.05
    done
    if ! plexoria_display_alive; then
      echo "xvfb-session: could not start Xvfb" >&2
      return 1
    fi
  fi
  export DISPLAY=":$(cat "$plexoria_session_dir/display")"
}

plexoria_display_stop() {
  if plexoria_display_alive; then
    kill "$(cat "$plexoria_session_dir/xvfb.pid")" 2>/dev/null || true
  fi
  rm -f "$plexoria_session_dir/display" "$plexoria_session_dir/xvfb.pid" "$plexoria_session_dir/display.new"
}
