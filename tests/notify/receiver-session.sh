#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sourced by the window tests that send notifications to receiver.py. The
# caller has a `pids` array and defines fail().
#
#   start_receiver DIR       starts it in DIR; sets https_port
#   requests DIR SERVICE [TEXT]
#                            how many requests SERVICE (ntfy, pushover,
#                            telegram, webhook) has had, with TEXT in their
#                            body or headers; fails at a request that was
#                            not what the service takes
#   wait_requests DIR N SERVICE [TEXT]
#                            waits up to 60 s for N of them (the sky turns
#                            unsafe some 35 s after the last clear reading)
receiver_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
python=${NORTAVI_PYTHON3:-/usr/bin/python3}  # Debian's, whatever else is on the path

start_receiver() {
  mkdir -p "$1"
  "$python" "$receiver_here/receiver.py" "$1" >"$1/receiver.out" 2>&1 &
  pids+=($!)
  local _
  for _ in $(seq 300); do [ -s "$1/ports.json" ] && break; sleep 0.1; done
  [ -s "$1/ports.json" ] || fail "the receiver did not start: $(cat "$1/receiver.out")"
  https_port=$("$python" -c 'import json,sys; print(json.load(open(sys.argv[1]))["https"])' "$1/ports.json")
}

requests() {
  "$python" - "$@" <<'PYTHON'
import json, sys
folder, service = sys.argv[1], sys.argv[2]
text = sys.argv[3] if len(sys.argv) > 3 else ""
count = 0
for line in open(folder + "/requests.log"):
    request = json.loads(line)
    if request["wrong"]:
        print("wrong:" + "; ".join(request["wrong"]))
        sys.exit(0)
    if request["service"] == service and (text in request["body"] or text in json.dumps(request["headers"])):
        count += 1
print(count)
PYTHON
}

wait_requests() {
  local n deadline=$((SECONDS + 60))
  while :; do
    n=$(requests "$1" "$3" "${4:-}")
    [[ $n == wrong:* ]] && fail "the $3 request was not what the service takes: ${n#wrong:}"
    [ "$n" -ge "$2" ] && return 0
    [ "$SECONDS" -lt "$deadline" ] || fail "$2 $3 request(s) with '${4:-}' expected, $n came"
    sleep 0.1
  done
}
