#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a test program against a private PulseAudio daemon whose default sink
# is a null sink at 44.1 kHz mono; the program records the sink's monitor.
# Nothing of the user's own sound server is touched: the daemon, its socket
# and its cookie live in a fresh folder that goes with it.
#
#   run-pulse-test.sh PROGRAM [ARG...]   exit: the program's, 77 skip (no PulseAudio)
set -uo pipefail

program=${1:?usage: run-pulse-test.sh PROGRAM [ARG...]}
shift
skip() { echo "SKIP: $*"; exit 77; }

for tool in pulseaudio pactl parec; do
  command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/lib/packages.sh TEST_PACKAGES)"
done

work=$(mktemp -d)
chmod 700 "$work"
daemon=""
cleanup() {
  if [ -n "$daemon" ]; then
    kill "$daemon" 2>/dev/null
    for _ in $(seq 50); do kill -0 "$daemon" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$daemon" 2>/dev/null
    wait "$daemon" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

export XDG_RUNTIME_DIR="$work" HOME="$work"
# Clients reach this daemon only, and never start one of their own.
export PULSE_SERVER="unix:$work/pulse/native"
unset PULSE_SINK PULSE_SOURCE PULSE_COOKIE
export NORTAVI_PULSE_SINK=nortavi_test

# As root it warns that it is not meant to run as root: harmless here.
pulseaudio -n -F /dev/null --daemonize=no --system=false --use-pid-file=no \
  --exit-idle-time=-1 --disallow-exit --disallow-module-loading --log-target=stderr \
  --load="module-null-sink sink_name=$NORTAVI_PULSE_SINK rate=44100 channels=1" \
  --load="module-native-protocol-unix" >"$work/pulseaudio.log" 2>&1 &
daemon=$!

for _ in $(seq 100); do
  pactl info >/dev/null 2>&1 && break
  kill -0 "$daemon" 2>/dev/null || break
  sleep 0.1
done
pactl info >/dev/null 2>&1 || skip "PulseAudio would not start: $(tail -n 3 "$work/pulseaudio.log")"
pactl set-default-sink "$NORTAVI_PULSE_SINK" || { echo "FAIL: no sink $NORTAVI_PULSE_SINK"; exit 1; }

"$program" "$@"
status=$?
if [ "$status" -ne 0 ]; then
  echo "--- pulseaudio's log (last lines):"
  grep -v 'root\|cookie\|D-Bus' "$work/pulseaudio.log" | tail -n 20
fi
exit "$status"
