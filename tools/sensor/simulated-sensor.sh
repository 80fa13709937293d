#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A stand-in for the cloud sensor's software: rewrites FOLDER/status.txt
# every second with the local time and the condition word held in
# FOLDER/condition (CLEAR when there is none), as a new file renamed over
# the old one. Runs until killed.
#
#   tools/sensor/simulated-sensor.sh FOLDER [DELAY_SECONDS]
#   echo V.CLOUDY > FOLDER/condition      # the sky changes
set -u
folder=${1:?usage: simulated-sensor.sh FOLDER [DELAY_SECONDS]}
sleep "${2:-0}"
while :; do
  condition=$(cat "$folder/condition" 2>/dev/null || echo CLEAR)
  printf '%s,%s\r\n' "$(date '+%Y-%m-%d %H:%M:%S')" "$condition" >"$folder/status.tmp"
  mv -f "$folder/status.tmp" "$folder/status.txt"
  sleep 1
done
