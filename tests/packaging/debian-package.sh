#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Linux package as a user meets it. CPack makes the .deb; its desktop
# entry and AppStream metainfo pass their validators; apt installs it, with
# all it depends on, into a clean Debian 12 system (a chroot made once per
# build folder by debootstrap). Started there by a user who may not write
# to /usr/bin, Nortavi shows its window on this machine's X display and,
# closed through the window manager, leaves config.ini in that user's
# ~/.config/nortavi, which its first save made.
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
for tool in debootstrap desktop-file-validate appstreamcli Xvfb openbox xdotool; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/lib/packages.sh TEST_PACKAGES)"
done

root=$build/packaging/bookworm
work=$(mktemp -d)
pids=()
source "$here/../../scripts/lib/xvfb-desktop.sh"
cleanup() {
  stop_all
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# The package.
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/packages" >"$work/cpack.log" 2>&1 ||
  fail "cpack: $(tail -n 5 "$work/cpack.log")"
deb=$(ls "$work"/packages/nortavi_*.deb)
echo "made $(basename "$deb"): $(stat -c %s "$deb") bytes; depends on $(dpkg-deb -f "$deb" Depends)"
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
inside() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive "$@"; }
inside apt-get update -qq >"$work/apt.log" 2>&1 || skip "apt-get update from the chroot failed: $(tail -n 3 "$work/apt.log")"
if ! inside apt-get install -y -qq --reinstall /tmp/nortavi.deb >>"$work/apt.log" 2>&1; then
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
echo PASS
