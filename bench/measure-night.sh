#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The night log and the status page, on the release build:
#   - the log's bytes for a typical night (clear, with an hour of clouds)
#     and a busy one (the sky changing every two minutes all night, the
#     feed dropping twice), through nortavi-replay;
#   - the page's and history.json's sizes, and the time to the first byte
#     of the page while wrk loads it (SECONDS long, 32 connections), from
#     nortavi-monitor on the simulated sensor; IsSafe beside it;
#   - the monitor's resident memory before the page is first asked for and
#     after the load, and the replay's before and after a busy night held
#     in memory.
#
#   bench/measure-night.sh [SECONDS]      (default 10)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
source scripts/lib/packages.sh
ensure_packages "${RUN_PACKAGES[@]}" wrk curl python3
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DNORTAVI_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build/release --target nortavi-replay nortavi-monitor >/dev/null
replay=build/release/tools/replay/nortavi-replay
monitor=build/release/headless/nortavi-monitor

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
rss() { awk '/^VmRSS/ {print $2}' "/proc/$1/status"; }
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }

# night NAME: a night from 18:00 to 08:00, on standard input's sky.
night() {
  { printf 'config statusPath,{dir}status.txt\nutcoffset +01:00\nnow 2026-12-07 18:00:00\nsensor CLEAR\nstart\n'
    cat
    printf 'stop\n'
  } | "$replay" --keep >/dev/null 2>"$work/$1.err"
  local folder
  folder=$(sed -n 's/.*work folder kept: //p' "$work/$1.err")
  echo "night log, $1 night: $(cat "$folder"/nights/*.csv | wc -c) bytes, $(cat "$folder"/nights/*.csv | wc -l) lines"
  rm -rf "$folder"
}
printf 'run 5h\nsensor CLOUDY\nrun 1h\nsensor CLEAR\nrun 8h\n' | night typical
{ for _ in $(seq 105); do printf 'sensor CLOUDY\nrun 2m\nsensor CLEAR\nrun 2m\n'; done
  printf 'sensor off\nrun 20m\nsensor CLEAR\nrun 4h\nsensor off\nrun 20m\nsensor CLEAR\nrun 2h\n'; } | night busy

# The replay's memory with a busy night in it (the chart's 12 hours).
port=$(free_port)
mkfifo "$work/replay.in"
"$replay" <"$work/replay.in" >"$work/replay.out" &
replay_pid=$!
pids+=($replay_pid)
exec 3>"$work/replay.in"
printf 'config statusPath,{dir}status.txt\nnow 2026-12-07 18:00:00\nsensor CLEAR\nstart\n' >&3
sleep 1
before=$(rss $replay_pid)
for _ in $(seq 180); do printf 'sensor CLOUDY\nrun 2m\nsensor CLEAR\nrun 2m\n' >&3; done
printf 'alpaca %s %s\n' "$port" "$(free_port)" >&3
for _ in $(seq 100); do grep -q "alpaca: serving" "$work/replay.out" && break; sleep 0.2; done
curl -s -o /dev/null "http://127.0.0.1:$port/"
echo "replay tool, resident: $before KiB after its start, $(rss $replay_pid) KiB after 12 busy hours and their page"
exec 3>&-

# The monitor on the simulated sensor, serving the page.
mkdir -p "$work/monitor"
echo CLEAR >"$work/condition"
tools/sensor/simulated-sensor.sh "$work" &
pids+=($!)
port=$(free_port)
printf 'statusPath,%s\r\ntimeToSafe,0\r\ntimeToUnsafe,5\r\ncloudyAsClear,False\r\nalarmOnSafe,False\r\nalarmOnUnsafe,False\r\nalpacaServer,True\r\nalpacaPort,%s\r\nalpacaAllowRemote,False\r\nalpacaDiscoveryPort,%s\r\nalpacaUniqueId,1b4e28ba-2fa1-41d2-883f-0016d3cca427\r\n' \
  "$work/status.txt" "$port" "$(free_port)" >"$work/monitor/config.ini"
"$monitor" --config "$work/monitor/config.ini" >"$work/monitor.log" 2>&1 &
monitor_pid=$!
pids+=($monitor_pid)
base=http://127.0.0.1:$port
for _ in $(seq 50); do curl -sf -o /dev/null "$base/weather/safety" && break; sleep 0.1; done
sleep 6
before=$(rss $monitor_pid)
echo "status page: $(curl -s "$base/" | wc -c) bytes, history.json: $(curl -s "$base/history.json" | wc -c) bytes"
echo "time to first byte, idle: $(curl -s -o /dev/null -w '%{time_starttransfer}' "$base/") s"
wrk -t 2 -c 32 -d "${seconds}s" --latency "$base/" >"$work/wrk.txt" &
wrk_pid=$!
sleep 1
ttfb=()
for _ in $(seq 40); do
  ttfb+=("$(curl -s -o /dev/null -w '%{time_starttransfer}' "$base/")")
  sleep 0.1
done
wait $wrk_pid
printf '%s\n' "${ttfb[@]}" | sort -n | awk '{v[NR] = $1} END {printf "time to first byte under load: median %.1f ms, slowest %.1f ms (%d samples)\n", v[int((NR + 1) / 2)] * 1000, v[NR] * 1000, NR}'
grep 'Requests/sec\|Latency \|99%' "$work/wrk.txt"
wrk -t 2 -c 32 -d "${seconds}s" "$base/api/v1/safetymonitor/0/issafe" | grep 'Requests/sec' | sed 's/^/IsSafe beside it: /'
echo "monitor, resident: $before KiB before the page was asked for, $(rss $monitor_pid) KiB after the load"
