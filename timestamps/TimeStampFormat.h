// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nortavi {

// The system's regional conventions for a date and a time, as the system
// states them, in UTF-8: its short date pattern ("d. M. yyyy"), its time
// patterns ("H.mm.ss", "AP h:mm"), its AM and PM texts and, in a region
// that writes numbers with digits of its own, those ten digits.
struct RegionalPatterns {
    std::string shortDate;
    std::vector<std::string> times;
    std::vector<std::string> amTexts;
    std::vector<std::string> pmTexts;
    std::vector<std::string> digits;  // zero to nine; empty for 0-9 alone
};

// Whose letters the patterns use. Both write d, M, y, h, H, m, s and quoted
// text alike; Qt writes AM/PM as "AP" or "a" and a time zone as "t",
// Windows writes AM/PM as "tt", and a lone "y" only for Windows is a year.
enum class PatternLetters { Qt, Windows };

// Turns UTF-8 text into the status file's encoding; nullopt when that
// encoding cannot hold it.
using TextEncoder = std::function<std::optional<std::string>(std::string_view)>;

// One piece of a date or time pattern.
struct FormatElement {
    enum class Kind { Day, Month, Year, Hour, Minute, Second, AmPm, Spaces, Text };
    Kind kind = Kind::Text;
    std::string text;       // Text, in the status file's encoding
    int minYearDigits = 2;  // Windows' "y" writes 2006 as "6"

    bool operator==(const FormatElement&) const = default;
};
using FormatElements = std::vector<FormatElement>;

// How the sensor writes its time stamps in this region, in the status
// file's encoding: the short date, a space, then a time of day in one of
// the system's time patterns, each also without its seconds (h:mm:ss with
// English AM/PM is always taken as well). The default is the United
// States' M/d/yyyy.
struct TimeStampFormat {
    FormatElements date;
    std::vector<FormatElements> times;
    std::vector<std::string> amTexts;
    std::vector<std::string> pmTexts;
    std::vector<std::string> digits;

    TimeStampFormat();

    // nullopt when the short date is not day, month and year in numbers
    // (month or day names) or holds text the encoding cannot; a time
    // pattern, AM/PM text or set of digits that cannot be used is left out.
    static std::optional<TimeStampFormat> FromPatterns(const RegionalPatterns& patterns,
                                                       PatternLetters letters,
                                                       const TextEncoder& encode = {});

    // A short date in Qt's letters with the default times ("dd.MM.yyyy").
    static std::optional<TimeStampFormat> FromQtPattern(std::string_view shortDate);

    bool operator==(const TimeStampFormat&) const = default;
};

// The time patterns taken in every region: h:mm:ss and h:mm, each with an
// optional AM or PM after it.
const std::vector<FormatElements>& EnglishTimes();

}  // namespace nortavi
