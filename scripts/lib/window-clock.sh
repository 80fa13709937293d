#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sourced by the window benchmarks: how long a program takes from its start
# until its window is shown. The window manager lists a window in
# _NET_CLIENT_LIST as it maps it: one listener, woken by the X server,
# stamps each change with bash's clock, so the measurement takes no CPU from
# the program being started.
#
#   start_window_clock FILE        starts the listener (its pid joins `pids`)
#   time_window TITLE COMMAND...   starts COMMAND and waits for a window
#                                  titled TITLE; sets `pid` and `ms`
#   stop_program PID               ends it and waits for its window to go
#   measure_starts RUNS WHICH...   starts each RUNS times, in turn so that
#                                  warm caches favour none, through the
#                                  caller's `launch WHICH`; appends the time
#                                  to its window and its resident memory
#                                  (VmRSS) two seconds later to the caller's
#                                  start_ms[WHICH] and rss_kib[WHICH]
#   median < NUMBERS               the median of numbers separated by spaces
#   ratio A B                      A / B to two places

start_window_clock() {
  clients=$1
  : >"$clients"
  stdbuf -oL xprop -root -spy _NET_CLIENT_LIST 2>/dev/null |
    while IFS= read -r _; do echo "${EPOCHREALTIME/./}" >>"$clients"; done &
  pids+=($!)
  sleep 1
}

time_window() {
  local title=$1 before start tries=0
  shift
  before=$(wc -l <"$clients")
  start=${EPOCHREALTIME/./}
  "$@" >/dev/null 2>&1 &
  pid=$!
  pids+=($pid)
  until [ "$(wc -l <"$clients")" -gt "$before" ]; do
    ((++tries < 1500)) || { echo "no window from $* within 30 s" >&2; exit 1; }
    sleep 0.02
  done
  timeout 30 xdotool search --sync --onlyvisible --name "^${title}\$" >/dev/null ||
    { echo "no window titled '$title' from $*" >&2; exit 1; }
  ms=$((($(sed -n "$((before + 1))p" "$clients") - start) / 1000))
}

stop_program() {
  kill -KILL "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
  sleep 0.5  # the window manager's list changes again as the window goes
}

measure_starts() {
  local runs=$1 which
  shift
  for _ in $(seq "$runs"); do
    for which in "$@"; do
      launch "$which"
      sleep 2
      start_ms[$which]+="$ms "
      rss_kib[$which]+="$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status") "
      stop_program "$pid"
    done
  done
}

median() { tr ' ' '\n' | grep . | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
