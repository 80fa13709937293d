# SPDX-License-Identifier: MIT
# Boost (Asio, Beast) and nlohmann's JSON, header-only from Debian's
# packages, for every build: nortavi_boost and nortavi_json.
if(CMAKE_CROSSCOMPILING AND WIN32)
  # The headers come from the build machine's packages; only their own
  # folders are seen, none of its other headers.
  set(host_headers ${CMAKE_BINARY_DIR}/host-headers)
  file(MAKE_DIRECTORY ${host_headers})
  foreach(library boost nlohmann)
    file(CREATE_LINK /usr/include/${library} ${host_headers}/${library} SYMBOLIC)
  endforeach()
  add_library(nortavi_boost INTERFACE)
  target_include_directories(nortavi_boost SYSTEM INTERFACE ${host_headers})
  target_link_libraries(nortavi_boost INTERFACE ws2_32 mswsock)
  # Beast's templates need more sections than a default object file holds.
  target_compile_options(nortavi_boost INTERFACE -Wa,-mbig-obj)
  # The system's words for a network error, in UTF-8 as the windows take
  # them, not in the code page; for every user of Boost.System, so all
  # agree on what its messages are.
  target_compile_definitions(nortavi_boost INTERFACE BOOST_SYSTEM_USE_UTF8)
  add_library(nortavi_json INTERFACE)
  target_include_directories(nortavi_json SYSTEM INTERFACE ${host_headers})
else()
  find_package(Boost 1.74 REQUIRED)
  find_package(nlohmann_json 3 REQUIRED)
  find_package(Threads REQUIRED)
  add_library(nortavi_boost INTERFACE)
  target_link_libraries(nortavi_boost INTERFACE Boost::headers Threads::Threads)
  add_library(nortavi_json INTERFACE)
  target_link_libraries(nortavi_json INTERFACE nlohmann_json::nlohmann_json)
endif()
