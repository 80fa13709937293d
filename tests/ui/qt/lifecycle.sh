#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real program's life beyond its close box, under Xvfb with a window
# manager: a signal to end (a service manager, log-off) saves the settings;
# a second start on the same config.ini brings the first copy's window back
# from minimised and ends without writing; a copy that was killed leaves no
# lock that blocks the next start.
#
#   lifecycle.sh PATH/TO/nortavi       exit 0 pass, 77 skip (no X server), 1 fail
set -uo pipefail

app=${1:?usage: lifecycle.sh PATH/TO/nortavi}
skip() { echo "SKIP: $*"; exit 77; }
fail() {
  echo "FAIL: $*"
  [ -s "${work:-/nonexistent}/nortavi.log" ] && { echo "--- nortavi's output:"; tail -n 20 "$work/nortavi.log"; }
  exit 1
}

command -v Xvfb >/dev/null || skip "Xvfb is not installed"
work=$(mktemp -d)
pids=()
source "$(dirname "$0")/../../../scripts/lib/xvfb-desktop.sh"
trap 'stop_all; rm -rf "$work"' EXIT
start_desktop "$work" || skip "Xvfb would not start"

# The portable layout: config.ini beside the program.
mkdir "$work/app"
cp "$app" "$work/app/nortavi"
start_copy() {
  "$work/app/nortavi" >>"$work/nortavi.log" 2>&1 &
  pid=$!
  pids+=($pid)
}
wait_window() {
  window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$pid" --name '^Nortavi$' | head -n 1)
  [ -n "$window" ] || fail "no window appeared"
}
wait_end() {
  for _ in $(seq 100); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$1" 2>/dev/null && fail "$2 did not end"
  wait "$1"
}

# SIGTERM: the first start's defaults are saved as a close would save them.
start_copy
wait_window
kill -TERM "$pid"
wait_end "$pid" "nortavi after SIGTERM"
status=$?
[ "$status" -eq 0 ] || fail "nortavi ended with status $status after SIGTERM"
grep -q $'^alarmOnUnsafe,True\r$' "$work/app/config.ini" 2>/dev/null ||
  fail "SIGTERM ended nortavi without saving config.ini"
echo "SIGTERM saves the settings"

# A second start while the first runs minimised.
printf 'statusPath,%s\r\ntimeToSafe,20\r\ntimeToUnsafe,5\r\ncloudyAsClear,False\r\nalarmOnSafe,False\r\nalarmOnUnsafe,True\r\n' \
  "$work/status.txt" >"$work/app/config.ini"
before=$(od -An -c "$work/app/config.ini")
start_copy
first=$pid
wait_window
hidden() { xprop -id "$window" _NET_WM_STATE | grep -c _NET_WM_STATE_HIDDEN; }
# Asked again while the window manager has not yet taken a window just
# mapped (under load it passes over the first request).
for _ in 1 2 3 4 5; do
  timeout 5 xdotool windowminimize --sync "$window" >/dev/null 2>&1
  [ "$(hidden)" = 1 ] && break
  sleep 0.5
done
[ "$(hidden)" = 1 ] || fail "the window could not be minimised"
printf 'statusPath,%s\r\ntimeToSafe,99\r\n' "$work/elsewhere.txt" >"$work/app/config.ini"
start_copy
second=$pid
wait_end "$second" "the second start"
[ $? -eq 0 ] || fail "the second start did not end cleanly"
kill -0 "$first" 2>/dev/null || fail "the first copy ended"
for _ in $(seq 30); do [ "$(hidden)" = 0 ] && break; sleep 0.1; done
[ "$(hidden)" = 0 ] || fail "the first copy's window stayed minimised"
[[ $(cat "$work/app/config.ini") == *timeToSafe,99* ]] || fail "the second start wrote config.ini"
echo "a second start shows the first copy's window and writes nothing"

# SIGINT (Ctrl+C in a terminal) closes the first copy, which writes its own.
kill -INT "$first"
wait_end "$first" "nortavi after SIGINT"
[ "$(od -An -c "$work/app/config.ini")" = "$before" ] || fail "SIGINT did not save the first copy's settings"

# A copy killed outright leaves nothing that blocks the next start.
start_copy
wait_window
kill -KILL "$pid"
wait "$pid" 2>/dev/null
start_copy
wait_window
echo "a killed copy does not block the next start"
echo PASS
