# SPDX-License-Identifier: MIT
# Packages, made by CPack from the install rules:
#   Linux:   a .deb      cpack -G DEB   (in a Release build, -DCMAKE_INSTALL_PREFIX=/usr)
#   Windows: an installer for the current user and a portable zip
#            cmake --build build/win --target package
set(CPACK_PACKAGE_VENDOR "The Nortavi developers")
set(CPACK_PACKAGE_CONTACT "The Nortavi developers <nortavi@nortavi.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_HOMEPAGE_URL https://nortavi.invalid)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Nortavi)

if(WIN32)
  set(CPACK_GENERATOR "NSIS;ZIP")
  set(CPACK_PACKAGE_NAME Nortavi)
  set(CPACK_PACKAGE_FILE_NAME Nortavi-${PROJECT_VERSION}-win64)
  set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/packaging/CPackOptions.cmake)
  # Our own installer template: the one CPack ships installs for all users.
  list(PREPEND CMAKE_MODULE_PATH ${PROJECT_SOURCE_DIR}/cmake/packaging)
  set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/ui/icons/nortavi.ico)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME nortavi)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION science)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # Qt loads its platform plugin itself, where the library scan cannot see
  # it; libcurl (found by the scan) checks the notification services'
  # certificates against the system's store, which only recommends it.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, ca-certificates")
  # The stand-in for the Windows fonts the windows were drawn with.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-liberation)
  set(CPACK_PACKAGE_DESCRIPTION "Nortavi reads the status file that a cloud sensor's software keeps \
rewriting, shows the sky condition in colour with the minutes since each condition, decides \
SAFE or UNSAFE with hysteresis, shows UNKNOWN when the feed goes stale, and sounds an alarm \
when the status changes.")
  set(CPACK_STRIP_FILES ON)
endif()

include(CPack)
