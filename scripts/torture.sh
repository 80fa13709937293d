#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The long versions of the torture tests (CI runs a few thousand polls and
# 50 kills): the hostile status writer in each of its ways against the real
# reader, and config.ini saves killed at random moments, on Linux and under
# wine. Prints polls, rewrites, "no data" reads and writer failures per way,
# and the kills with their outcomes.
#
#   scripts/torture.sh [POLLS-PER-WAY] [KILLS]     (default 50000 and 1000)
#   NORTAVI_SKIP_WINDOWS=1 scripts/torture.sh      Linux only
set -euo pipefail
cd "$(dirname "$0")/.."
export NORTAVI_TORTURE_POLLS=${1:-50000} NORTAVI_TORTURE_KILLS=${2:-1000}
source scripts/lib/packages.sh
packages=("${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}")
[ "${NORTAVI_SKIP_WINDOWS:-0}" = 1 ] || packages+=("${WINDOWS_PACKAGES[@]}")
ensure_packages "${packages[@]}"

run_suite() {  # BUILD-DIR [EMULATOR]
  local program=$1/tests/files/nortavi_torture_tests.exe
  [ -e "$program" ] || program=$1/tests/files/nortavi_torture_tests
  (cd "$(dirname "$program")" && ${2:-} "./$(basename "$program")") | tee "$1/torture.log" |
    grep -E '^\[ figures|Failure|^\[  (FAILED|PASSED) ' || true
  ! grep -q '^\[  FAILED  \]' "$1/torture.log"
}

printf '==== Linux: %s polls per way, %s kills ====\n' "$NORTAVI_TORTURE_POLLS" "$NORTAVI_TORTURE_KILLS"
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DNORTAVI_WERROR=ON >/dev/null
cmake --build build/test --target nortavi_torture_tests >/dev/null
linux=0
run_suite build/test || linux=1

windows=0
if [ "${NORTAVI_SKIP_WINDOWS:-0}" != 1 ]; then
  printf '\n==== Windows under wine ====\n'
  source scripts/lib/wine-session.sh
  quiet_wine_prefix "$PWD/build/windows/wineprefix"
  trap stop_wine EXIT
  start_wine
  cmake -S . -B build/windows -G Ninja --toolchain cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Debug -DNORTAVI_WERROR=ON -DNORTAVI_BUILD_BENCHMARKS=OFF >/dev/null 2>&1
  cmake --build build/windows --target nortavi_torture_tests >/dev/null
  run_suite build/windows "$wine_dir/wine64" || windows=1
fi
[ "$linux$windows" = 00 ]
