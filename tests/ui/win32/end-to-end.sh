#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Nortavi.exe as a Windows user meets it, under wine on the Windows stage's
# X display with openbox: started from a folder with nothing else in it, it
# shows a red UNKNOWN; the user opens Setup, types the path of the file a
# simulated sensor keeps rewriting and 0 minutes to become safe, and presses
# Enter; condition and status turn green; closing the window through the
# window manager writes config.ini byte for byte. Then the same window at
# 150 % and 200 % scale; the session's end (as at log-off) under Setup; a
# second start on the same config.ini; a killed copy; starts maximised and
# minimised; and a folder it may not write to, as under Program Files:
# config.ini then goes to %APPDATA%\Nortavi.
#
#   end-to-end.sh PATH/TO/Nortavi.exe     exit 0 pass, 77 skip (no X display), 1 fail
#   NORTAVI_SCREENSHOTS=FOLDER            also keep screenshots there
set -uo pipefail

exe=${1:?usage: end-to-end.sh PATH/TO/Nortavi.exe}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../support/windows/nortavi-under-wine.sh"
skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }

[ -n "${DISPLAY:-}" ] || skip "no X display (the Windows stage starts one)"
for tool in xdotool xwininfo xprop import convert; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/lib/packages.sh TEST_PACKAGES)"
done

