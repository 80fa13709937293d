#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows stage: cross-builds everything, Nortavi.exe included, with
# mingw-w64 and runs the tests under wine, in a wine prefix of its own and
# on an X display of its own (wine makes no window without one).
#
#   scripts/windows-stage.sh          (test.sh calls it; packages come from there)
#
# Build and prefix live in build/windows; remove that folder for a cold start.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/windows
jobs=$(nproc)

source scripts/lib/wine-session.sh
quiet_wine_prefix "$PWD/$build/wineprefix"

# Every wine process of the stage ends, then the X display.
trap stop_wine_desktop EXIT
trap 'exit 130' INT TERM

# The windows are tested at 100 %, 150 % and 200 %: room for the largest.
start_wine_desktop "$build" 1600x1200 || exit 1

# A spare drive letter whose root is a folder of ours, so a test can run a
# program from a drive root (D:\ style) and see where it thinks it lives.
drive_root="$PWD/$build/drive-root"
rm -rf "$drive_root"
mkdir -p "$drive_root"
ln -sfn "$drive_root" "$WINEPREFIX/dosdevices/n:"
export NORTAVI_TEST_DRIVE_ROOT='N:\'

cmake -S . -B "$build" -G Ninja --toolchain cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Debug -DNORTAVI_WERROR=ON -DNORTAVI_BUILD_UI=ON -DNORTAVI_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j "$jobs"
# The build ran the test programs under wine to list their tests. After a
# cold build on a busy machine that session was once left with a desktop
# process that could no longer start wine's RPC service, so every window
# test waited 20 s for it: the tests get a session of their own.
start_wine
ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 120
