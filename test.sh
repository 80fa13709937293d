#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds Nortavi and runs every test: the normal
# build (warnings are errors), the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, a short run of each fuzzer, the Windows stage
# under wine, then the arm64 stage (the headless monitor for a Raspberry
# Pi, its tests under qemu-user, and its package).
#
#   ./test.sh                 everything
#   NORTAVI_SKIP_WINDOWS=1 ./test.sh    skip the Windows stage (quick local runs)
#   NORTAVI_SKIP_SANITIZERS=1 ./test.sh skip the sanitizer build
#   NORTAVI_SKIP_FUZZ=1 ./test.sh       skip the fuzzers
#   NORTAVI_SKIP_ARM64=1 ./test.sh      skip the arm64 stage
set -euo pipefail
cd "$(dirname "$0")"
source scripts/lib/packages.sh

packages=("${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}")
[ "${NORTAVI_SKIP_WINDOWS:-0}" = 1 ] || packages+=("${WINDOWS_PACKAGES[@]}")
if [ "${NORTAVI_SKIP_ARM64:-0}" != 1 ]; then
  ensure_architecture arm64
  packages+=("${ARM64_PACKAGES[@]}")
fi
ensure_packages "${packages[@]}"

jobs=$(nproc)

stage() { printf '\n==== %s ====\n' "$*"; }

stage "Build and test (Linux)"
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DNORTAVI_WERROR=ON >/dev/null
cmake --build build/test -j "$jobs"
ctest --test-dir build/test --output-on-failure -j "$jobs" --timeout 300

if [ "${NORTAVI_SKIP_SANITIZERS:-0}" != 1 ]; then
  stage "Build and test with AddressSanitizer + UndefinedBehaviorSanitizer"
  sanitize="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all"
  cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DNORTAVI_WERROR=ON \
    -DNORTAVI_BUILD_BENCHMARKS=OFF -DNORTAVI_PACKAGE_TESTS=OFF \
    -DCMAKE_CXX_FLAGS="$sanitize" -DCMAKE_EXE_LINKER_FLAGS="$sanitize" >/dev/null
  cmake --build build/sanitize -j "$jobs"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build/sanitize --output-on-failure -j "$jobs" --timeout 600
fi

if [ "${NORTAVI_SKIP_FUZZ:-0}" != 1 ]; then
  stage "Fuzz the readers (10 s each)"
  scripts/fuzz.sh 10
fi

if [ "${NORTAVI_SKIP_WINDOWS:-0}" != 1 ] && [ -x scripts/windows-stage.sh ]; then
  stage "Windows build under wine"
  scripts/windows-stage.sh
fi

if [ "${NORTAVI_SKIP_ARM64:-0}" != 1 ]; then
  stage "arm64 build under qemu-user (the headless monitor for a Raspberry Pi)"
  started=$SECONDS
  scripts/build-arm64-deb.sh --test
  echo "arm64 stage: $((SECONDS - started)) s"
fi

stage "All tests passed"
