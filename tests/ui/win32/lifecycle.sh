#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Nortavi.exe's life beyond its close box, under wine on the Windows
# stage's X display with openbox: the session's end (wineboot, as at
# log-off) saves the settings even with Setup open; a second start on the
# same config.ini brings the first copy's window back from minimised and
# ends without writing; a copy that was killed does not block the next
# start; a start maximised (a shortcut set so, `start /max`) shows the
# window as it is, and a start minimised stays minimised.
#
#   lifecycle.sh PATH/TO/Nortavi.exe     exit 0 pass, 77 skip (no X display), 1 fail
set -uo pipefail

exe=${1:?usage: lifecycle.sh PATH/TO/Nortavi.exe}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../support/windows/nortavi-under-wine.sh"
skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }

[ -n "${DISPLAY:-}" ] || skip "no X display (the Windows stage starts one)"
for tool in xdotool xprop xwininfo; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/packages.sh TEST_PACKAGES)"
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

# The portable layout: config.ini beside the program.
mkdir "$work/app"
cp "$exe" "$work/app/Nortavi.exe"
app_dir="Z:${work//\//\\}\\app"
config=$work/app/config.ini
log=$work/nortavi.log
wait_end() {  # PID WHAT: its exit status
  for _ in $(seq 150); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$1" 2>/dev/null && fail "$2 did not end"
  wait "$1"
}
no_window_left() {
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name '^Nortavi$' >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "a Nortavi window stayed after its program ended"
}
net_state() { xprop -id "$window" _NET_WM_STATE; }
defaults() {  # what a first start saves, byte for byte
  printf 'statusPath,%s\\\r\ntimeToSafe,15\r\ntimeToUnsafe,5\r\ncloudyAsClear,False\r\nalarmOnSafe,False\r\nalarmOnUnsafe,True\r\n' \
    "$app_dir" | od -An -c
}

# The session ends while Setup is open, on a first start: the settings the
# window holds (the defaults; not what was typed) are saved, although
# nobody closed anything.
start_nortavi "$work/app/Nortavi.exe"
xdotool mousemove --window "$window" 100 396 click 1
setup=$(timeout 20 xdotool search --sync --onlyvisible --name '^Setup$' | head -n 1)
[ -n "$setup" ] || fail "the Setup dialog did not open"
xdotool key --clearmodifiers Tab Tab Tab
xdotool type "42"
"$wine" wineboot --end-session --force </dev/null >>"$log" 2>&1 || fail "wineboot --end-session failed"
wait_end "$app_pid" "Nortavi after the session's end"
[ -f "$config" ] || fail "the session ended without config.ini being saved"
[ "$(od -An -c "$config")" = "$(defaults)" ] || fail "saved at the session's end: $(cat -A "$config")"
no_window_left
echo "the session's end saves the settings, under Setup too"

# A second start while the first runs minimised.
printf 'statusPath,%s\\status.txt\r\ntimeToSafe,20\r\ntimeToUnsafe,5\r\ncloudyAsClear,False\r\nalarmOnSafe,False\r\nalarmOnUnsafe,True\r\n' \
  "$app_dir" >"$config"
before=$(od -An -c "$config")
start_nortavi "$work/app/Nortavi.exe"
first=$app_pid
xdotool windowminimize --sync "$window"
for _ in $(seq 30); do [[ $(net_state) == *_NET_WM_STATE_HIDDEN* ]] && break; sleep 0.1; done
[[ $(net_state) == *_NET_WM_STATE_HIDDEN* ]] || fail "the window could not be minimised: $(net_state)"
printf 'statusPath,%s\\elsewhere.txt\r\ntimeToSafe,99\r\n' "$app_dir" >"$config"
(cd / && exec "$wine" "$work/app/Nortavi.exe") >>"$log" 2>&1 &
second=$!
pids+=($second)
wait_end "$second" "the second start"
status=$?
[ "$status" -eq 0 ] || fail "the second start ended with status $status"
kill -0 "$first" 2>/dev/null || fail "the first copy ended"
for _ in $(seq 30); do [[ $(net_state) != *_NET_WM_STATE_HIDDEN* ]] && break; sleep 0.1; done
[[ $(net_state) != *_NET_WM_STATE_HIDDEN* ]] || fail "the first copy's window stayed minimised"
[[ $(cat "$config") == *timeToSafe,99* ]] || fail "the second start wrote config.ini"
app_pid=$first
close_nortavi
[ "$(od -An -c "$config")" = "$before" ] || fail "the first copy did not save its own settings at its close"
echo "a second start shows the first copy's window and writes nothing"

# A copy killed outright leaves nothing that blocks the next start.
start_nortavi "$work/app/Nortavi.exe"
kill -KILL "$app_pid"
wait "$app_pid" 2>/dev/null
no_window_left
start_nortavi "$work/app/Nortavi.exe"
sleep 1
kill -0 "$app_pid" 2>/dev/null || fail "the start after a killed copy ended at once"
close_nortavi
echo "a killed copy does not block the next start"

# Started maximised: the fixed window shows as it is. Minimised: it stays so.
start_with() {  # /max or /min
  (cd / && exec "$wine" start /wait "$1" "$app_dir\\Nortavi.exe") >>"$log" 2>&1 &
  app_pid=$!
  pids+=($app_pid)
}
start_with /max
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Nortavi$' | head -n 1)
[ -n "$window" ] || fail "no window appeared for start /max"
size=$(xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
[ "$size" = 308x509 ] || fail "started maximised, the client area is $size, not 308x509"
[[ $(net_state) != *MAXIMIZED* ]] || fail "started maximised, the window is marked so: $(net_state)"
close_nortavi
start_with /min
for _ in $(seq 100); do
  window=$(xdotool search --name '^Nortavi$' 2>/dev/null | head -n 1)
  [ -n "$window" ] && [[ $(net_state) == *_NET_WM_STATE_HIDDEN* ]] && break
  sleep 0.2
done
[[ $(net_state 2>/dev/null) == *_NET_WM_STATE_HIDDEN* ]] || fail "started minimised, the window is not: $(net_state 2>&1)"
kill -0 "$app_pid" 2>/dev/null || fail "the minimised start ended"
close_nortavi  # the window manager restores it first
echo "started maximised the window is as it is; minimised, it stays so"
echo PASS
