// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace nortavi {

// A local calendar date-time of one-second resolution with no time zone:
// the sensor writes local time and the clock is read as local time.
using LocalTime = std::chrono::local_seconds;

// Builds a date-time from calendar fields; nullopt for a date or time that
// does not exist (31 February, hour 25).
std::optional<LocalTime> MakeLocalTime(int year, int month, int day, int hour, int minute,
                                       int second);

// "yyyy-MM-dd HH:mm:ss", for tools and diagnostics.
std::string FormatLocalTime(LocalTime time);

// Minutes from `from` to `to`: whole seconds / 60 rounded to the nearest
// integer, ties to even, as a signed 16-bit value. Counts beyond the 16-bit
// range saturate at the nearest bound instead of overflowing.
std::int16_t MinutesBetween(LocalTime from, LocalTime to);

// The smaller of two values; on a tie the second.
template <typename T>
constexpr T getMin(T v1, T v2)
{
    return v1 < v2 ? v1 : v2;
}

}  // namespace nortavi
