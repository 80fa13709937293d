#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Linux packages as a user meets them. CPack makes the .debs; the
# window's desktop entry and AppStream metainfo pass their validators; apt
# installs them, with all they depend on, into a clean Debian 12 system (a
# chroot made once per build folder by debootstrap). Started there by a
# user who may not write to /usr/bin, Nortavi shows its window on this
# machine's X display and, closed through the window manager, leaves
# config.ini in that user's ~/.config/nortavi, which its first save made.
# Then the headless monitor: nothing of Qt or X among all it depends on,
# its systemd units pass systemd-analyze verify, and it runs as each unit
# would start it: as that user on that config.ini, and as the account of
# its own the system unit names (made as the README says), in a root that
# is read-only but for its state folder (ProtectSystem=strict).
#
#   debian-package.sh CPACK BUILD_DIR    exit 0 pass, 1 fail, 77 skip (not
#                                        root, or no Debian mirror in reach)
set -uo pipefail
cpack=${1:?usage: debian-package.sh CPACK BUILD_DIR}
build=${2:?usage: debian-package.sh CPACK BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
mirror=${NORTAVI_DEBIAN_MIRROR:-http://deb.debian.org/debian}
skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }

[ "$(id -u)" -eq 0 ] || skip "making and entering a chroot takes root"
# In a mount namespace of its own, the chroot's mounts go with this script
# however it ends: none is left behind under the build folder.
if [ -z "${NORTAVI_IN_MOUNT_NAMESPACE:-}" ]; then
  NORTAVI_IN_MOUNT_NAMESPACE=1 exec unshare --mount --propagation private "$0" "$@"
fi
for tool in debootstrap desktop-file-validate appstreamcli Xvfb openbox xdotool python3; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/lib/packages.sh TEST_PACKAGES)"
done

