// SPDX-License-Identifier: MIT
#pragma once

#include "TimeStampParser.h"

namespace nortavi::win32 {

// The user's regional short date (Control Panel, Region), which the
// sensor's software uses for its time stamps; M/d/yyyy when Windows gives
// a pattern the parser cannot use.
ShortDatePattern UserShortDatePattern();

}  // namespace nortavi::win32
