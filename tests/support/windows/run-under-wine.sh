#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# How CTest and the test discovery run a Windows test program:
#
#   run-under-wine.sh WINE64 PROGRAM.exe ARGS...
#
# Every GoogleTest program writes a line before its first test, so a run
# that fails without a single byte of output ended inside wine, before the
# program's own code. CTest would show only "Failed" and a time; this says
# what is known instead: the status, how long wine ran, and whether the
# prefix's server was there.
wine=$1
shift
output=$(mktemp)
trap 'rm -f "$output"' EXIT
started=$(date +%s%N)
"$wine" "$@" > >(tee "$output") 2> >(tee -a "$output" >&2)
status=$?
wait
if [ "$status" -ne 0 ] && [ ! -s "$output" ]; then
  elapsed=$((($(date +%s%N) - started) / 1000000))
  server="no wine server was running for ${WINEPREFIX:-~/.wine}"
  pgrep -u "$(id -u)" -x wineserver >/dev/null && server="a wine server was running"
  if [ "$status" -gt 128 ]; then
    how="was ended by signal $((status - 128))"
  else
    how="ended with status $status"
  fi
  echo "run-under-wine: $(basename -- "$1") $how after $elapsed ms without writing anything;" \
    "$server. Output the program buffered is lost when wine ends it, so a run this short" \
    "ended in wine's start-up or the program's first steps." >&2
fi
exit "$status"
