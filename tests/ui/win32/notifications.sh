#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The alarm path end to end with Nortavi.exe under wine: a simulated sensor
# turns the sky very cloudy, the unsafe alarm goes out once through WinHTTP
# to ntfy and a webhook (receiver.py over HTTPS, its certificate authority
# in the wine prefix's store for the run), the alarm cancelled at the
# window goes out too, and a route whose server cannot be reached shows in
# the title.
#
#   notifications.sh PATH/TO/Nortavi.exe     exit 0 pass, 77 skip (no X display), 1 fail
set -uo pipefail

exe=${1:?usage: notifications.sh PATH/TO/Nortavi.exe}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../support/windows/nortavi-under-wine.sh"
source "$here/../../notify/receiver-session.sh"
skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }

[ -n "${DISPLAY:-}" ] || skip "no X display (the Windows stage starts one)"
for tool in xdotool xprop openssl; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/lib/packages.sh TEST_PACKAGES)"
done

work=$(mktemp -d)
pids=()
key=
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  [ -n "$key" ] && "$wine" reg delete "$key" /f >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

start_receiver "$work/receiver"
"$wine" reg import "Z:${work//\//\\}\\receiver\\ca.reg" >/dev/null 2>&1 || fail "the test authority could not be imported"
key=$(sed -n 's/^\[\(.*\)\]$/\1/p' "$work/receiver/ca.reg")

mkdir "$work/app"
cp "$exe" "$work/app/Nortavi.exe"
server="https://localhost:$https_port/ok"
printf '%s\r\n' "statusPath,Z:${work//\//\\}\\status.txt" timeToSafe,15 timeToUnsafe,1 cloudyAsClear,False \
  alarmOnSafe,False alarmOnUnsafe,True notifyOnCancel,True "ntfyUrl,$server/roof-7" \
  "webhookUrl,$server/hook" telegramChatId,42 telegramToken,1:A "telegramServer,https://localhost:9" \
  >"$work/app/config.ini"

echo CLEAR >"$work/condition"
"$here/../../../tools/sensor/simulated-sensor.sh" "$work" &
pids+=($!)
log=$work/nortavi.log
start_nortavi "$work/app/Nortavi.exe"
sleep 6
[ "$(requests "$work/receiver" ntfy)" = 0 ] || fail "a message went out under a clear sky"

echo V.CLOUDY >"$work/condition"
wait_requests "$work/receiver" 1 ntfy "Nortavi: UNSAFE"
wait_requests "$work/receiver" 1 webhook '"event":"unsafe"'
echo "the unsafe alarm went to ntfy and the webhook over HTTPS through WinHTTP"
found=$(timeout 30 xdotool search --sync --name '^Nortavi - Telegram not delivered since [0-2][0-9]:[0-5][0-9]$' | head -n 1)
[ -n "$found" ] || fail "the title did not show the failing route: $(xprop -id "$window" WM_NAME)"
echo "the title says: $(xprop -id "$found" WM_NAME | sed 's/.*= //')"
sleep 11
[ "$(requests "$work/receiver" ntfy "Nortavi: UNSAFE")" = 1 ] || fail "the unsafe alarm went to ntfy more than once"

window=$found
xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
xdotool key --clearmodifiers Return  # the alarm button
wait_requests "$work/receiver" 1 ntfy "Nortavi: alarm cancelled"
echo "the alarm cancelled at the window went out too"

close_nortavi
echo PASS
