#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets (clang, ASan + UBSan) in build/fuzz and runs
# each one after the other, starting from its seed corpus in fuzz/corpus/.
# Fails at the first crash, leak, hang or broken check; the input that did
# it is left in build/fuzz/artifacts/.
#
#   scripts/fuzz.sh SECONDS [RUNS]   each target for SECONDS, or until RUNS inputs
#   NORTAVI_FUZZ_TARGETS="config status" scripts/fuzz.sh 60   only these
#   NORTAVI_FUZZ_KEEP=1 scripts/fuzz.sh 600   merge what was found into fuzz/corpus/
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: scripts/fuzz.sh SECONDS [RUNS]}
runs=${2:--1}
targets=(${NORTAVI_FUZZ_TARGETS:-fields timestamp config status})

build=build/fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DNORTAVI_FUZZ=ON -DNORTAVI_WERROR=ON -DNORTAVI_BUILD_UI=OFF -DBUILD_TESTING=OFF \
  -DNORTAVI_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" --target "${targets[@]/#/nortavi_fuzz_}"

# The grown corpus goes to a scratch folder, so the one in the repository
# changes only when asked. In memory where there is /dev/shm: the status
# target rewrites a file at every input, and a disk's file system flushes a
# file that was emptied and rewritten.
scratch=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$build/artifacts"
export TMPDIR="$scratch" ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
for target in "${targets[@]}"; do
  seeds=fuzz/corpus/$target
  mkdir -p "$scratch/$target"
  log=$scratch/$target.log
  if ! "$build/fuzz/nortavi_fuzz_$target" -max_total_time="$seconds" -runs="$runs" -timeout=5 \
      -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" \
      "$scratch/$target" "$seeds" >"$log" 2>&1; then
    grep -v -E '^#[0-9]+[[:space:]]+(NEW|REDUCE|pulse) ' "$log" | tail -n 60
    echo "fuzz $target: FAILED"
    exit 1
  fi
  awk -v target="$target" '
    /^stat::number_of_executed_units/ { runs = $2 }
    /^stat::average_exec_per_sec/ { rate = $2 }
    /DONE/ { for (i = 1; i < NF; i++) if ($i == "corp:") split($(i + 1), corpus, "/") }
    END { printf "fuzz %s: %d inputs, %d/s, corpus %d inputs (%s)\n", target, runs, rate, corpus[1], corpus[2] }
  ' "$log"
  if [ "${NORTAVI_FUZZ_KEEP:-0}" = 1 ]; then
    "$build/fuzz/nortavi_fuzz_$target" -merge=1 "$seeds" "$scratch/$target" 2>/dev/null
  fi
done
