#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Debian 12 packages Nortavi needs, and a helper that installs the
# missing ones. Sourced by run.sh and test.sh.

# To build and run the program.
RUN_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-qpa-plugins libgl-dev
  libsdl2-dev
  libboost-dev nlohmann-json3-dev
  libcurl4-openssl-dev  # notifications: HTTPS with the system's certificates and proxy
  fonts-liberation
)

# To run every test, on top of the above.
TEST_PACKAGES=(
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth openbox xdotool x11-utils imagemagick
  pulseaudio pulseaudio-utils
  debootstrap desktop-file-utils appstream file
  python3 iproute2
  openssl  # the notification tests' own certificate authority
  clang libclang-rt-14-dev
  chromium  # the status page in a real browser, headless
)

# The Windows stage: cross compiler and wine (wine64 only: the plain wine
# package would pull in 32-bit packages).
WINDOWS_PACKAGES=(
  g++-mingw-w64-x86-64-posix wine64
  nsis unzip
  locales  # localedef's sources: a Japanese locale for the code page 932 run
)

# The arm64 stage (the headless monitor's package for a Raspberry Pi): the
# cross compiler, qemu to run its tests, and the arm64 libraries the package
# is linked with and depends on, from Debian's multiarch archive (see
# ensure_architecture).
ARM64_PACKAGES=(
  g++-aarch64-linux-gnu qemu-user
  libc6:arm64 libstdc++6:arm64  # what qemu-aarch64 runs the tests on
  libsdl2-dev:arm64
  libcurl4-openssl-dev:arm64  # the notifications
)

# ensure_architecture ARCH: lets apt install ARCH's packages beside this
# machine's own (multiarch); quick when it already does.
ensure_architecture() {
  dpkg --print-foreign-architectures | grep -qx "$1" && return 0
  echo "Adding the $1 architecture to apt"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo dpkg --add-architecture "$1"
  $sudo apt-get update -qq
}

# ensure_packages PKG...: installs whichever are missing; quick when all are there.
ensure_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
