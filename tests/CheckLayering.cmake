# SPDX-License-Identifier: MIT
# The layers stay as the tree shows them: core/ has no Qt and no file, clock
# or OS calls; files/ and platform/ have no Qt; the window description in
# ui/forms/ has no toolkit at all.
#   cmake -DSOURCE_DIR=<repo> -P CheckLayering.cmake
function(forbid folder regex why)
  file(GLOB_RECURSE sources ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
  foreach(source IN LISTS sources)
    file(STRINGS ${source} hits REGEX "${regex}")
    if(hits)
      message(SEND_ERROR "${source}: ${why}: ${hits}")
    endif()
  endforeach()
endfunction()

forbid(core "#include <(Q|fstream|filesystem|cstdio|unistd|windows|sys/)" "no Qt or I/O in the core")
forbid(core "system_clock|steady_clock|time\\(|localtime" "the core reads the time through Clock")
forbid(files "#include <Q" "no Qt below the windows")
forbid(platform "#include <Q" "no Qt below the windows")
forbid(ui/forms "#include <(Q|windows)" "the window description belongs to no toolkit")
