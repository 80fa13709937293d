#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows packages as a user meets them, under wine on the Windows
# stage's X display: CPack makes the installer and the portable zip; the
# installer, run silently (/S) as a user without administrator rights,
# installs under %LOCALAPPDATA%\Programs\Nortavi with a Start-menu shortcut
# and an entry in Apps & features; the installed program starts and keeps
# config.ini beside itself; the silent uninstall removes everything it
# installed and keeps config.ini and the night log.
#
#   windows-installer.sh CPACK BUILD_DIR     exit 0 pass, 77 skip, 1 fail
set -uo pipefail
cpack=${1:?usage: windows-installer.sh CPACK BUILD_DIR}
build=${2:?usage: windows-installer.sh CPACK BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../support/windows/nortavi-under-wine.sh"
skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }

[ -n "${DISPLAY:-}" ] || skip "no X display (the Windows stage starts one)"
command -v makensis >/dev/null || fail "makensis is not installed (scripts/lib/packages.sh WINDOWS_PACKAGES)"

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

"$cpack" --config "$build/CPackConfig.cmake" -B "$work/packages" >"$work/cpack.log" 2>&1 ||
  fail "cpack: $(tail -n 5 "$work/cpack.log")"
installer=$(ls "$work"/packages/Nortavi-*-win64.exe)
zip=$(ls "$work"/packages/Nortavi-*-win64-portable.zip)
[ "$(unzip -Z1 "$zip" | sed 's|^[^/]*/||' | sort | tr '\n' ' ')" = "LICENSE.txt Nortavi.exe ReadMe.txt " ] ||
  fail "the portable zip holds: $(unzip -Z1 "$zip" | tr '\n' ' ')"
echo "made $(basename "$installer") ($(stat -c %s "$installer") bytes) and $(basename "$zip") ($(stat -c %s "$zip") bytes)"

user_dir="${WINEPREFIX:-$HOME/.wine}/drive_c/users/$(id -un)"
programs="$user_dir/AppData/Local/Programs/Nortavi"
shortcut="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Nortavi/Nortavi.lnk"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Nortavi'
rm -rf "$programs" "$(dirname "$shortcut")"
"$wine" reg delete "$key" /f >/dev/null 2>&1

"$wine" "$installer" /S >"$work/install.log" 2>&1 || fail "the installer ended with status $?"
for name in Nortavi.exe ReadMe.txt LICENSE.txt Uninstall.exe; do
  [ -f "$programs/$name" ] || fail "not installed: $name ($(ls "$programs" 2>&1))"
done
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
"$wine" reg query "$key" /v UninstallString >/dev/null 2>&1 || fail "not listed in Apps & features"
echo "installed for this user: $(ls "$programs" | tr '\n' ' '), a shortcut and an Apps & features entry"

log=$work/nortavi.log
start_nortavi "$programs/Nortavi.exe"
# Not from under the running program.
"$wine" "$programs/Uninstall.exe" /S >"$work/uninstall.log" 2>&1
sleep 3
[ -f "$programs/Nortavi.exe" ] && "$wine" reg query "$key" >/dev/null 2>&1 ||
  fail "the uninstaller removed Nortavi while it was running"
close_nortavi
[ -f "$programs/config.ini" ] || fail "the installed program kept no config.ini beside itself"
echo "the installed program keeps config.ini beside itself, and is not uninstalled while it runs"

# The uninstaller runs a copy of itself from the temporary folder and
# returns at once: wait for its last step, the Apps & features entry.
"$wine" "$programs/Uninstall.exe" /S >"$work/uninstall.log" 2>&1
for _ in $(seq 60); do "$wine" reg query "$key" >/dev/null 2>&1 || break; sleep 0.5; done
left=$(ls -A "$programs" 2>/dev/null | tr '\n' ' ')
[ "$left" = "config.ini nights " ] || fail "after uninstalling, the folder holds: '$left'"
[ ! -e "$shortcut" ] && [ ! -e "$(dirname "$shortcut")" ] || fail "the Start-menu shortcut is still there"
"$wine" reg query "$key" >/dev/null 2>&1 && fail "still listed in Apps & features"
echo "uninstalled: only the user's config.ini and night log are left"
echo PASS
