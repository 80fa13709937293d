#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Regenerates the Windows front end's screenshots in docs/ under wine, Xvfb
# and openbox, by running its end-to-end test with NORTAVI_SCREENSHOTS set:
#   docs/screenshot-win32-first-start.png  no config.ini, no status: UNKNOWN, comms alarm
#   docs/screenshot-win32-setup.png        the Setup dialog as it first opens
#   docs/screenshot-win32-clear-safe.png   after Setup: a fresh CLEAR status, SAFE
#   docs/screenshot-win32-night-history.png  the night history window over a sample
#                                          night's log (tests/ui/support/SampleNight.h)
#
#   tools/screenshots-win32.sh [PATH/TO/Nortavi.exe [PATH/TO/NightChartSample.exe]]
#                                          (default: builds both in build/release-win32)
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
source scripts/lib/wine-session.sh

exe=${1:-}
sample=${2:-}
if [ -z "$exe" ] || [ -z "$sample" ]; then
  # The sample window is built with the window tests.
  cmake -S . -B build/release-win32 -G Ninja --toolchain "$repo/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DNORTAVI_BUILD_BENCHMARKS=OFF >/dev/null
  cmake --build build/release-win32 --target Nortavi NightChartSample
  exe=${exe:-build/release-win32/ui/win32/Nortavi.exe}
  sample=${sample:-build/release-win32/tests/ui/win32/NightChartSample.exe}
fi
exe=$(realpath "$exe")
sample=$(realpath "$sample")

quiet_wine_prefix "$repo/build/screenshots-wine"
work=$(mktemp -d)
cleanup() {
  stop_wine_desktop
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p docs
start_wine_desktop "$work" 1600x1200 || exit 1

NORTAVI_SCREENSHOTS=$repo/docs tests/ui/win32/end-to-end.sh "$exe"

# The night history window at its first size, with its frame.
"$wine_dir/wine64" "$sample" >"$work/chart-sample.log" 2>&1 &
pids+=($!)
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Night history$' | head -n 1)
[ -n "$window" ] || { echo "the night history window did not open" >&2; exit 1; }
sleep 1  # the window manager draws the frame
xdotool mousemove 1590 1190  # the pointer off the picture
eval "$(xwininfo -id "$window" | awk '/Absolute upper-left X/ {print "x=" $4} /Absolute upper-left Y/ {print "y=" $4}
                                     /Width:/ {print "w=" $2} /Height:/ {print "h=" $2}')"
IFS=', ' read -r left right top bottom < <(xprop -id "$window" _NET_FRAME_EXTENTS | sed 's/.*= //')
import -window root -crop "$((w + left + right))x$((h + top + bottom))+$((x - left))+$((y - top))" +repage \
  docs/screenshot-win32-night-history.png
ls docs/screenshot-win32-*.png