root=$build/packaging/bookworm
work=$(mktemp -d)
pids=()
source "$here/../../scripts/lib/xvfb-desktop.sh"
cleanup() {
  [ -n "${monitor:-}" ] && kill -KILL "$monitor" 2>/dev/null
  [ -n "${sensor:-}" ] && kill "$sensor" 2>/dev/null
  stop_all
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# The package.
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/packages" >"$work/cpack.log" 2>&1 ||
  fail "cpack: $(tail -n 5 "$work/cpack.log")"
deb=$(ls "$work"/packages/nortavi_*.deb)
for made in "$work"/packages/*.deb; do
  echo "made $(basename "$made"): $(stat -c %s "$made") bytes; depends on $(dpkg-deb -f "$made" Depends)"
done
dpkg-deb -x "$deb" "$work/files"
desktop-file-validate "$work"/files/usr/share/applications/*.desktop || fail "the desktop entry"
appstreamcli validate --no-net "$work"/files/usr/share/metainfo/*.xml >"$work/appstream.log" ||
  fail "the metainfo: $(cat "$work/appstream.log")"

# A clean Debian 12, made once and kept in the build folder.
if [ ! -e "$root/.made" ]; then
  rm -rf "$root"
  mkdir -p "$(dirname "$root")"
  debootstrap --variant=minbase bookworm "$root" "$mirror" >"$work/debootstrap.log" 2>&1 ||
    skip "debootstrap from $mirror failed: $(tail -n 3 "$work/debootstrap.log")"
  touch "$root/.made"
fi
mount -t proc proc "$root/proc" || skip "cannot mount /proc in the chroot"
cp "$deb" "$root/tmp/nortavi.deb"
cp "$work"/packages/nortavi-sound_*.deb "$root/tmp/nortavi-sound.deb"
cp "$work"/packages/nortavi-monitor_*.deb "$root/tmp/nortavi-monitor.deb"
inside() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive "$@"; }
inside apt-get update -qq >"$work/apt.log" 2>&1 || skip "apt-get update from the chroot failed: $(tail -n 3 "$work/apt.log")"
# A kept chroot where an earlier run was stopped mid-install is mended first.
inside dpkg --configure -a >>"$work/apt.log" 2>&1
inside apt-get install -y -qq --fix-broken >>"$work/apt.log" 2>&1
# systemd for systemd-analyze, which needs no systemd running; reinstalled
# only are the packages under test (a kept chroot's systemd may be a version
# the mirror no longer has).
if ! { inside apt-get install -y -qq systemd >>"$work/apt.log" 2>&1 &&
       inside apt-get install -y -qq --reinstall /tmp/nortavi.deb /tmp/nortavi-sound.deb \
         /tmp/nortavi-monitor.deb >>"$work/apt.log" 2>&1; }; then
  # A mirror out of reach is not the package's fault; anything else is.
  grep -qE "Failed to fetch|Temporary failure resolving|Could not connect" "$work/apt.log" &&
    skip "the Debian mirror is out of reach: $(grep -m 1 -E "Failed to fetch|Temporary failure|Could not connect" "$work/apt.log")"
  fail "apt could not install the package: $(tail -n 5 "$work/apt.log")"
fi
module=$(inside sh -c 'ls /usr/lib/*/nortavi/nortavi-sound-sdl.so /usr/lib/nortavi/nortavi-sound-sdl.so 2>/dev/null')
[ -n "$module" ] || fail "the sound module is not installed"
inside ldd /usr/bin/nortavi "$module" | grep -q "not found" && fail "a library is missing: $(inside ldd "$module" | grep "not found")"
echo "installed with apt in a clean Debian 12, with all it depends on"

# A user of the desktop, who has never run Nortavi: no ~/.config yet.
inside id observer >/dev/null 2>&1 || inside useradd --create-home observer
rm -rf "$root/home/observer/.config"
start_desktop "$work" || fail "Xvfb would not start"
mkdir -p "$root/tmp/.X11-unix"
mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix" || skip "cannot share the X display with the chroot"
chroot --userspec=observer:observer "$root" env -i HOME=/home/observer DISPLAY="$DISPLAY" \
  PATH=/usr/bin:/bin LANG=C.UTF-8 nortavi >"$work/nortavi.log" 2>&1 &
app=$!
# The first start in a new system builds the font cache: give it time.
window=$(timeout 120 xdotool search --sync --onlyvisible --name '^Nortavi$' | head -n 1)
[ -n "$window" ] || fail "no window titled Nortavi appeared on $DISPLAY: $(tail -n 5 "$work/nortavi.log"; xwininfo -root -tree | grep -i nortavi)"
xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
xdotool key --clearmodifiers alt+F4
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "nortavi did not end after Alt+F4"
wait "$app" || fail "nortavi ended with status $?: $(tail -n 5 "$work/nortavi.log")"

# The first start's comms alarm made it load its sound module from where
# the package put it (the chroot has no sound device).
grep -q "no sound device" "$work/nortavi.log" && ! grep -q "nortavi: no sound (" "$work/nortavi.log" ||
  fail "the installed program did not load its sound module: $(cat "$work/nortavi.log")"
config=$root/home/observer/.config/nortavi/config.ini
[ -f "$config" ] || fail "no ~/.config/nortavi/config.ini for the user: $(tail -n 5 "$work/nortavi.log")"
[ "$(stat -c %u "$config")" = "$(inside id -u observer)" ] || fail "config.ini is not the user's own"
head -n 1 "$config" | grep -qx $'statusPath,/usr/bin/\r' || fail "config.ini begins: $(head -n 1 "$config")"
[ ! -e "$root/usr/bin/config.ini" ] || fail "a config.ini beside the installed program"
echo "run by a user: config.ini in ~/.config/nortavi, made at the first save"

# The headless monitor needs nothing of a desktop.
desktop=$(inside apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
  --no-replaces --no-enhances nortavi-monitor | grep -E '^[a-z]' | grep -iE 'qt6|libx11|wayland|libgl')
[ -z "$desktop" ] || fail "nortavi-monitor brings desktop libraries: $desktop"
inside ldd /usr/bin/nortavi-monitor | grep -qE "not found|libQt" && fail "nortavi-monitor's libraries: $(inside ldd /usr/bin/nortavi-monitor)"
echo "nortavi-monitor: no Qt, X or Wayland among all it depends on"

# The units, as the package installs the user's and as the README has the
# system's copied.
user_unit=/usr/lib/systemd/user/nortavi-monitor.service
system_unit=/etc/systemd/system/nortavi-monitor.service
inside id nortavi >/dev/null 2>&1 ||
  inside useradd --system --home-dir /var/lib/nortavi --shell /usr/sbin/nologin nortavi
cp "$root/usr/share/doc/nortavi-monitor/examples/nortavi-monitor.service" "$root$system_unit"
mkdir -p "$root/tmp/runtime" && chmod 700 "$root/tmp/runtime"
verify=$(inside systemd-analyze verify "$system_unit" 2>&1;
         inside env XDG_RUNTIME_DIR=/tmp/runtime systemd-analyze --user verify "$user_unit" 2>&1)
[ -z "$verify" ] || fail "systemd-analyze verify: $verify"
echo "both units pass systemd-analyze verify"

# unit_command UNIT: its ExecStart, with the state folder's specifier.
unit_command() { sed -n 's/^ExecStart=//p' "$root$1" | sed 's|%S|/var/lib|g'; }
# monitor_said LOG PATTERN: waits a little for the pattern in the log.
monitor_said() {
  for _ in $(seq 100); do grep -sqE "$2" "$1" && return 0; sleep 0.1; done
  return 1
}
# end_monitor PID LOG: SIGTERM, and an exit of 0 within five seconds.
end_monitor() {
  kill -TERM "$1"
  for _ in $(seq 50); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$1" 2>/dev/null && fail "nortavi-monitor did not end at SIGTERM"
  wait "$1" || fail "nortavi-monitor ended with status $? at SIGTERM: $(tail -n 5 "$2")"
  monitor=""
}

# As the user unit starts it: the user's own settings (the window's, which
# name no status file yet), no display, no sound server.
uid=$(inside id -u observer)
mkdir -p "$root/run/user/$uid"
inside chown observer: "/run/user/$uid"
chroot --userspec=observer:observer "$root" env -i HOME=/home/observer USER=observer LOGNAME=observer \
  SHELL=/bin/sh PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 XDG_RUNTIME_DIR="/run/user/$uid" \
  $(unit_command "$user_unit") >"$work/user-unit.out" 2>"$work/user-unit.err" &
monitor=$!
monitor_said "$work/user-unit.out" "alarm raised: comms$" ||
  fail "the user unit's monitor: $(cat "$work/user-unit.out" "$work/user-unit.err")"
# The comms alarm made it load the sound module from where the package put it.
monitor_said "$work/user-unit.err" "no sound device" && ! grep -q "nortavi: no sound (" "$work/user-unit.err" ||
  fail "the user unit's monitor did not load its sound module: $(cat "$work/user-unit.err")"
end_monitor "$monitor" "$work/user-unit.err"
grep -q "feed missing" "$work/user-unit.out" || fail "no feed line: $(cat "$work/user-unit.out")"
echo "the user unit's command, as the user: $(tr '\n' '|' <"$work/user-unit.out")"

# As the system unit starts it, once the README's steps are done: its own
# account and state folder, a sensor writing outside any home folder, and
# a root it may not write to but there.
install -d -o "$(inside id -u nortavi)" -g "$(inside id -g nortavi)" -m 0750 "$root/var/lib/nortavi"
mkdir -p "$root/srv/sky"
"$here/../../tools/sensor/simulated-sensor.sh" "$root/srv/sky" &
sensor=$!
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
printf 'statusPath,/srv/sky/status.txt\r\ntimeToSafe,0\r\ntimeToUnsafe,5\r\ncloudyAsClear,False\r\nalarmOnSafe,False\r\nalarmOnUnsafe,True\r\nalpacaServer,True\r\nalpacaPort,%s\r\nalpacaAllowRemote,False\r\nalpacaDiscoveryPort,%s\r\nalpacaUniqueId,\r\n' \
  "$port" "$port" >"$work/config.ini"
install -o "$(inside id -u nortavi)" -g "$(inside id -g nortavi)" -m 0640 "$work/config.ini" "$root/var/lib/nortavi/config.ini"
sleep 1.5
unshare --mount --propagation private sh -c '
  root=$1; shift
  mount --rbind "$root" "$root" && mount -o remount,bind,ro "$root" &&
  mount --bind "$root/var/lib/nortavi" "$root/var/lib/nortavi" &&
  mount -o remount,bind,rw "$root/var/lib/nortavi" &&
  mount -t tmpfs tmpfs "$root/tmp" || exit 125
  exec chroot --userspec=nortavi:nortavi --groups=audio "$root" "$@"' sh "$root" \
  env -i HOME=/var/lib/nortavi USER=nortavi LOGNAME=nortavi SHELL=/usr/sbin/nologin LANG=C.UTF-8 \
  PATH=/usr/local/bin:/usr/bin:/bin STATE_DIRECTORY=/var/lib/nortavi \
  $(unit_command "$system_unit") >"$work/system-unit.out" 2>"$work/system-unit.err" &
monitor=$!
monitor_said "$work/system-unit.out" "status SAFE$" ||
  fail "the system unit's monitor: $(cat "$work/system-unit.out" "$work/system-unit.err")"
safe=$(python3 - "$port" <<'PY'
import http.client, sys
connection = http.client.HTTPConnection("127.0.0.1", int(sys.argv[1]), timeout=5)
connection.request("PUT", "/api/v1/safetymonitor/0/connected", "Connected=true&ClientID=1&ClientTransactionID=1",
                   {"Content-Type": "application/x-www-form-urlencoded"})
connection.getresponse().read()
connection.request("GET", "/api/v1/safetymonitor/0/issafe?ClientID=1&ClientTransactionID=2")
print(connection.getresponse().read().decode())
PY
)
echo "$safe" | grep -q '"Value":true' || fail "IsSafe from the system unit's monitor: $safe"
monitor_said "$work/system-unit.err" "unique id .* is saved" ||
  fail "the unique id was not saved in the state folder: $(cat "$work/system-unit.err")"
grep -qE '^alpacaUniqueId,[0-9a-f-]{36}' "$root/var/lib/nortavi/config.ini" || fail "config.ini holds no unique id"
end_monitor "$monitor" "$work/system-unit.err"
echo "the system unit's command, as its account, in a read-only root: IsSafe true, the unique id kept in /var/lib/nortavi"
echo PASS
