# SPDX-License-Identifier: MIT
# Cross build for 64-bit Windows with Debian's mingw-w64 (POSIX threads
# flavour, which libstdc++ needs for std::thread), tests run under wine:
#
#   cmake -S . -B build/windows --toolchain cmake/mingw-w64-x86_64.cmake
#
# Everything is linked statically, so the executables need no MinGW DLLs
# beside them, neither under wine nor on a user's machine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(NORTAVI_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${NORTAVI_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NORTAVI_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${NORTAVI_MINGW_TRIPLE}-windres)

# Libraries and headers come from the MinGW sysroot only, never from the
# Linux /usr; programs (such as the code generators of a build) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${NORTAVI_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# CTest and gtest_discover_tests run the test programs through wine, by way
# of a script that explains a run wine ended before the program began. The
# 64-bit loader is named directly: the plain "wine" launcher looks for the
# 32-bit one, which is not installed.
find_program(NORTAVI_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT NORTAVI_WINE64)
  find_program(NORTAVI_WINE64 NAMES wine64)
endif()
if(NORTAVI_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${CMAKE_CURRENT_LIST_DIR}/../tests/support/windows/run-under-wine.sh ${NORTAVI_WINE64})
endif()
