#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A long night, sped up, through both main windows: the night of the window
# tests (tests/ui/qt/LongNightTest.cpp, tests/ui/win32/LongNightTest.cpp)
# run for POLLS polls instead of the CI's few thousand. Each prints, after a
# warm-up cycle and at the end, resident memory and open descriptors (Qt
# window) or the working set and the handle, GDI and USER object counts
# (Win32 window, under wine on a private Xvfb), the time the polls took, and
# what the window showed. Each fails as in CI if anything grew.
#
#   bench/long-night.sh [POLLS]                  (default 100000)
#   NORTAVI_SKIP_WINDOWS=1 bench/long-night.sh   the Qt window only
#
# Builds only the two test programs, in the test builds of ./test.sh
# (build/test and build/windows), which it configures the same way.
set -euo pipefail
cd "$(dirname "$0")/.."
export NORTAVI_LONG_NIGHT_POLLS=${1:-100000}
status=0

# The night's own lines and the verdict, without the test runner's chatter.
report() { grep -E '^(long night|  status after|.*Failure|.*Which is|.*grew|.*left|\[  (PASSED|FAILED) +\])' || true; }

echo "== Qt window, offscreen"
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DNORTAVI_WERROR=ON >/dev/null
cmake --build build/test --target frmMainTest >/dev/null
# A failed night is told by its own lines; the other window is measured all the same.
{ QT_QPA_PLATFORM=offscreen build/test/tests/ui/qt/frmMainTest --gtest_filter='LongNightTest.*' 2>&1 || true; } |
  report | tee build/test/long-night.log
grep -q 'PASSED' build/test/long-night.log || status=1

if [ "${NORTAVI_SKIP_WINDOWS:-0}" != 1 ]; then
  echo "== Win32 window, under wine"
  build=build/windows
  source scripts/lib/wine-session.sh
  quiet_wine_prefix "$PWD/$build/wineprefix"
  trap stop_wine_desktop EXIT
  start_wine_desktop "$build" 1600x1200 || exit 1
  cmake -S . -B "$build" -G Ninja --toolchain cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Debug -DNORTAVI_WERROR=ON -DNORTAVI_BUILD_UI=ON \
    -DNORTAVI_BUILD_BENCHMARKS=OFF >/dev/null
  cmake --build "$build" --target nortavi_win32_ui_tests >/dev/null
  { "$wine_dir/wine64" "$build/tests/ui/win32/nortavi_win32_ui_tests.exe" \
      --gtest_filter='LongNightWin32Test.*' 2>&1 || true; } | tr -d '\r' | report | tee "$build/long-night.log"
  grep -q 'PASSED' "$build/long-night.log" || status=1
fi
exit "$status"
