#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Regenerates the Linux screenshots in docs/ under Xvfb and openbox:
#   docs/screenshot-first-start.png     no config.ini, no status: UNKNOWN, comms alarm
#   docs/screenshot-clear-safe.png      a fresh CLEAR status: SAFE
#   docs/screenshot-vcloudy-unsafe.png  V.CLOUDY until UNSAFE: the unsafe alarm sounding
#   docs/screenshot-setup.png           the Setup dialog as it opens from the main window
#   docs/screenshot-night-history.png   the night history window over a sample night's
#                                       log (tests/ui/support/SampleNight.h)
#
#   tools/screenshots.sh [PATH/TO/nortavi [PATH/TO/nortavi-chart-sample]]
#                                       (default: builds both in build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

app=${1:-}
sample=${2:-}
if [ -z "$app" ] || [ -z "$sample" ]; then
  # The sample window is built with the window tests.
  cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON \
    -DNORTAVI_BUILD_BENCHMARKS=OFF >/dev/null
  cmake --build build/release --target nortavi nortavi-chart-sample
  app=${app:-build/release/ui/qt/nortavi}
  sample=${sample:-build/release/tests/ui/qt/nortavi-chart-sample}
fi
app=$(realpath "$app")
sample=$(realpath "$sample")

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

# shown TITLE: the window of that title, once it has been painted (until
# then its client area is black).
shown() {
  local window
  window=$(timeout 30 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1)
  for _ in $(seq 50); do
    import -window "$window" "$work/probe.png" 2>/dev/null &&
      [ "$(convert "$work/probe.png" -format '%[fx:mean>0.3]' info:)" = 1 ] && break
    sleep 0.2
  done
  echo "$window"
}

# save NAME WINDOW: the window with its frame as docs/NAME.png, the mouse
# pointer kept off it.
save() {
  local x y w h left right top bottom
  xdotool mousemove 1000 750
  eval "$(xwininfo -id "$2" | awk '/Absolute upper-left X/ {print "x=" $4} /Absolute upper-left Y/ {print "y=" $4}
                                   /Width:/ {print "w=" $2} /Height:/ {print "h=" $2}')"
  IFS=', ' read -r left right top bottom < <(xprop -id "$2" _NET_FRAME_EXTENTS | sed 's/.*= //')
  import -window root -crop "$((w + left + right))x$((h + top + bottom))+$((x - left))+$((y - top))" \
    +repage "$repo/docs/$1.png"
  echo "docs/$1.png"
}

# shoot NAME SECONDS [setup]: starts the program in $folder, waits, and
# saves its window, or with `setup` the Setup dialog opened from it by its
# button, as docs/NAME.png.
shoot() {
  local name=$1 seconds=$2 window dialog
  "$folder/nortavi" >"$folder/nortavi.log" 2>&1 &
  local pid=$!
  window=$(shown Nortavi)
  sleep "$seconds"
  if [ "${3:-}" = setup ]; then
    # SetupButton: (1080, 5760) twips, 855 x 375; pixels 72, 384, 57 x 25.
    xdotool mousemove --window "$window" 100 396 click 1
    dialog=$(shown Setup)
    sleep 1  # the window manager draws the frame
    save "$name" "$dialog"
    xdotool windowactivate --sync "$dialog" key --clearmodifiers Escape
  else
    save "$name" "$window"
  fi
  xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4 || kill "$pid"
  wait "$pid" || true
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

# Setup as an observer who has pointed it at the sensor's file would see it.
folder="$work/setup"
mkdir "$folder" && cp "$app" "$folder/"
printf 'statusPath,/home/observer/sensor/status.txt\r\ntimeToSafe,15\r\ntimeToUnsafe,5\r\ncloudyAsClear,False\r\nalarmOnSafe,False\r\nalarmOnUnsafe,True\r\n' \
  >"$folder/config.ini"
shoot screenshot-setup 1 setup

# The night history window at its first size.
"$sample" >"$work/chart-sample.log" 2>&1 &
sample_pid=$!
pids+=($sample_pid)
window=$(shown "Night history")
sleep 1  # the window manager draws the frame
save screenshot-night-history "$window"
kill "$sample_pid"
wait "$sample_pid" 2>/dev/null || true
