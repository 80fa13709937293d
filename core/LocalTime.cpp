// SPDX-License-Identifier: MIT
#include "LocalTime.h"

#include <limits>

namespace nortavi {

std::optional<LocalTime> MakeLocalTime(int year, int month, int day, int hour, int minute,
                                       int second)
{
    using namespace std::chrono;
    if (month < 1 || month > 12 || day < 1 || day > 31) {
        return std::nullopt;
    }
    const year_month_day date{std::chrono::year{year},
                              std::chrono::month{static_cast<unsigned>(month)},
                              std::chrono::day{static_cast<unsigned>(day)}};
    if (!date.ok() || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 ||
        second > 59) {
        return std::nullopt;
    }
    return local_days{date} + hours{hour} + minutes{minute} + seconds{second};
}

std::string FormatLocalTime(LocalTime time)
{
    using namespace std::chrono;
    const auto day = floor<days>(time);
    const year_month_day date{day};
    const hh_mm_ss clock{time - day};
    // Digits by hand rather than through a string stream, which would pull
    // the locale machinery into every program that links the core.
    std::string text;
    const auto append = [&text](long long value, std::size_t width, char after) {
        const std::string digits = std::to_string(value);
        text.append(width > digits.size() ? width - digits.size() : 0, '0');
        text += digits;
        if (after != '\0') {
            text += after;
        }
    };
    append(static_cast<int>(date.year()), 4, '-');
    append(static_cast<unsigned>(date.month()), 2, '-');
    append(static_cast<unsigned>(date.day()), 2, ' ');
    append(clock.hours().count(), 2, ':');
    append(clock.minutes().count(), 2, ':');
    append(clock.seconds().count(), 2, '\0');
    return text;
}

std::int16_t MinutesBetween(LocalTime from, LocalTime to)
{
    // Exact integer rounding: a floating-point division could turn 90 s into
    // 1.4999... and round the wrong way.
    const std::int64_t secs = (to - from).count();
    std::int64_t whole = secs / 60;
    std::int64_t rest = secs % 60;
    if (rest < 0) {  // make it a floor division
        rest += 60;
        whole -= 1;
    }
    if (rest > 30 || (rest == 30 && whole % 2 != 0)) {
        whole += 1;
    }
    constexpr std::int64_t lowest = std::numeric_limits<std::int16_t>::min();
    constexpr std::int64_t highest = std::numeric_limits<std::int16_t>::max();
    if (whole < lowest) {
        return static_cast<std::int16_t>(lowest);
    }
    if (whole > highest) {
        return static_cast<std::int16_t>(highest);
    }
    return static_cast<std::int16_t>(whole);
}

}  // namespace nortavi
