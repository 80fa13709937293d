# SPDX-License-Identifier: MIT
# nortavi_warnings(target): the project's warning set, errors when
# NORTAVI_WERROR is on (always in CI).
function(nortavi_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 $<$<BOOL:${NORTAVI_WERROR}>:/WX>)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                             -Wno-sign-conversion
                                             $<$<BOOL:${NORTAVI_WERROR}>:-Werror>)
  endif()
endfunction()
