#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sourced by the scripts that show Nortavi on a private X display. Both
# functions work on the caller's array `pids`.
#
# start_desktop LOGDIR [WIDTHxHEIGHT]: starts Xvfb (1024x768 unless told) on a
# display number of its own choosing (so parallel runs do not collide) and
# openbox on it, exports DISPLAY, and appends both process ids to the
# caller's `pids` array. Returns 1 when Xvfb does not start; its log is
# LOGDIR/xvfb.log.
start_desktop() {
  local logdir=$1 screen=${2:-1024x768} fd display=""
  exec {fd}<> <(:)
  Xvfb -displayfd "$fd" -screen 0 "${screen}x24" -nolisten tcp >"$logdir/xvfb.log" 2>&1 &
  pids+=($!)
  read -r -t 15 -u "$fd" display || true
  exec {fd}>&-
  [ -n "$display" ] || return 1
  export DISPLAY=":$display"
  unset QT_QPA_PLATFORM WAYLAND_DISPLAY
  openbox --sm-disable >"$logdir/openbox.log" 2>&1 &
  pids+=($!)
  # A window mapped while openbox is still starting can be left unmanaged
  # (never framed, never shown): wait until it has taken the screen.
  local _
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.1
  done
}

# stop_all: ends every process in `pids`, asking first, then insisting.
stop_all() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  sleep 0.5
  for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
