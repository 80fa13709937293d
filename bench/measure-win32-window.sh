#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Measures Nortavi.exe beside a bare Win32 window (bench/win32window), both
# built the same way (mingw-w64, Release, static, stripped) and run the same
# way in one run, under wine on a private Xvfb with openbox. A second
# yardstick is the bare window with the manifest Nortavi.exe carries
# (common controls 6), one caption and one text box: what any program with
# today's controls pays.
#   - the size of each executable;
#   - start to window shown: from launch until the window manager lists the
#     window (median of RUNS starts of each, taken in turn);
#   - resident memory (VmRSS) of the program's process two seconds after its
#     window appeared (median).
# The wine server is kept running between starts, as it is on a desktop
# where any other Windows program has run.
#
#   bench/measure-win32-window.sh [RUNS]      (default 10)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10}
source scripts/lib/wine-session.sh
for tool in "$wine_dir/wine64" x86_64-w64-mingw32-g++-posix Xvfb openbox xprop xdotool; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: ./test.sh installs what this needs" >&2; exit 1; }
done

build=$PWD/build/bench-win32
toolchain=$PWD/cmake/mingw-w64-x86_64.cmake
cmake -S . -B "$build/app" -G Ninja --toolchain "$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DBUILD_TESTING=OFF -DNORTAVI_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build/app" --target Nortavi >/dev/null
cmake -S bench/win32window -B "$build/bare" -G Ninja --toolchain "$toolchain" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/bare" >/dev/null

quiet_wine_prefix "$build/wineprefix"
work=$(mktemp -d)
cleanup() {
  stop_wine_desktop
  rm -rf "$work"
}
trap cleanup EXIT
start_wine_desktop "$work" || exit 1

# Nortavi.exe in a folder of its own, reading a fresh CLEAR status (written
# anew before each start): SAFE and no alarm, so no sweep holds it up.
mkdir "$work/app"
cp "$build/app/ui/win32/Nortavi.exe" "$work/app/"
printf 'statusPath,Z:%s\r\ntimeToSafe,15\r\ntimeToUnsafe,5\r\ncloudyAsClear,False\r\nalarmOnSafe,False\r\nalarmOnUnsafe,True\r\n' \
  "${work//\//\\}\\status.txt" >"$work/app/config.ini"

declare -A program title
program[bare]=$build/bare/bare-win32-window.exe
title[bare]="Bare Win32 window"
program[cc6]=$build/bare/bare-win32-window-cc6.exe
title[cc6]="Bare Win32 window"
program[nortavi]=$work/app/Nortavi.exe
title[nortavi]=Nortavi
which_all=(bare cc6 nortavi)

source scripts/lib/window-clock.sh
start_window_clock "$work/clients.log"

launch() {  # WHICH: starts it and waits for its window; sets pid and ms
  [ "$1" = nortavi ] && printf '%s,CLEAR\r\n' "$(date '+%Y-%m-%d %H:%M:%S')" >"$work/status.txt"
  time_window "${title[$1]}" "$wine_dir/wine64" "${program[$1]}"
}

# A first start of each warms the disk cache and wine's own libraries.
for which in "${which_all[@]}"; do launch "$which"; sleep 1; stop_program "$pid"; done

declare -A start_ms rss_kib
measure_starts "$runs" "${which_all[@]}"

declare -A median_ms median_kib bytes
for which in "${which_all[@]}"; do
  median_ms[$which]=$(echo "${start_ms[$which]}" | median)
  median_kib[$which]=$(echo "${rss_kib[$which]}" | median)
  bytes[$which]=$(stat -c %s "${program[$which]}")
done
printf '\n%-26s %13s %13s %13s %8s %8s\n' "" "bare window" "with cc6" "Nortavi.exe" "/ bare" "/ cc6"
row() {  # LABEL UNIT ARRAY
  local -n values=$3
  printf '%-26s %9s %-3s %9s %-3s %9s %-3s %8s %8s\n' "$1" "${values[bare]}" "$2" "${values[cc6]}" "$2" \
    "${values[nortavi]}" "$2" "$(ratio "${values[nortavi]}" "${values[bare]}")" "$(ratio "${values[nortavi]}" "${values[cc6]}")"
}
declare -A kib
for which in "${which_all[@]}"; do kib[$which]=$((bytes[$which] / 1024)); done
row "executable size" KiB kib
row "start to window shown" ms median_ms
row "resident memory (VmRSS)" KiB median_kib
echo
for which in "${which_all[@]}"; do
  echo "start times (ms), $which: ${start_ms[$which]}"
  echo "VmRSS (KiB), $which: ${rss_kib[$which]}"
done
