# SPDX-License-Identifier: MIT
# Runs the real nortavi-replay executable on one scenario.
#   -DREPLAY=exe -DSCENARIO=file -DEXPECTED=file     output must match
#   -DREPLAY=exe -DSCENARIO=file -DERROR=regex       must exit 2 with that message
#   -DEMULATOR=wine64 runs a cross-built executable
execute_process(COMMAND ${EMULATOR} ${REPLAY} ${SCENARIO}
                OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
if(DEFINED ERROR)
  if(NOT status EQUAL 2 OR NOT err MATCHES "${ERROR}")
    message(FATAL_ERROR "expected exit 2 and \"${ERROR}\", got ${status}: ${err}")
  endif()
  return()
endif()
file(READ ${EXPECTED} expected)
if(NOT status EQUAL 0 OR NOT out STREQUAL expected)
  message(FATAL_ERROR "exit ${status}\n--- got\n${out}--- expected\n${expected}${err}")
endif()
