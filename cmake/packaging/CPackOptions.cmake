# SPDX-License-Identifier: MIT
# Read by CPack for each generator: the portable zip says what it is.
if(CPACK_GENERATOR STREQUAL "ZIP")
  set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-portable")
endif()
# A cross-built .deb: dpkg-shlibdeps reads the target's libraries, which
# multiarch installs beside this machine's own.
if(CPACK_GENERATOR STREQUAL "DEB" AND CPACK_DEBIAN_PACKAGE_ARCHITECTURE)
  set(ENV{DEB_HOST_ARCH} ${CPACK_DEBIAN_PACKAGE_ARCHITECTURE})
endif()
