# SPDX-License-Identifier: MIT
# Packages, made by CPack from the install rules:
#   Linux:   the .debs   cpack -G DEB   (in a Release build, -DCMAKE_INSTALL_PREFIX=/usr);
#            for a Raspberry Pi, scripts/build-arm64-deb.sh
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
  # Three packages, from the install rules' components: the window
  # (nortavi), the monitor without a window (nortavi-monitor, which needs
  # no Qt and no desktop) and the alarm's sound module both use
  # (nortavi-sound, which brings SDL2).
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME nortavi)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION science)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_STRIP_FILES ON)
  # Each package's description begins with a summary of its own.
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "")
  set(sky "reads the status file that a cloud sensor's software keeps rewriting, decides \
SAFE or UNSAFE with hysteresis, shows UNKNOWN when the feed goes stale, and sounds an alarm \
when the status changes.")

  set(CPACK_DEBIAN_WINDOW_PACKAGE_NAME nortavi)
  set(CPACK_COMPONENT_WINDOW_DEPENDS sound)
  # Qt loads its platform plugin itself, where the library scan cannot see it.
  set(CPACK_DEBIAN_WINDOW_PACKAGE_DEPENDS qt6-qpa-plugins)
  # The stand-in for the Windows fonts the windows were drawn with.
  set(CPACK_DEBIAN_WINDOW_PACKAGE_RECOMMENDS fonts-liberation)
  set(CPACK_DEBIAN_WINDOW_DESCRIPTION "${PROJECT_DESCRIPTION}
Nortavi ${sky} The window shows the sky condition in colour with the minutes since each \
condition.")

  set(CPACK_DEBIAN_MONITOR_PACKAGE_NAME nortavi-monitor)
  # Without the sound module the alarms go on without sound.
  set(CPACK_DEBIAN_MONITOR_PACKAGE_RECOMMENDS "nortavi-sound (= ${PROJECT_VERSION})")
  set(CPACK_DEBIAN_MONITOR_DESCRIPTION "${PROJECT_DESCRIPTION}, without a window
nortavi-monitor ${sky} It runs as a service (a systemd user unit, and a system unit \
to copy) on an observatory computer without a desktop, says each change in the journal and \
publishes the ASCOM Alpaca SafetyMonitor.")

  set(CPACK_DEBIAN_SOUND_PACKAGE_NAME nortavi-sound)
  set(CPACK_DEBIAN_SOUND_DESCRIPTION "Alarm sound for Nortavi
The SDL2 module through which the Nortavi window and nortavi-monitor sound their \
alarms, loaded at the first alarm.")

  # A cross build (the monitor for a Raspberry Pi) packages for its target,
  # and dpkg-shlibdeps looks up the target's libraries (see CPackOptions.cmake).
  if(CMAKE_CROSSCOMPILING)
    set(deb_arch_of_aarch64 arm64)
    set(deb_arch_of_x86_64 amd64)
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${deb_arch_of_${CMAKE_SYSTEM_PROCESSOR}})
    if(NOT CPACK_DEBIAN_PACKAGE_ARCHITECTURE)
      message(FATAL_ERROR "no Debian architecture known for ${CMAKE_SYSTEM_PROCESSOR}")
    endif()
    set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/packaging/CPackOptions.cmake)
  endif()
endif()

include(CPack)
