// SPDX-License-Identifier: MIT
#pragma once

#include "LocalTime.h"

#include <optional>
#include <string_view>

namespace nortavi {

// The order of day, month and year in the system's short date, and the
// character between them.
struct ShortDatePattern {
    enum class Order { MonthDayYear, DayMonthYear, YearMonthDay };
    Order order = Order::MonthDayYear;
    char separator = '/';

    // Reads a numeric pattern in Qt's letters (d, dd, M, MM, yy, yyyy and one
    // separator), such as "M/d/yyyy" or "dd.MM.yyyy". nullopt for anything
    // else (month names, mixed separators).
    static std::optional<ShortDatePattern> FromQtPattern(std::string_view pattern);

    bool operator==(const ShortDatePattern&) const = default;
};

// Converts a status file's time stamp: the regional short date followed by a
// time of day (24-hour, or 12-hour with AM/PM; seconds optional), or ISO 8601
// "yyyy-MM-dd HH:mm:ss" / "yyyy-MM-ddTHH:mm:ss". Years may have two digits
// (1930-2029) or four. nullopt when the text is none of these or names a
// date or time that does not exist.
std::optional<LocalTime> ParseTimeStamp(std::string_view text, const ShortDatePattern& pattern);

}  // namespace nortavi
