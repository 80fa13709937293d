#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Regenerates the main window's screenshots in docs/ under Xvfb and openbox:
#   docs/screenshot-first-start.png     no config.ini, no status: UNKNOWN, comms alarm
#   docs/screenshot-clear-safe.png      a fresh CLEAR status: SAFE
#   docs/screenshot-vcloudy-unsafe.png  V.CLOUDY until UNSAFE: the unsafe alarm sounding
#
#   tools/screenshots.sh [PATH/TO/nortavi]     (default: builds build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

app=${1:-}
if [ -z "$app" ]; then
  cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DNORTAVI_BUILD_BENCHMARKS=OFF >/dev/null
  cmake --build build/release --target nortavi
  app=build/release/ui/qt/nortavi
fi
app=$(realpath "$app")

work=$(mktemp -d)
pids=()
source scripts/lib/xvfb-desktop.sh
cleanup() {
  stop_all
  rm -rf "$work"
}
trap cleanup EXIT

start_desktop "$work" || { echo "Xvfb would not start" >&2; exit 1; }
sleep 1

# The sensor's stand-in on $1 (see tools/sensor), from $2 seconds on.
start_writer() {
  tools/sensor/simulated-sensor.sh "$1" "${2:-0}" &
  writer=$!
  pids+=($writer)
}

# shoot NAME SECONDS: starts the program in $folder, waits, and saves the
# window with its frame as docs/NAME.png.
shoot() {
  local name=$1 seconds=$2 window x y left right top bottom
  "$folder/nortavi" >"$folder/nortavi.log" 2>&1 &
  local pid=$!
  window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Nortavi$' | head -n 1)
  # Until the first paint the client area is black.
  for _ in $(seq 50); do
    import -window "$window" "$work/probe.png" 2>/dev/null &&
      [ "$(convert "$work/probe.png" -format '%[fx:mean>0.3]' info:)" = 1 ] && break
    sleep 0.2
  done
  sleep "$seconds"
  # Keep the mouse pointer off the window.
  xdotool mousemove 1000 750
  x=$(xwininfo -id "$window" | awk '/Absolute upper-left X/ {print $4}')
  y=$(xwininfo -id "$window" | awk '/Absolute upper-left Y/ {print $4}')
  IFS=', ' read -r left right top bottom < <(xprop -id "$window" _NET_FRAME_EXTENTS | sed 's/.*= //')
  import -window root -crop "$((308 + left + right))x$((509 + top + bottom))+$((x - left))+$((y - top))" \
    +repage "$repo/docs/$name.png"
  xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4 || kill "$pid"
  wait "$pid" || true
  echo "docs/$name.png"
}

mkdir -p "$repo/docs"

folder="$work/first-start"
mkdir "$folder" && cp "$app" "$folder/"
shoot screenshot-first-start 2

folder="$work/clear"
mkdir "$folder" && cp "$app" "$folder/"
echo CLEAR >"$folder/condition"
printf 'statusPath,%s\r\ntimeToSafe,15\r\ntimeToUnsafe,5\r\ncloudyAsClear,False\r\nalarmOnSafe,False\r\nalarmOnUnsafe,True\r\n' \
  "$folder/status.txt" >"$folder/config.ini"
start_writer "$folder"
sleep 1.5
shoot screenshot-clear-safe 2
kill "$writer"

# No status at start, then V.CLOUDY: with timeToUnsafe at 1 minute rather
# than 5, UNSAFE (and its alarm) comes after about 35 s instead of 5 minutes.
folder="$work/vcloudy"
mkdir "$folder" && cp "$app" "$folder/"
echo V.CLOUDY >"$folder/condition"
printf 'statusPath,%s\r\ntimeToSafe,15\r\ntimeToUnsafe,1\r\ncloudyAsClear,False\r\nalarmOnSafe,False\r\nalarmOnUnsafe,True\r\n' \
  "$folder/status.txt" >"$folder/config.ini"
start_writer "$folder" 3
shoot screenshot-vcloudy-unsafe 45
