# SPDX-License-Identifier: MIT
# nortavi_warnings(target): the project's warning set, errors when
# NORTAVI_WERROR is on (always in CI).
function(nortavi_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 $<$<BOOL:${NORTAVI_WERROR}>:/WX>)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                             -Wno-sign-conversion
                                             # GCC 12 sees overlapping copies inside std::string's
                                             # own operator+ when it inlines deeply (GCC bug
                                             # 105329; the arm64 build at -O3): not this code's.
                                             $<$<AND:$<CXX_COMPILER_ID:GNU>,$<VERSION_LESS:$<CXX_COMPILER_VERSION>,13>>:-Wno-restrict>
                                             $<$<BOOL:${NORTAVI_WERROR}>:-Werror>)
  endif()
endfunction()
