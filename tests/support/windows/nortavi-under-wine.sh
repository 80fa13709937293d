#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sourced by the tests that run Nortavi.exe under wine on an X display with
# a window manager. The caller defines fail() and a `pids` array, and may
# set `wine` (the 64-bit loader) and `log`.
#
#   start_nortavi EXE   starts it from another folder and waits for its
#                       window; sets app_pid and window
#   close_nortavi       closes it through the window manager (Alt+F4) and
#                       fails unless it ends, with status 0

wine=${wine:-${NORTAVI_WINE64:-/usr/lib/wine/wine64}}

start_nortavi() {
  (cd / && exec "$wine" "$1") >"${log:-/dev/null}" 2>&1 &
  app_pid=$!
  pids+=($app_pid)
  window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Nortavi$' | head -n 1)
  [ -n "$window" ] || fail "no window titled Nortavi appeared from $1"
}

close_nortavi() {
  xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
  xdotool key --clearmodifiers alt+F4
  for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$app_pid" 2>/dev/null && fail "Nortavi did not end after Alt+F4"
  wait "$app_pid" || fail "Nortavi ended with status $?"
}
