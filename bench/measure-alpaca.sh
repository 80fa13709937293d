#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The network publication under load, on the real program (offscreen, a
# simulated sensor rewriting its status file every second):
#   - requests per second answered on loopback (wrk, SECONDS long), while the
#     polls are timed: every poll opens the status file, and the window's
#     own thread is traced for those opens;
#   - resident memory with the server on and idle, beside the same program
#     with it off;
#   - the largest request accepted.
#
#   bench/measure-alpaca.sh [SECONDS]      (default 20)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
source scripts/lib/packages.sh
ensure_packages wrk strace python3
scripts/build-release.sh >/dev/null

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
port=$(free_port)
echo CLEAR >"$work/condition"
tools/sensor/simulated-sensor.sh "$work" &
pids+=($!)

# start NAME [PUBLICATION]: a copy of its own; sets pid.
start() {
  mkdir -p "$work/$1"
  cp build/release/ui/qt/nortavi build/release/ui/qt/nortavi-sound-sdl.so "$work/$1/"
  printf 'statusPath,%s\r\ntimeToSafe,0\r\ntimeToUnsafe,5\r\ncloudyAsClear,False\r\nalarmOnSafe,False\r\nalarmOnUnsafe,True\r\n%s' \
    "$work/status.txt" "${2:-}" >"$work/$1/config.ini"
  QT_QPA_PLATFORM=offscreen "$work/$1/nortavi" >"$work/$1.log" 2>&1 &
  pid=$!
  pids+=($pid)
}
rss() { awk '/^VmRSS/ {print $2}' "/proc/$1/status"; }

sleep 2
start off
off=$pid
start on "$(printf 'alpacaServer,True\r\nalpacaPort,%s\r\nalpacaAllowRemote,False\r\nalpacaDiscoveryPort,%s\r\nalpacaUniqueId,\r\n' "$port" "$(free_port)")"
on=$pid
base=http://127.0.0.1:$port/api/v1/safetymonitor/0
for _ in $(seq 50); do python3 -c "import urllib.request as u; u.urlopen('$base/name')" 2>/dev/null && break; sleep 0.1; done
python3 -c "import urllib.request as u; u.urlopen(u.Request('$base/connect', b'', method='PUT'))"
sleep 3
echo "resident memory, idle: $(rss "$off") KiB with the server off, $(rss "$on") KiB with it on"

# Polls, timed from the window's thread alone (the server's threads run free).
strace -p "$on" -e trace=openat -e signal=none -ttt -o "$work/polls.txt" 2>/dev/null &
tracer=$!
sleep 1
wrk -t 2 -c 32 -d "${seconds}s" "$base/issafe" >"$work/wrk.txt"
kill "$tracer"
wait "$tracer" 2>/dev/null || true
grep 'Requests/sec\|Latency' "$work/wrk.txt"
grep 'status.txt' "$work/polls.txt" | awk '{print $1}' | awk 'NR > 1 {d = $1 - last; if (d > max) max = d; if (min == 0 || d < min) min = d; n++; sum += d} {last = $1}
  END {printf "polls under load: %d, period %.3f s on average, %.3f s to %.3f s\n", n + 1, sum / n, min, max}'
python3 - "$port" <<'PY'
import socket, sys
port = int(sys.argv[1])
def answer(size):
    query = "a=" + "x" * size
    request = f"GET /api/v1/safetymonitor/0/name?{query} HTTP/1.1\r\nHost: x\r\n\r\n".encode()
    with socket.create_connection(("127.0.0.1", port)) as s:
        s.sendall(request)
        return s.recv(20).decode(errors="replace"), len(request)
low, high = 0, 65536
while low < high:
    middle = (low + high + 1) // 2
    if answer(middle)[0].startswith("HTTP/1.1 200"):
        low = middle
    else:
        high = middle - 1
print(f"the largest request accepted: {answer(low)[1]} bytes (the next byte is refused: {answer(low + 1)[0][:12]})")
PY
echo "IsSafe after it all: $(python3 -c "import urllib.request as u; print(u.urlopen('$base/issafe').read().decode())")"
