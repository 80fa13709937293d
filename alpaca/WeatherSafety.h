// SPDX-License-Identifier: MIT
#pragma once

#include "SafetyBoard.h"

#include <string>

namespace nortavi::alpaca {

// The verdict as INDI's Weather Safety Proxy driver reads it from a URL:
// {"roof_status":{"open_ok":1,"reasons":"safe since 21:03"}}, open_ok 0
// whenever IsSafe would be false. The driver does not survive a body that
// is not JSON, so every state gives well-formed JSON.
std::string WeatherSafetyJson(const SafetyVerdict& verdict);

}  // namespace nortavi::alpaca