work=$(mktemp -d)
pids=()
# The program's folder made one the user may not write to, as Program Files
# is: for root an immutable one.
lock() { if [ "$(id -u)" -eq 0 ]; then chattr +i "$work/app"; else chmod a-w "$work/app"; fi; }
unlock() { chattr -i "$work/app" 2>/dev/null || chmod u+w "$work/app"; }
set_scale() { "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }
cleanup() {
  unlock 2>/dev/null
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  set_scale 96
  rm -rf "$work"
}
trap cleanup EXIT
set_scale 96

# The program alone in its folder, started from another one.
mkdir "$work/app"
cp "$exe" "$work/app/Nortavi.exe"
echo CLEAR >"$work/condition"
"$here/../../../tools/sensor/simulated-sensor.sh" "$work" &
pids+=($!)

log=$work/nortavi.log
start_app() { start_nortavi "$work/app/Nortavi.exe"; }
close_app() { close_nortavi; }
client_size() { xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}'; }
shot() {  # NAME WINDOW: the window with its frame, as docs/ shows it
  [ -n "${NORTAVI_SCREENSHOTS:-}" ] || return 0
  local x y w h left right top bottom
  eval "$(xwininfo -id "$2" | awk '/Absolute upper-left X/ {print "x=" $4} /Absolute upper-left Y/ {print "y=" $4}
                                   /Width:/ {print "w=" $2} /Height:/ {print "h=" $2}')"
  IFS=', ' read -r left right top bottom < <(xprop -id "$2" _NET_FRAME_EXTENTS | sed 's/.*= //')
  xdotool mousemove 1590 1190  # the pointer off the picture
  sleep 0.3
  import -window root -crop "$((w + left + right))x$((h + top + bottom))+$((x - left))+$((y - top))" +repage \
    "$NORTAVI_SCREENSHOTS/$1.png"
}

# How many pixels of a field are this colour: ConditionField (240, 2760
# twips; 4095 x 975) or StatusField (240, 4680; 4095 x 735).
declare -A field=([condition]=273x65+16+184 [status]=273x49+16+312)
count_colour() {
  import -window "$window" "$work/window.png" 2>/dev/null || return 1
  convert "$work/window.png" -crop "${field[$1]}" +repage -fill black +opaque "$2" -fill white -opaque "$2" \
    -format '%[fx:round(mean*w*h)]' info: 2>/dev/null
}
wait_for_colour() {  # FIELD COLOUR NAME
  local n
  for _ in $(seq 40); do
    n=$(count_colour "$1" "$2")
    [ "${n:-0}" -gt 300 ] && return 0
    sleep 0.5
  done
  cp "$work/window.png" "${TMPDIR:-/tmp}/nortavi-wine-failure.png" 2>/dev/null
  fail "the $1 never turned $3 (last count ${n:-none}; kept in ${TMPDIR:-/tmp}/nortavi-wine-failure.png)"
}

start_app
[ "$(client_size)" = 308x509 ] || fail "client area $(client_size), not 308x509 (4620 x 7635 twips)"
actions=$(xprop -id "$window" _NET_WM_ALLOWED_ACTIONS)
[[ $actions == *_NET_WM_ACTION_MINIMIZE* ]] || fail "no minimise: $actions"
[[ $actions != *_NET_WM_ACTION_MAXIMIZE* ]] || fail "maximise offered: $actions"
wait_for_colour condition '#FF0000' red
wait_for_colour status '#FF0000' red
echo "first start: red UNKNOWN"
shot screenshot-win32-first-start "$window"

# Setup (72, 384 px; 57 x 25): the dialog opens on OK; Tab twice reaches the
# status path, and once more the minutes to become safe; Tab selects a
# field's text, so typing replaces it.
xdotool mousemove --window "$window" 100 396 click 1
setup=$(timeout 20 xdotool search --sync --onlyvisible --name '^Setup$' | head -n 1)
[ -n "$setup" ] || fail "the Setup dialog did not open"
sleep 0.5
shot screenshot-win32-setup "$setup"
status_path="Z:${work//\//\\}\\status.txt"
xdotool key --clearmodifiers Tab Tab
xdotool type --delay 5 "$status_path"
xdotool key --clearmodifiers Tab
xdotool type "0"
xdotool key --clearmodifiers Return
for _ in $(seq 50); do [ -s "$work/app/config.ini" ] && break; sleep 0.1; done
xdotool search --onlyvisible --name '^Setup$' >/dev/null 2>&1 && fail "the Setup dialog did not close on Enter"
grep -qF "statusPath,$status_path" "$work/app/config.ini" || fail "Setup did not save the path: $(cat "$work/app/config.ini")"
wait_for_colour condition '#00FF00' green
wait_for_colour status '#00FF00' green
echo "after Setup: green CLEAR and SAFE from the sensor's file"
shot screenshot-win32-clear-safe "$window"

close_app
expected=$(printf 'statusPath,%s\r\ntimeToSafe,0\r\ntimeToUnsafe,5\r\ncloudyAsClear,False\r\nalarmOnSafe,False\r\nalarmOnUnsafe,True\r\n' \
  "$status_path" | od -An -c)
actual=$(od -An -c "$work/app/config.ini")
[ "$actual" = "$expected" ] || { echo "expected:"; echo "$expected"; echo "actual:"; echo "$actual"; fail "config.ini"; }
# A portable copy keeps its night log beside it too: tonight's file alone.
[ "$(ls "$work/app")" = "$(printf 'Nortavi.exe\nconfig.ini\nnights')" ] || fail "left beside the program: $(ls "$work/app")"
ls "$work/app/nights" | grep -qxE '[0-9]{4}-[0-9]{2}-[0-9]{2}\.csv' || fail "the night log: $(ls "$work/app/nights")"
echo "closed through the window manager; config.ini written byte for byte"

for scale in 144:462x764 192:616x1018; do
  set_scale "${scale%%:*}"
  start_app
  [ "$(client_size)" = "${scale#*:}" ] || fail "at ${scale%%:*} DPI the client area is $(client_size), not ${scale#*:}"
  close_app
  echo "at ${scale%%:*} DPI: ${scale#*:}"
done
set_scale 96

wait_end() {  # PID WHAT: fails unless it ends; its status
  for _ in $(seq 150); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$1" 2>/dev/null && fail "$2 did not end"
  wait "$1"
}
gone() {  # waits for the last window to go before the next start looks for one
  for _ in $(seq 100); do xdotool search --onlyvisible --name '^Nortavi$' >/dev/null || return 0; sleep 0.1; done
}
net_state() { xprop -id "$window" _NET_WM_STATE; }
minimised() { [[ $(net_state) == *_NET_WM_STATE_HIDDEN* ]]; }
config=$work/app/config.ini

# The session ends on a first start with Setup open: the settings the
# window holds are saved (the defaults, not what was typed), though nothing
# was closed.
rm -f "$config"
start_app
xdotool mousemove --window "$window" 100 396 click 1
timeout 20 xdotool search --sync --onlyvisible --name '^Setup$' >/dev/null || fail "no Setup dialog"
xdotool key --clearmodifiers Tab Tab Tab
xdotool type "42"
"$wine" wineboot --end-session --force </dev/null >>"$log" 2>&1 || fail "wineboot --end-session failed"
wait_end "$app_pid" "Nortavi at the session's end"
expected=$(printf 'statusPath,Z:%s\\app\\\r\ntimeToSafe,15\r\ntimeToUnsafe,5\r\ncloudyAsClear,False\r\nalarmOnSafe,False\r\nalarmOnUnsafe,True\r\n' \
  "${work//\//\\}" | od -An -c)
[ "$(od -An -c "$config" 2>/dev/null)" = "$expected" ] || fail "at the session's end config.ini was: $(cat -A "$config" 2>&1)"
gone
echo "the session's end saves the settings, under Setup too"

# A second start while the first runs minimised: the first comes back, the
# second ends at once and writes nothing (the first saves its own at its close).
before=$(od -An -c "$config")
start_app
first=$app_pid
xdotool windowminimize --sync "$window"
for _ in $(seq 30); do minimised && break; sleep 0.1; done
minimised || fail "the window could not be minimised: $(net_state)"
echo "timeToSafe,99" >"$config"
(cd / && exec "$wine" "$work/app/Nortavi.exe") >>"$log" 2>&1 &
pids+=($!)
wait_end $! "the second start" || fail "the second start ended with status $?"
kill -0 "$first" 2>/dev/null || fail "the first copy ended"
for _ in $(seq 30); do minimised || break; sleep 0.1; done
minimised && fail "the first copy's window stayed minimised"
[ "$(cat "$config")" = timeToSafe,99 ] || fail "the second start wrote config.ini"
app_pid=$first
close_app
[ "$(od -An -c "$config")" = "$before" ] || fail "the first copy did not save its settings"
echo "a second start shows the first copy's window and writes nothing"

# A copy killed outright does not block the next start.
start_app
kill -KILL "$app_pid"
wait "$app_pid" 2>/dev/null
gone
start_app
close_app
echo "a killed copy does not block the next start"

# Started maximised (a shortcut set so, `start /max`), the fixed window
# shows as it is; started minimised, it stays so.
start_as() {
  (cd / && exec "$wine" start /wait "$1" "Z:${work//\//\\}\\app\\Nortavi.exe") >>"$log" 2>&1 &
  app_pid=$!
  pids+=($app_pid)
}
start_as /max
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Nortavi$' | head -n 1)
[ "$(client_size)" = 308x509 ] || fail "started maximised, the client area is $(client_size)"
[[ $(net_state) != *MAXIMIZED* ]] || fail "started maximised, the window is marked so: $(net_state)"
close_app
gone
start_as /min
for _ in $(seq 100); do
  window=$(xdotool search --name '^Nortavi$' | head -n 1)
  [ -n "$window" ] && minimised 2>/dev/null && break
  sleep 0.2
done
minimised || fail "started minimised, the window is not: $(net_state)"
close_app  # the window manager restores it first
echo "started maximised, the window is as it is; minimised, it stays so"

# From a folder the user may not write to.
rm -rf "$work/app/config.ini" "$work/app/nights"
appdata="${WINEPREFIX:-$HOME/.wine}/drive_c/users/$(id -un)/AppData/Roaming/Nortavi"
rm -rf "$appdata"
if lock 2>/dev/null; then
  start_app
  close_app
  unlock
  [ -f "$appdata/config.ini" ] || fail "no config.ini in %APPDATA%\\Nortavi for a program in a read-only folder"
  [ "$(ls "$work/app")" = Nortavi.exe ] || fail "written beside a read-only program: $(ls "$work/app")"
  head -n 1 "$appdata/config.ini" | grep -qF "statusPath,Z:${work//\//\\}\\app\\" ||
    fail "the default status path is not the program's folder: $(head -n 1 "$appdata/config.ini")"
  echo "from a read-only folder: config.ini in %APPDATA%\\Nortavi"
else
  echo "(this file system cannot make a folder read-only for root: that part was not run)"
fi
echo PASS
