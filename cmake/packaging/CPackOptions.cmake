# SPDX-License-Identifier: MIT
# Read by CPack for each generator: the portable zip says what it is.
if(CPACK_GENERATOR STREQUAL "ZIP")
  set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-portable")
endif()
