#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs the Windows stage RUNS times in a row (default 20) on this checkout
# and reports each run's result and time; the logs of failed runs are kept.
# The first run builds; the others only test, as on a warm CI machine.
#
#   scripts/repeat-windows-stage.sh [RUNS]
set -uo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20}
logs=build/repeat-windows-stage
build=build/windows
mkdir -p "$logs"
failed=0
for run in $(seq "$runs"); do
  started=$(date +%s)
  if scripts/windows-stage.sh >"$logs/run-$run.log" 2>&1; then
    result=passed
    # Runs that wine failed in its start-up are made again (run-under-wine.sh);
    # a pass says how many that took.
    again=$(grep -c '^run-under-wine: .*running it once more' "$build/Testing/Temporary/LastTest.log" || true)
    [ "$again" -eq 0 ] || result="passed, with $again run(s) made again after wine failed to start them"
    rm -f "$logs/run-$run.log"
  else
    result="FAILED (log: $logs/run-$run.log)"
    failed=$((failed + 1))
    grep -E '\*\*\*|run-under-wine:' "$logs/run-$run.log" | head -n 5
  fi
  echo "run $run: $result in $(($(date +%s) - started)) s"
done
echo "$((runs - failed)) of $runs runs passed"
[ "$failed" -eq 0 ]
