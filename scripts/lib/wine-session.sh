#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sourced by the scripts that run Windows programs under wine.
#
# quiet_wine_prefix DIR: uses (and creates) the wine prefix DIR, with no
# debug output, no sound drivers (CI machines have no audio device, and the
# ALSA/Pulse drivers only print noise trying) and no Mono/Gecko installers
# at wineboot.
#
# start_wine: a wine session of the caller's own. A server left over (from
# an interrupted run, or from a build) is ended first, and waited for. The
# first wine process starts wine's background services, which inherit its
# output pipes. Started here with every stream on /dev/null, they cannot
# keep a test's pipes open and stall CTest; the persistent server keeps them
# running for the whole session instead of once per program.
#
# stop_wine: ends the prefix's server, and with it every wine process of
# the session (wineserver -k acts on $WINEPREFIX only).
#
# start_wine_desktop LOGDIR [WIDTHxHEIGHT]: a private X display with a window
# manager (wine makes no window without a display) and a wine session on it;
# says why and returns 1 when Xvfb does not start. stop_wine_desktop ends
# both: the caller traps it on EXIT before starting.
wine_dir=/usr/lib/wine

quiet_wine_prefix() {
  export WINEPREFIX=$1 WINEDEBUG=-all
  export WINEDLLOVERRIDES="winealsa.drv,winepulse.drv=d;mscoree,mshtml="
  mkdir -p "$WINEPREFIX"
}

start_wine() {
  stop_wine
  "$wine_dir/wineserver" -w >/dev/null 2>&1 || true
  "$wine_dir/wineserver" -p </dev/null >/dev/null 2>&1
  "$wine_dir/wine64" wineboot --init </dev/null >/dev/null 2>&1
}

stop_wine() {
  "$wine_dir/wineserver" -k >/dev/null 2>&1 || true
}

source "$(dirname "${BASH_SOURCE[0]}")/xvfb-desktop.sh"
pids=()

start_wine_desktop() {
  start_desktop "$1" "${2:-1024x768}" ||
    { echo "Xvfb would not start: $(tail -n 3 "$1/xvfb.log")" >&2; return 1; }
  start_wine
}

stop_wine_desktop() {
  stop_wine
  stop_all
}
