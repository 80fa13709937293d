#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing to build and run Nortavi, and builds the release
# build in build/release. Run by run.sh and tools/demo.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/packages.sh
ensure_packages "${RUN_PACKAGES[@]}"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DNORTAVI_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build/release -j "$(nproc)"
