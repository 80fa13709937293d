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
run() {
  "$wine" "$@" > >(tee "$output") 2> >(tee -a "$output" >&2)
  status=$?
  wait
}
started=$(date +%s%N)
run "$@"
# glibc's dynamic loader can trip an assertion of its own ("Inconsistency
# detected by ld.so: dl-fini.c") in wine's Unix process as that process
# ends, after the Windows program has finished and reported; the status
# is then the loader's, not the program's. Seen once in a loaded stage run.
# Such a run, and only such a run, is made once more.
if [ "$status" -ne 0 ] && grep -q "Inconsistency detected by ld.so: dl-fini.c" "$output"; then
  echo "run-under-wine: wine's Unix loader failed as the process ended; running it once more" >&2
  : >"$output"
  run "$@"
fi
# Wine can fail a process in its start-up, before the program's first line,
# in two ways seen here (each about 1 stage run in 8):
# - wine's loader ends with status 1, silently, within some 15 ms, before
#   any Windows program could have been loaded;
# - wine's server drops the new process's connection before its first
#   thread is set up: the client prints "wine client error:0: recvmsg:
#   Connection reset by peer" (thread 0: none yet) and ends in some 20 ms.
# Such a run, and only such a run (a failure in under a second with no
# output but wine's own errors from before the first thread), is made once
# more; what it looked like is still said.
only_wine_start_errors() {
  ! grep -v -e '^wine client error:0: ' -e '^$' "$output" | grep -q .
}
elapsed=$((($(date +%s%N) - started) / 1000000))
if [ "$status" -ne 0 ] && [ "$elapsed" -lt 1000 ] && only_wine_start_errors; then
  said=$(head -c 200 "$output" | tr '\n' ' ')
  echo "run-under-wine: wine ended with status $status after $elapsed ms, before the" \
    "program could start${said:+ (wine said: $said)}; running it once more" >&2
  : >"$output"
  started=$(date +%s%N)
  run "$@"
fi
if [ "$status" -ne 0 ] && [ ! -s "$output" ]; then
  elapsed=$((($(date +%s%N) - started) / 1000000))
  server="no wine server was running for ${WINEPREFIX:-~/.wine}"
  pgrep -u "$(id -u)" wineserver >/dev/null && server="a wine server was running"
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
