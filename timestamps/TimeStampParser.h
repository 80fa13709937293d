// SPDX-License-Identifier: MIT
#pragma once

#include "LocalTime.h"
#include "TimeStampFormat.h"

#include <optional>
#include <string_view>

namespace nortavi {

// Converts a status file's time stamp: the regional short date, spaces and
// a time of day in one of the region's time patterns, or ISO 8601
// "yyyy-MM-dd HH:mm:ss" / "yyyy-MM-ddTHH:mm:ss". What sensors vary
// harmlessly is let pass: leading zeros, the number of spaces, seconds or
// AM/PM left out (a 24-hour time), text after the last number left out.
// Years may have two digits (1930-2029) or four. nullopt when the text is
// none of these or names a date or time that does not exist.
std::optional<LocalTime> ParseTimeStamp(std::string_view text, const TimeStampFormat& format);

}  // namespace nortavi
