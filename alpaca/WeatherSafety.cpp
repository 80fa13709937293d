// SPDX-License-Identifier: MIT
#include "WeatherSafety.h"

#include <nlohmann/json.hpp>

namespace nortavi::alpaca {

std::string WeatherSafetyJson(const SafetyVerdict& verdict)
{
    const nlohmann::json answer = {
        {"roof_status", {{"open_ok", verdict.safe ? 1 : 0}, {"reasons", verdict.reasons}}}};
    // Bytes that are not UTF-8 become U+FFFD rather than an exception.
    return answer.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace nortavi::alpaca
