#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds Nortavi and starts it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/build-release.sh

app=build/release/ui/qt/nortavi
if [ ! -x "$app" ]; then
  echo "The window is not built yet; running the replay tool on a sample night instead:"
  exec build/release/tools/replay/nortavi-replay tests/tools/scenarios/unsafe-alarm-cycle.scenario
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Nortavi needs a desktop: no DISPLAY or WAYLAND_DISPLAY is set." >&2
  echo "Built: $app (config.ini and alarm.wav live beside it)." >&2
  exit 1
fi
echo "Starting $app (config.ini and alarm.wav live beside it)"
exec "$app" "$@"
