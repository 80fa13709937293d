# SPDX-License-Identifier: MIT
# The layers stay as the tree shows them: core/ has no Qt and no file, clock
# or OS calls; timestamps/ has no Qt and no I/O; the OS calls in platform/
# know nothing of the core (the core's clock and sound over them, SystemClock
# and sound/, do); files/, platform/, service/ and the headless monitor have
# no Qt; the window description in ui/forms/ has no toolkit at all.
#   cmake -DSOURCE_DIR=<repo> -P CheckLayering.cmake
function(check sources regex why)
  foreach(source IN LISTS sources)
    file(STRINGS ${source} hits REGEX "${regex}")
    if(hits)
      message(SEND_ERROR "${source}: ${why}: ${hits}")
    endif()
  endforeach()
endfunction()

function(forbid folder regex why)
  file(GLOB_RECURSE sources ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
  check("${sources}" "${regex}" "${why}")
endfunction()

set(io "<(Q|fstream|filesystem|cstdio|unistd|windows|sys/)")
forbid(core "#include ${io}" "no Qt or I/O in the core")
forbid(core "system_clock|steady_clock|time\\(|localtime" "the core reads the time through Clock")
forbid(timestamps "#include (${io}|\"Platform.h\")" "time stamps are text: no Qt or I/O")
forbid(files "#include <Q" "no Qt below the windows")
forbid(platform "#include <Q" "no Qt below the windows")
forbid(service "#include <Q" "no Qt below the windows")
forbid(headless "#include <Q" "the monitor without a window has no Qt")
forbid(ui/forms "#include <(Q|windows)" "the window description belongs to no toolkit")

# The OS layer: platform/ itself, without what is built on the core there.
file(GLOB core_headers RELATIVE ${SOURCE_DIR}/core ${SOURCE_DIR}/core/*.h)
list(JOIN core_headers "|" core_headers)
string(REPLACE "." "\\." core_headers "${core_headers}")
file(GLOB os_layer ${SOURCE_DIR}/platform/*.h ${SOURCE_DIR}/platform/*.cpp)
list(FILTER os_layer EXCLUDE REGEX "/SystemClock\\.(h|cpp)$")
check("${os_layer}" "#include \"(${core_headers})\"" "the OS calls know nothing of the core")
