#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Measures nortavi beside a bare Qt 6 window (bench/qtwindow), the same way
# in the same run, under Xvfb and openbox. A second yardstick is the same
# window with one caption and one text box: any window that shows text pays
# for fontconfig, FreeType and HarfBuzz, and a focused text box's caret.
#   - start to window shown: from launch until the X server reports the
#     window mapped (median of RUNS starts of each, taken in turn);
#   - resident memory (VmRSS) two seconds after the window appeared (median);
#   - what each does while idle: CPU time and context switches (wakeups,
#     all threads) over IDLE_SECONDS, and with strace installed, the system
#     calls nortavi makes in that time.
#
#   bench/measure-window.sh [RUNS] [IDLE_SECONDS] [OTHER]   (defaults 10 and 30)
#
# OTHER, a nortavi built elsewhere (an earlier commit, say), is measured in
# the same run too, from a folder of its own with the same settings.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10}
idle_seconds=${2:-30}
other=${3:+$(realpath "$3")}

build=build/bench-window
cmake -S . -B "$build/app" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DNORTAVI_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build/app" --target nortavi >/dev/null
cmake -S bench/qtwindow -B "$build/bare" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/bare" >/dev/null

work=$(mktemp -d)
pids=()
source scripts/lib/xvfb-desktop.sh
cleanup() {
  stop_all
  rm -rf "$work"
}
trap cleanup EXIT

start_desktop "$work" || { echo "Xvfb would not start" >&2; exit 1; }
sleep 1

# nortavi in a folder of its own, reading a fresh CLEAR status (written anew
# before each start): SAFE and no alarm, so that nothing sounds while it is
# measured.
mkdir "$work/app" "$work/other"
cp "$build/app/ui/qt/nortavi" "$build/app/ui/qt/nortavi-sound-sdl.so" "$work/app/"
printf 'statusPath,%s\r\ntimeToSafe,15\r\ntimeToUnsafe,5\r\ncloudyAsClear,False\r\nalarmOnSafe,False\r\nalarmOnUnsafe,True\r\n' \
  "$work/status.txt" >"$work/app/config.ini"
cp "$work/app/config.ini" "$work/other/"

declare -A program title
program[bare]=$build/bare/bare-qt-window
title[bare]="Bare Qt window"
program[caption]="$build/bare/bare-qt-window --caption"
title[caption]="Bare Qt window"
program[nortavi]=$work/app/nortavi
title[nortavi]=Nortavi
which_all=(bare caption nortavi)
if [ -n "$other" ]; then
  cp "$other" "$work/other/nortavi"
  program[other]=$work/other/nortavi
  title[other]=Nortavi
  which_all+=(other)
fi

source scripts/lib/window-clock.sh
start_window_clock "$work/clients.log"

# launch WHICH: starts it and waits for its window; sets pid and ms.
launch() {
  [ "${title[$1]}" = Nortavi ] && printf '%s,CLEAR\r\n' "$(date '+%Y-%m-%d %H:%M:%S')" >"$work/status.txt"
  # shellcheck disable=SC2086 # a program may come with its arguments
  time_window "${title[$1]}" ${program[$1]}
}
# CPU ticks (user + system) and context switches of every thread.
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
switches() { cat /proc/"$1"/task/*/status | awk '/ctxt_switches/ {n += $2} END {print n}'; }

declare -A start_ms rss_kib
measure_starts "$runs" "${which_all[@]}"

declare -A idle_cpu idle_switches
for which in bare caption nortavi; do
  launch "$which"
  sleep 3
  cpu0=$(cpu_ticks "$pid")
  sw0=$(switches "$pid")
  sleep "$idle_seconds"
  idle_cpu[$which]=$((($(cpu_ticks "$pid") - cpu0) * 1000 / $(getconf CLK_TCK)))
  idle_switches[$which]=$(($(switches "$pid") - sw0))
  if [ "$which" = nortavi ] && command -v strace >/dev/null; then
    timeout -s INT "$idle_seconds" strace -c -f -p "$pid" -o "$work/strace.txt" 2>/dev/null || true
  fi
  stop_program "$pid"
done

declare -A median_ms median_kib
for which in "${which_all[@]}"; do
  median_ms[$which]=$(echo "${start_ms[$which]}" | median)
  median_kib[$which]=$(echo "${rss_kib[$which]}" | median)
done
printf '\n%-30s %12s %14s %12s %10s %10s\n' "" "bare window" "with caption" "nortavi" "/ bare" "/ caption"
printf '%-30s %9s ms %11s ms %9s ms %10s %10s\n' "start to window shown" \
  "${median_ms[bare]}" "${median_ms[caption]}" "${median_ms[nortavi]}" \
  "$(ratio "${median_ms[nortavi]}" "${median_ms[bare]}")" "$(ratio "${median_ms[nortavi]}" "${median_ms[caption]}")"
printf '%-30s %8s KiB %10s KiB %8s KiB %10s %10s\n' "resident memory (VmRSS)" \
  "${median_kib[bare]}" "${median_kib[caption]}" "${median_kib[nortavi]}" \
  "$(ratio "${median_kib[nortavi]}" "${median_kib[bare]}")" "$(ratio "${median_kib[nortavi]}" "${median_kib[caption]}")"
printf '%-30s %9s ms %11s ms %9s ms\n' "CPU time over ${idle_seconds} s idle" \
  "${idle_cpu[bare]}" "${idle_cpu[caption]}" "${idle_cpu[nortavi]}"
printf '%-30s %12s %14s %12s\n' "context switches, ${idle_seconds} s idle" \
  "${idle_switches[bare]}" "${idle_switches[caption]}" "${idle_switches[nortavi]}"
if [ -n "$other" ]; then
  printf '%-30s %9s ms, %8s KiB: %s / bare, %s / caption (start); %s / bare, %s / caption (memory)\n' \
    "$other" "${median_ms[other]}" "${median_kib[other]}" \
    "$(ratio "${median_ms[other]}" "${median_ms[bare]}")" "$(ratio "${median_ms[other]}" "${median_ms[caption]}")" \
    "$(ratio "${median_kib[other]}" "${median_kib[bare]}")" "$(ratio "${median_kib[other]}" "${median_kib[caption]}")"
fi
echo
for which in "${which_all[@]}"; do
  echo "start times (ms), $which: ${start_ms[$which]}"
done
if [ -s "$work/strace.txt" ]; then
  echo
  echo "nortavi's system calls over ${idle_seconds} s idle (strace -c -f):"
  cat "$work/strace.txt"
fi
