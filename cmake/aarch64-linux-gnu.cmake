# SPDX-License-Identifier: MIT
# Cross build for 64-bit ARM Linux (a Raspberry Pi with Raspberry Pi OS
# 64-bit, which is Debian 12) with Debian's cross compiler, against the
# arm64 libraries that multiarch installs beside this machine's own
# (scripts/lib/packages.sh, ARM64_PACKAGES); tests run under qemu-user.
# Without Qt for the target, only what has no window is built:
#
#   cmake -S . -B build/arm64 --toolchain cmake/aarch64-linux-gnu.cmake -DNORTAVI_BUILD_UI=OFF
#
# scripts/build-arm64-deb.sh makes the monitor's package with it.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(NORTAVI_ARM64_TRIPLE aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${NORTAVI_ARM64_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${NORTAVI_ARM64_TRIPLE}-g++)
# Multiarch: the target's libraries and their CMake files are in
# /usr/lib/aarch64-linux-gnu, where this names them; the build machine's
# own, under its own triple, are never looked at.
set(CMAKE_LIBRARY_ARCHITECTURE ${NORTAVI_ARM64_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
# pkg-config (through which FindCURL looks first) reads the target's .pc
# files alone, not the build machine's.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${NORTAVI_ARM64_TRIPLE}/pkgconfig:/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
# GNUInstallDirs leaves out the triple when it cross-builds; a Pi's Debian
# keeps libraries under it as this machine's does (the sound module goes to
# /usr/lib/aarch64-linux-gnu/nortavi).
set(CMAKE_INSTALL_LIBDIR lib/${NORTAVI_ARM64_TRIPLE} CACHE PATH "Object code libraries")

# CTest and gtest_discover_tests run the test programs under qemu, with the
# arm64 C and C++ libraries multiarch installed (libc6:arm64 and its loader
# in /lib). Not with the cross compiler's own copies (-L /usr/aarch64-linux-gnu):
# under qemu 7.2 a program loaded so never gets a second thread going.
find_program(NORTAVI_QEMU_AARCH64 qemu-aarch64)
if(NORTAVI_QEMU_AARCH64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${NORTAVI_QEMU_AARCH64})
endif()
