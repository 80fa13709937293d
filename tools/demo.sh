#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Nortavi at work within a minute, without a cloud sensor: a simulated
# sensor and a copy of Nortavi run in a scratch folder, with a config.ini
# that points at the simulated feed and a one-minute threshold. Watch:
#    0 s  CLEAR (green), status SAFE
#   10 s  CLOUDY (orange): no longer good
#   20 s  V.CLOUDY (red)
#   ~42 s status UNSAFE, and the unsafe alarm sounds at every poll until
#         you press "Cancel Unsafe Alarm" (or Enter)
# Close the window to end the demo; the scratch folder goes with it. Your
# own Nortavi and its settings are not touched.
#
#   tools/demo.sh                 (builds build/release first, as run.sh does)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-release.sh >/dev/null
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "The demo needs a desktop: no DISPLAY or WAYLAND_DISPLAY is set." >&2
  exit 1
fi

demo=$(mktemp -d)
sensor=""
timeline=""
cleanup() {
  kill $sensor $timeline 2>/dev/null || true
  rm -rf "$demo"
}
trap cleanup EXIT

cp build/release/ui/qt/nortavi build/release/ui/qt/nortavi-sound-sdl.so "$demo/"
printf 'statusPath,%s\r\ntimeToSafe,1\r\ntimeToUnsafe,1\r\ncloudyAsClear,False\r\nalarmOnSafe,False\r\nalarmOnUnsafe,True\r\n' \
  "$demo/status.txt" >"$demo/config.ini"
echo CLEAR >"$demo/condition"
tools/sensor/simulated-sensor.sh "$demo" &
sensor=$!
for _ in $(seq 50); do [ -s "$demo/status.txt" ] && break; sleep 0.1; done

# The sky over the next minute.
(
  sleep 10 && echo CLOUDY >"$demo/condition" && echo "10 s: the sensor says CLOUDY"
  sleep 10 && echo V.CLOUDY >"$demo/condition" && echo "20 s: the sensor says V.CLOUDY; UNSAFE and its alarm come about 31 s after the last CLEAR"
) &
timeline=$!

echo "Nortavi is watching a simulated sensor in $demo (close its window to end the demo)."
echo "0 s: the sensor says CLEAR"
"$demo/nortavi"
