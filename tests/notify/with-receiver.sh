#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a command beside the notification services' stand-in (receiver.py,
# with Debian's python3),
# which it finds through NORTAVI_RECEIVER: the folder with ports.json,
# ca.pem and requests.log. Under wine the receiver's certificate authority
# is put into the wine prefix's store (the user's Root) for as long as the
# command runs, and NORTAVI_RECEIVER is a Windows path.
#
#   with-receiver.sh [--wine WINE64] COMMAND ARGS...
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
wine=
if [ "${1:-}" = --wine ]; then
  wine=$2
  shift 2
fi

dir=$(mktemp -d)
"${NORTAVI_PYTHON3:-/usr/bin/python3}" "$here/receiver.py" "$dir" >"$dir/receiver.out" 2>&1 &
receiver=$!
key=
cleanup() {
  kill "$receiver" 2>/dev/null
  wait "$receiver" 2>/dev/null
  [ -n "$key" ] && "$wine" reg delete "$key" /f >/dev/null 2>&1
  rm -rf "$dir"
}
trap cleanup EXIT
for _ in $(seq 300); do [ -s "$dir/ports.json" ] && break; sleep 0.1; done
[ -s "$dir/ports.json" ] || { echo "the receiver did not start: $(cat "$dir/receiver.out")"; exit 1; }

export NORTAVI_RECEIVER=$dir
if [ -n "$wine" ]; then
  windows_dir="Z:${dir//\//\\}"
  "$wine" reg import "$windows_dir\\ca.reg" >/dev/null 2>&1 || { echo "the test authority could not be imported"; exit 1; }
  key=$(sed -n 's/^\[\(.*\)\]$/\1/p' "$dir/ca.reg")
  export NORTAVI_RECEIVER=$windows_dir
fi
"$@"
