#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The headless monitor's packages for a Raspberry Pi (Raspberry Pi OS
# 64-bit, which is Debian 12 arm64), cross-built on this Debian 12 machine:
# installs what is missing (the cross compiler, qemu and the arm64 libraries
# from Debian's multiarch archive, scripts/lib/packages.sh), builds a
# Release without the window and packs nortavi-monitor and nortavi-sound.
#
#   scripts/build-arm64-deb.sh          build/arm64-release/nortavi-monitor_VERSION_arm64.deb
#   scripts/build-arm64-deb.sh --test   the arm64 stage of ./test.sh: the same build with the
#                                       tests (warnings are errors), run under qemu-user, in build/arm64
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh
test_stage=0
[ "${1:-}" = --test ] && test_stage=1

ensure_architecture arm64
packages=("${RUN_PACKAGES[@]}" "${ARM64_PACKAGES[@]}")
[ "$test_stage" = 1 ] && packages+=(googletest python3)
ensure_packages "${packages[@]}"

if [ "$test_stage" = 1 ]; then
  build=build/arm64
  options=(-DNORTAVI_WERROR=ON -DNORTAVI_PACKAGE_TESTS=OFF)
  # What the monitor is made of, the Alpaca server's client over HTTP, and
  # the notifications through the target's libcurl over HTTPS.
  targets=(nortavi-monitor nortavi-sound-sdl nortavi-replay nortavi_core_tests nortavi_timestamps_tests
           nortavi_files_tests nortavi_history_tests nortavi_service_tests nortavi_alpaca_tests
           nortavi_notify_tests nortavi_services_test)
else
  build=build/arm64-release
  options=(-DBUILD_TESTING=OFF)
  targets=(nortavi-monitor nortavi-sound-sdl)
fi
cmake -S . -B "$build" -G Ninja --toolchain cmake/aarch64-linux-gnu.cmake -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX=/usr -DNORTAVI_BUILD_UI=OFF -DNORTAVI_BUILD_BENCHMARKS=OFF "${options[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

if [ "$test_stage" = 1 ]; then
  # The suites built above, under qemu-aarch64 (CTest lists the others as
  # not built, and the scripts that start programs natively).
  ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 600 \
    -E '_NOT_BUILT$|^headless\.|^nortavi_sound_pulse_tests$|^layering$'
fi

# CPack builds whatever else its install rules name (nothing of the tests).
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/nortavi-monitor_*_arm64.deb)
echo "made $deb: $(stat -c %s "$deb") bytes; depends on $(dpkg-deb -f "$deb" Depends)"
if [ "$test_stage" = 1 ]; then
  unpacked=$(mktemp -d)
  trap 'rm -rf "$unpacked"' EXIT
  dpkg-deb -x "$deb" "$unpacked"
  dpkg-deb -x "$(ls "$build"/nortavi-sound_*_arm64.deb)" "$unpacked"
  [ "$(dpkg-deb -f "$deb" Architecture)" = arm64 ] || { echo "FAIL: not an arm64 package"; exit 1; }
  readelf -h "$unpacked/usr/bin/nortavi-monitor" | grep -q 'AArch64' || { echo "FAIL: not an AArch64 program"; exit 1; }
  ! dpkg-deb -f "$deb" Depends | grep -qi qt || { echo "FAIL: the monitor depends on Qt"; exit 1; }
  # The monitor looks for its sound module where nortavi-sound puts it.
  modules=$(strings "$unpacked/usr/bin/nortavi-monitor" | grep -m 1 '^\.\./lib.*/nortavi$')
  [ -f "$unpacked/usr/bin/$modules/nortavi-sound-sdl.so" ] ||
    { echo "FAIL: no sound module in /usr/bin/$modules"; exit 1; }
  echo "arm64 package checked"
fi
