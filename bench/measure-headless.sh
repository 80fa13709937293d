#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The headless monitor beside the Qt window, on the same simulated sensor
# with the same settings, side by side for SECONDS (a sky that stays CLEAR:
# SAFE, no alarm, nothing sounds): resident memory at the end and at its
# peak, threads, and CPU time and context switches (all threads) over the
# run, given per hour of polling. The window runs on this machine's private
# X display (Xvfb and openbox), as on a desktop.
#
#   bench/measure-headless.sh [SECONDS]     (default 300, after 10 s to settle)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-300}

build=build/bench-headless
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DNORTAVI_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" --target nortavi nortavi-monitor >/dev/null

work=$(mktemp -d)
pids=()
source scripts/lib/xvfb-desktop.sh
cleanup() {
  stop_all
  rm -rf "$work"
}
trap cleanup EXIT
start_desktop "$work" || { echo "Xvfb would not start" >&2; exit 1; }

mkdir "$work/sky" "$work/window" "$work/monitor"
tools/sensor/simulated-sensor.sh "$work/sky" &
pids+=($!)
cp "$build/ui/qt/nortavi" "$build/ui/qt/nortavi-sound-sdl.so" "$work/window/"
printf 'statusPath,%s\r\ntimeToSafe,15\r\ntimeToUnsafe,5\r\ncloudyAsClear,False\r\nalarmOnSafe,False\r\nalarmOnUnsafe,True\r\n' \
  "$work/sky/status.txt" >"$work/window/config.ini"
cp "$work/window/config.ini" "$work/monitor/config.ini"
sleep 1.5
"$work/window/nortavi" >"$work/window.log" 2>&1 &
pids+=($!)
window=$!
"$build/headless/nortavi-monitor" --config "$work/monitor/config.ini" >"$work/monitor.log" 2>&1 &
pids+=($!)
monitor=$!
sleep 10

# cpu PID: time on a CPU in nanoseconds, all threads (the scheduler's own
# count: /proc/PID/stat's clock ticks are too coarse for a monitor that
# spends a few milliseconds a minute).
cpu() { cat /proc/"$1"/task/*/schedstat | awk '{n += $1} END {printf "%d", n}'; }
# switches PID: voluntary and involuntary context switches, all threads.
switches() { cat /proc/"$1"/task/*/status | awk '/ctxt_switches/ {n += $2} END {print n}'; }
field() { awk -v f="$2:" '$1 == f {print $2}' "/proc/$1/status"; }
declare -A cpu0 switches0
for who in window monitor; do
  pid=${!who}
  cpu0[$who]=$(cpu "$pid")
  switches0[$who]=$(switches "$pid")
done
sleep "$seconds"
printf '%-8s %12s %12s %8s %16s %18s\n' "" "VmRSS KiB" "VmHWM KiB" threads "CPU s per hour" "switches per hour"
for who in window monitor; do
  pid=${!who}
  kill -0 "$pid" || { echo "$who ended: $(cat "$work/$who.log")" >&2; exit 1; }
  used=$(( $(cpu "$pid") - ${cpu0[$who]} ))
  switched=$(( $(switches "$pid") - ${switches0[$who]} ))
  printf '%-8s %12s %12s %8s %16s %18s\n' "$who" "$(field "$pid" VmRSS)" "$(field "$pid" VmHWM)" \
    "$(field "$pid" Threads)" "$(awk -v u="$used" -v s="$seconds" 'BEGIN {printf "%.3f", u / 1e9 * 3600 / s}')" \
    "$(( switched * 3600 / seconds ))"
done
grep -q "status SAFE" "$work/monitor.log" || { echo "the monitor did not see the sky: $(cat "$work/monitor.log")" >&2; exit 1; }
