#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# How long IsSafe takes to answer with 50 clients asking at once, on loopback:
# the replay tool (a release build, no window) serves the device while it
# polls ten times a second, and wrk keeps 50 connections busy, first each
# client on a connection of its own, then a new connection per request.
# Prints the 50th and 99th percentiles of each; observatory software wants
# an answer within 100 ms.
#
#   bench/measure-alpaca-latency.sh [SECONDS]      (default 15 per run)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-15}
source scripts/lib/packages.sh
ensure_packages wrk python3 build-essential cmake ninja-build libboost-dev nlohmann-json3-dev
build=build/bench-alpaca
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DNORTAVI_BUILD_UI=OFF -DNORTAVI_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j 2 --target nortavi-replay >/dev/null

work=$(mktemp -d)
feeder=""
cleanup() {
  [ -n "$feeder" ] && kill "$feeder" 2>/dev/null
  exec 3>&- 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
port=$(free_port)
mkfifo "$work/commands"
"$build/tools/replay/nortavi-replay" <"$work/commands" >"$work/replay.log" 2>&1 &
exec 3>"$work/commands"
printf '%s\n' "now 2026-12-07 22:00:00" "config statusPath,{dir}status.txt" \
  "status 2026-12-07 22:00:00,CLEAR" "alpaca $port $(free_port)" "start" >&3
# Polls go on throughout, each one writing what the server reads.
(while true; do echo tick >&3; sleep 0.1; done) &
feeder=$!

base=http://127.0.0.1:$port/api/v1/safetymonitor/0
for _ in $(seq 50); do python3 -c "import urllib.request as u; u.urlopen('$base/name')" 2>/dev/null && break; sleep 0.1; done
python3 -c "import urllib.request as u; u.urlopen(u.Request('$base/connect', b'ClientID=1&ClientTransactionID=1', method='PUT'))"
url="$base/issafe?ClientID=1&ClientTransactionID=2"

# run LABEL [WRK OPTION...]
run() {
  local label=$1
  shift
  wrk -t 2 -c 50 -d "${seconds}s" --latency "$@" "$url" >"$work/wrk.txt"
  awk -v label="$label" '
    /^ +50%/ {p50 = $2} /^ +99%/ {p99 = $2} /requests in/ {n = $1}
    /Socket errors/ {errors = $0} /Non-2xx/ {bad = $0}
    END {printf "%s: %s requests, p50 %s, p99 %s %s %s\n", label, n, p50, p99, errors, bad}' "$work/wrk.txt"
}
echo "IsSafe, 50 parallel clients, ${seconds} s each, polls every 0.1 s:"
run "  one connection per client"
run "  a new connection per request" -H "Connection: close"
echo "polls answered meanwhile: $(grep -c '^condition=' "$work/replay.log")"
