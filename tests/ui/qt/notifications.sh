#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The alarm path end to end in the real program under Xvfb: a simulated
# sensor turns the sky very cloudy, the unsafe alarm goes out once to ntfy
# and to a webhook (receiver.py, over HTTPS with a certificate authority
# named in config.ini), the alarm cancelled at the window goes out too, and
# a route whose server cannot be reached shows in the title.
#
#   notifications.sh PATH/TO/nortavi     exit 0 pass, 77 skip (no X server), 1 fail
set -uo pipefail

app=${1:?usage: notifications.sh PATH/TO/nortavi}
here=$(cd "$(dirname "$0")" && pwd)
skip() { echo "SKIP: $*"; exit 77; }
fail() {
  echo "FAIL: $*"
  [ -s "${work:-/nonexistent}/nortavi.log" ] && { echo "--- nortavi's output:"; tail -n 20 "$work/nortavi.log"; }
  exit 1
}

command -v Xvfb >/dev/null || skip "Xvfb is not installed"
for tool in openbox xdotool xprop openssl; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/lib/packages.sh TEST_PACKAGES)"
done

work=$(mktemp -d)
pids=()
source "$here/../../../scripts/lib/xvfb-desktop.sh"
source "$here/../../notify/receiver-session.sh"
cleanup() {
  stop_all
  rm -rf "$work"
}
trap cleanup EXIT

start_desktop "$work" || skip "Xvfb would not start: $(tail -n 3 "$work/xvfb.log")"
start_receiver "$work/receiver"

mkdir "$work/app"
cp "$app" "$work/app/nortavi"
# Written by hand: the notification lines by key, without the network lines.
server="https://localhost:$https_port/ok"
printf '%s\r\n' "statusPath,$work/status.txt" timeToSafe,15 timeToUnsafe,1 cloudyAsClear,False \
  alarmOnSafe,False alarmOnUnsafe,True notifyOnCancel,True "ntfyUrl,$server/roof-7" \
  "webhookUrl,$server/hook" telegramChatId,42 telegramToken,1:A "telegramServer,https://localhost:9" \
  "notifyCaFile,$work/receiver/ca.pem" >"$work/app/config.ini"

echo CLEAR >"$work/condition"
"$here/../../../tools/sensor/simulated-sensor.sh" "$work" &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/status.txt" ] && break; sleep 0.1; done
"$work/app/nortavi" >"$work/nortavi.log" 2>&1 &
app_pid=$!
pids+=($app_pid)
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Nortavi$' | head -n 1)
[ -n "$window" ] || fail "no window titled Nortavi appeared"
sleep 6
[ "$(requests "$work/receiver" ntfy)" = 0 ] || fail "a message went out under a clear sky"

# A minute of V.CLOUDY (rounded up from 31 s) makes the sky unsafe.
echo V.CLOUDY >"$work/condition"
wait_requests "$work/receiver" 1 ntfy "Nortavi: UNSAFE"
wait_requests "$work/receiver" 1 webhook '"event":"unsafe"'
echo "the unsafe alarm went to ntfy and the webhook"
title=$(timeout 20 xdotool search --sync --name '^Nortavi - Telegram not delivered since [0-2][0-9]:[0-5][0-9]$' | head -n 1)
[ "$title" = "$window" ] || fail "the title did not show the failing route: $(xprop -id "$window" WM_NAME)"
echo "the title says: $(xprop -id "$window" _NET_WM_NAME | sed 's/.*= //')"
sleep 11  # two more polls with the alarm up
[ "$(requests "$work/receiver" ntfy "Nortavi: UNSAFE")" = 1 ] || fail "the unsafe alarm went to ntfy more than once"

xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
xdotool key --clearmodifiers Return  # the alarm button
wait_requests "$work/receiver" 1 ntfy "Nortavi: alarm cancelled"
wait_requests "$work/receiver" 1 webhook '"event":"cancelled"'
echo "the alarm cancelled at the window went out too"

xdotool key --clearmodifiers alt+F4
for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app_pid" 2>/dev/null && fail "nortavi did not end after Alt+F4"
echo PASS
