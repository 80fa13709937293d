#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real program under Xvfb with a window manager: a second process keeps
# rewriting the status file, the window must show the condition's colour in
# ConditionField, and closing it through the window manager (Alt+F4) must
# write config.ini.
#
#   end-to-end.sh PATH/TO/nortavi       exit 0 pass, 77 skip (no X server), 1 fail
set -uo pipefail

app=${1:?usage: end-to-end.sh PATH/TO/nortavi}
skip() { echo "SKIP: $*"; exit 77; }
fail() {
  echo "FAIL: $*"
  if [ -s "${work:-/nonexistent}/nortavi.log" ]; then
    echo "--- nortavi's output (last lines):"
    grep -v '^ALSA lib' "$work/nortavi.log" | tail -n 20
  fi
  exit 1
}

command -v Xvfb >/dev/null || skip "Xvfb is not installed"
for tool in openbox xdotool xwininfo xprop import convert; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/lib/packages.sh TEST_PACKAGES)"
done

work=$(mktemp -d)
pids=()
source "$(dirname "$0")/../../../scripts/lib/xvfb-desktop.sh"
cleanup() {
  stop_all
  rm -rf "$work"
}
trap cleanup EXIT

start_desktop "$work" || skip "Xvfb would not start: $(tail -n 3 "$work/xvfb.log")"

# The program reads config.ini and alarm.wav beside itself.
mkdir "$work/app"
cp "$app" "$work/app/nortavi"
printf 'statusPath,%s\r\ntimeToSafe,7\r\ntimeToUnsafe,5\r\ncloudyAsClear,False\r\nalarmOnSafe,true\r\nalarmOnUnsafe,True\r\nstray,line\r\n' \
  "$work/status.txt" >"$work/app/config.ini"
expected_config=$(printf 'statusPath,%s\r\ntimeToSafe,7\r\ntimeToUnsafe,5\r\ncloudyAsClear,False\r\nalarmOnSafe,False\r\nalarmOnUnsafe,True\r\n' \
  "$work/status.txt" | od -An -c)

# The sensor's stand-in: a fresh line every second, replaced as a whole.
echo CLEAR >"$work/condition"
"$(dirname "$0")/../../../tools/sensor/simulated-sensor.sh" "$work" &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/status.txt" ] && break; sleep 0.1; done

"$work/app/nortavi" >"$work/nortavi.log" 2>&1 &
app_pid=$!
pids+=($app_pid)

window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Nortavi$' | head -n 1)
[ -n "$window" ] || fail "no window titled Nortavi appeared"

# ConditionField is at (240, 2760) twips, 4095 x 975: pixels 16, 184, 273 x 65.
origin_x=$(xwininfo -id "$window" | awk '/Absolute upper-left X/ {print $4}')
origin_y=$(xwininfo -id "$window" | awk '/Absolute upper-left Y/ {print $4}')
field="273x65+$((origin_x + 16))+$((origin_y + 184))"

# How many pixels of ConditionField are exactly this colour.
count_colour() {
  import -window root "$work/screen.png" 2>/dev/null || return 1
  convert "$work/screen.png" -crop "$field" +repage -fill black +opaque "$1" -fill white -opaque "$1" \
    -format '%[fx:round(mean*w*h)]' info: 2>/dev/null
}
wait_for_colour() {
  local colour=$1 name=$2 n
  for _ in $(seq 30); do
    n=$(count_colour "$colour")
    [ "${n:-0}" -gt 300 ] && return 0
    sleep 0.5
  done
  cp "$work/screen.png" "${TMPDIR:-/tmp}/nortavi-end-to-end-failure.png" 2>/dev/null
  fail "ConditionField never turned $name (last count ${n:-none}; screen kept in ${TMPDIR:-/tmp}/nortavi-end-to-end-failure.png)"
}

wait_for_colour '#00FF00' green
# Publishing to observatory software is off unless turned on: nothing listens.
listening=$(ss -Hltunp 2>/dev/null | grep "pid=$app_pid,")
[ -z "$listening" ] || fail "nortavi listens on the network with publishing off: $listening"
echo "CLEAR shown in green"

# The window manager offers minimise but not maximise for the fixed-size window.
actions=$(xprop -id "$window" _NET_WM_ALLOWED_ACTIONS)
[[ $actions == *_NET_WM_ACTION_MINIMIZE* ]] || fail "no minimise: $actions"
[[ $actions != *_NET_WM_ACTION_MAXIMIZE* ]] || fail "maximise offered: $actions"

echo V.CLOUDY >"$work/condition"
wait_for_colour '#FF0000' red
echo "V.CLOUDY shown in red after the next polls"

kill -0 "$app_pid" 2>/dev/null || fail "nortavi is no longer running"
xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
xdotool key --clearmodifiers alt+F4
for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app_pid" 2>/dev/null && fail "nortavi did not end after Alt+F4"
wait "$app_pid"
status=$?
[ "$status" -eq 0 ] || fail "nortavi ended with status $status"

actual_config=$(od -An -c "$work/app/config.ini")
if [ "$actual_config" != "$expected_config" ]; then
  echo "expected:"; echo "$expected_config"
  echo "actual:"; echo "$actual_config"
  fail "config.ini is not what the close should have written"
fi
echo "closed through the window manager; config.ini rewritten byte for byte"

# A first start elsewhere: no status yet, so the comms alarm is up at once.
# Turned away from, the window is marked as wanting attention (the window
# manager leaves the window in use unmarked) until the alarm is cancelled.
mkdir "$work/first"
cp "$app" "$work/first/nortavi"
"$work/first/nortavi" >"$work/first.log" 2>&1 &
first=$!
pids+=($first)
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Nortavi$' | head -n 1)
[ -n "$window" ] || fail "no window at the first start"
attention() { xprop -id "$window" _NET_WM_STATE | grep -c DEMANDS_ATTENTION; }
xdotool windowminimize --sync "$window"
sleep 0.5
[ "$(attention)" = 1 ] || fail "an alarm in a window turned away from does not ask for attention"
# Back from minimised, the window is active only once the window manager
# says so; a key sent before that goes nowhere.
for _ in $(seq 50); do
  xdotool windowactivate "$window" 2>/dev/null || true
  [ "$(xdotool getactivewindow 2>/dev/null)" = "$window" ] && break
  sleep 0.1
done
[ "$(xdotool getactivewindow 2>/dev/null)" = "$window" ] || fail "the window could not be brought back"
sleep 0.3
xdotool key --clearmodifiers Return  # the alarm button
sleep 0.5
xdotool windowminimize --sync "$window"
sleep 0.5
[ "$(attention)" = 0 ] || fail "still asking for attention after the alarm was cancelled"
echo "an alarm asks for attention until it is cancelled"
echo "PASS"
