#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real program at first start, when the comms alarm sounds at once: its
# sweep must reach the sound server, through the sound module that is loaded
# only then. And where there is no sound at all, starting it from a terminal
# prints one line about that, not a screen of errors.
#
#   run-pulse-test.sh alarm-sounds.sh PATH/TO/nortavi     exit 0 pass, 1 fail
set -uo pipefail
app=${1:?usage: alarm-sounds.sh PATH/TO/nortavi}
fail() { echo "FAIL: $*"; exit 1; }

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
mkdir "$work/app"
cp "$app" "$(dirname "$app")/nortavi-sound-sdl.so" "$work/app/"
export QT_QPA_PLATFORM=offscreen

# run SECONDS: the program for that long, its messages in $work/err.
run() {
  rm -f "$work/app/config.ini"
  "$work/app/nortavi" 2>"$work/err" &
  local pid=$!
  pids+=($pid)
  sleep "$1"
  kill "$pid"
  wait "$pid" 2>/dev/null
}

parec --device="$NORTAVI_PULSE_SINK.monitor" --raw --format=s16le --channels=1 --rate=44100 >"$work/heard.raw" &
recorder=$!
pids+=($recorder)
run 4
kill "$recorder"
peak=$(od -An -t d2 -v "$work/heard.raw" | awk '{for (i = 1; i <= NF; i++) {v = $i < 0 ? -$i : $i; if (v > m) m = v}} END {print m + 0}')
[ "$peak" -gt 4000 ] || fail "the sound server heard nothing loud (peak $peak of 32767): $(cat "$work/err")"
echo "the first start's alarm reached the sound server (peak $peak of 32767)"

# No server, and no sound card either: an empty ALSA configuration names
# none, even on a machine that has one.
: >"$work/no-cards.conf"
PULSE_SERVER=unix:/nonexistent ALSA_CONFIG_PATH="$work/no-cards.conf" run 4
lines=$(grep -cv '^$' "$work/err")
[ "$lines" -le 1 ] || fail "$lines lines on stderr without a sound device: $(head -n 5 "$work/err")"
grep -q 'no sound device' "$work/err" || fail "nothing said about the missing sound device: $(cat "$work/err")"
echo "without a sound device: $(cat "$work/err")"
echo PASS
