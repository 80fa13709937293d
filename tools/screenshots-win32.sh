#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Regenerates the Windows front end's screenshots in docs/ under wine, Xvfb
# and openbox, by running its end-to-end test with NORTAVI_SCREENSHOTS set:
#   docs/screenshot-win32-first-start.png  no config.ini, no status: UNKNOWN, comms alarm
#   docs/screenshot-win32-setup.png        the Setup dialog as it first opens
#   docs/screenshot-win32-clear-safe.png   after Setup: a fresh CLEAR status, SAFE
#
#   tools/screenshots-win32.sh [PATH/TO/Nortavi.exe]   (default: builds build/release-win32)
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
source scripts/lib/wine-session.sh

exe=${1:-}
if [ -z "$exe" ]; then
  cmake -S . -B build/release-win32 -G Ninja --toolchain "$repo/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DNORTAVI_BUILD_BENCHMARKS=OFF >/dev/null
  cmake --build build/release-win32 --target Nortavi
  exe=build/release-win32/ui/win32/Nortavi.exe
fi
exe=$(realpath "$exe")

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
ls docs/screenshot-win32-*.png
