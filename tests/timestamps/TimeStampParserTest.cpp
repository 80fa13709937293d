// SPDX-License-Identifier: MIT
#include "TimeStampParser.h"

#include <gtest/gtest.h>

namespace nortavi {
namespace {

struct StampCase {
    const char* pattern;  // the region's short date, in Qt's letters
    const char* text;
    const char* expected;  // "yyyy-MM-dd HH:mm:ss", or nullptr when refused
};

class TimeStampTest : public testing::TestWithParam<StampCase> {};

TEST_P(TimeStampTest, ConvertsByTheRegionalShortDate)
{
    const auto& c = GetParam();
    const auto format = TimeStampFormat::FromQtPattern(c.pattern);
    ASSERT_TRUE(format) << c.pattern;
    const auto time = ParseTimeStamp(c.text, *format);
    if (c.expected == nullptr) {
        EXPECT_FALSE(time) << c.text << " gave " << FormatLocalTime(*time);
    } else {
        ASSERT_TRUE(time) << c.pattern << " | " << c.text;
        EXPECT_EQ(FormatLocalTime(*time), c.expected) << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Regions, TimeStampTest,
    testing::Values(
        // United States
        StampCase{"M/d/yyyy", "12/7/2026 21:03:05", "2026-12-07 21:03:05"},
        StampCase{"M/d/yyyy", "12/07/2026 9:03 PM", "2026-12-07 21:03:00"},
        StampCase{"M/d/yyyy", "1/2/2026 12:00:00 AM", "2026-01-02 00:00:00"},
        StampCase{"M/d/yyyy", "1/2/2026 12:30:00 pm", "2026-01-02 12:30:00"},
        StampCase{"M/d/yyyy", "1/2/26 7:05:09am", "2026-01-02 07:05:09"},
        StampCase{"M/d/yyyy", "1/2/99 7:05", "1999-01-02 07:05:00"},
        StampCase{"M/d/yyyy", "2/29/2024 23:59:59", "2024-02-29 23:59:59"},
        StampCase{"M/d/yyyy", "2/29/2026 10:00", nullptr},
        StampCase{"M/d/yyyy", "2/31/2026 10:00", nullptr},
        StampCase{"M/d/yyyy", "13/1/2026 10:00", nullptr},
        StampCase{"M/d/yyyy", "7/12/2026 25:00", nullptr},
        StampCase{"M/d/yyyy", "7/12/2026 13:00 PM", nullptr},
        StampCase{"M/d/yyyy", "7/12/2026 0:30 AM", nullptr},
        StampCase{"M/d/yyyy", "7/12/2026", nullptr},
        StampCase{"M/d/yyyy", "7/12/2026 10:00 extra", nullptr},
        StampCase{"M/d/yyyy", "7/12/202 10:00", nullptr},
        StampCase{"M/d/yyyy", "7.12.2026 10:00", nullptr},
        // United Kingdom, Germany
        StampCase{"dd/MM/yyyy", "07/12/2026 21:03:05", "2026-12-07 21:03:05"},
        StampCase{"dd/MM/yyyy", "31/12/2026 23:00", "2026-12-31 23:00:00"},
        StampCase{"dd/MM/yyyy", "12/31/2026 23:00", nullptr},
        StampCase{"dd.MM.yyyy", "7.12.2026 21:03:05", "2026-12-07 21:03:05"},
        StampCase{"dd.MM.yyyy", "07.12.26 21:03", "2026-12-07 21:03:00"},
        // Japan, and a two-digit year with dashes
        StampCase{"yyyy/MM/dd", "2026/12/07 21:03:05", "2026-12-07 21:03:05"},
        StampCase{"yyyy/MM/dd", "26/12/7 21:03", "2026-12-07 21:03:00"},
        StampCase{"d-M-yy", "7-12-26 21:03:05", "2026-12-07 21:03:05"},
        StampCase{"d-M-yy", "7-12-2026 21:03:05", "2026-12-07 21:03:05"},
        // ISO 8601 whatever the region
        StampCase{"dd.MM.yyyy", "2026-12-07 21:03:05", "2026-12-07 21:03:05"},
        StampCase{"M/d/yyyy", "2026-12-07T21:03:05", "2026-12-07 21:03:05"},
        StampCase{"M/d/yyyy", "  2026-12-07T21:03:05  ", "2026-12-07 21:03:05"},
        StampCase{"M/d/yyyy", "2026-02-30T21:03:05", nullptr},
        StampCase{"M/d/yyyy", "2026-12-07T21:03:05Z", nullptr},
        StampCase{"M/d/yyyy", "", nullptr},
        StampCase{"M/d/yyyy", "CLEAR", nullptr}));

struct PatternCase {
    const char* pattern;
    const char* sample;  // a stamp in that pattern, for 2026-12-17 21:03; nullptr when refused
};

class ShortDatePatternTest : public testing::TestWithParam<PatternCase> {};

TEST_P(ShortDatePatternTest, ReadsNumericQtPatterns)
{
    const auto& c = GetParam();
    const auto format = TimeStampFormat::FromQtPattern(c.pattern);
    ASSERT_EQ(format.has_value(), c.sample != nullptr) << c.pattern;
    if (format) {
        const auto time = ParseTimeStamp(c.sample, *format);
        ASSERT_TRUE(time) << c.pattern << " | " << c.sample;
        EXPECT_EQ(FormatLocalTime(*time), "2026-12-17 21:03:00") << c.pattern;
    }
}

// Whatever stands between the numbers is taken as it stands, even where no
// region writes it so; names of months and a lone y are refused.
INSTANTIATE_TEST_SUITE_P(
    Patterns, ShortDatePatternTest,
    testing::Values(PatternCase{"M/d/yy", "12/17/26 21:03"},
                    PatternCase{"dd.MM.yyyy", "17.12.2026 21:03"},
                    PatternCase{"yyyy-MM-dd", "2026-12-17 9:03 PM"},
                    PatternCase{"d-M-yy", "17-12-26 21:03"},
                    PatternCase{"d MMM yyyy", nullptr},
                    PatternCase{"dd/MM-yyyy", "17/12-2026 21:03"},
                    PatternCase{"y/M/d", nullptr},
                    PatternCase{"yyyy/dd/MM", "2026/17/12 21:03"},
                    PatternCase{"dd/MM", nullptr},
                    PatternCase{"dddd d.M.yyyy", nullptr},
                    PatternCase{"", nullptr}));

// A region's whole format: short date, time pattern and AM/PM texts, as the
// system gives them.
struct Region {
    PatternLetters letters;
    const char* date;
    const char* time;
    const char* am;
    const char* pm;
};

struct RegionCase {
    Region region;
    const char* text;
    const char* expected;  // nullptr when refused
};

class RegionalFormatTest : public testing::TestWithParam<RegionCase> {};

TEST_P(RegionalFormatTest, ReadsTheRegionsOwnFormat)
{
    const auto& [region, text, expected] = GetParam();
    const auto format = TimeStampFormat::FromPatterns(
        {region.date, {region.time}, {region.am}, {region.pm}, {}}, region.letters);
    ASSERT_TRUE(format) << region.date;
    const auto time = ParseTimeStamp(text, *format);
    if (expected == nullptr) {
        EXPECT_FALSE(time) << text << " gave " << FormatLocalTime(*time);
    } else {
        ASSERT_TRUE(time) << region.date << " | " << text;
        EXPECT_EQ(FormatLocalTime(*time), expected) << text;
    }
}

constexpr auto Qt = PatternLetters::Qt;
constexpr Region Hungary{Qt, "yyyy. MM. dd.", "H:mm:ss", "de.", "du."};
constexpr Region Slovakia{Qt, "d. M. yyyy", "H:mm:ss", "AM", "PM"};
constexpr Region Croatia{Qt, "d.M.yyyy.", "HH:mm:ss", "AM", "PM"};
constexpr Region Serbia{Qt, "d.M.yy.", "HH:mm:ss", "AM", "PM"};
constexpr Region Bulgaria{Qt, "d.MM.yy 'г'.", "H:mm:ss 'ч'.", "пр.об.", "сл.об."};
constexpr Region Korea{Qt, "yy. M. d.", "AP h:mm:ss", "오전", "오후"};
constexpr Region Finland{Qt, "d.M.yyyy", "H.mm.ss", "ap.", "ip."};
// Windows' letters: "tt" is AM/PM, and a lone "y" a year of one or two digits.
constexpr Region Windows{PatternLetters::Windows, "M/d/y", "tt h:mm:ss", "AM", "PM"};

INSTANTIATE_TEST_SUITE_P(
    Regions, RegionalFormatTest,
    testing::Values(
        // Spaces and leading zeros as the sensor pleases, the text after the
        // last number may be missing but not changed; the values are still
        // checked.
        RegionCase{Hungary, "2026. 12. 07. 21:03:05", "2026-12-07 21:03:05"},
        RegionCase{Hungary, "2026.12.7.  21:03:05", "2026-12-07 21:03:05"},
        RegionCase{Hungary, "2026. 12. 07 21:03", "2026-12-07 21:03:00"},
        RegionCase{Hungary, "2026. 02. 30. 21:03:05", nullptr},
        RegionCase{Slovakia, "7. 12. 2026 21:03:05", "2026-12-07 21:03:05"},
        RegionCase{Croatia, "7.12.2026. 21:03:05", "2026-12-07 21:03:05"},
        RegionCase{Serbia, "7.12.26. 9:03:05 PM", "2026-12-07 21:03:05"},
        RegionCase{Serbia, "7.12.26. 21:03:60", nullptr},
        RegionCase{Bulgaria, "7.12.26 г. 21:03:05 ч.", "2026-12-07 21:03:05"},
        RegionCase{Bulgaria, "7.12.26 21:03:05", "2026-12-07 21:03:05"},
        RegionCase{Bulgaria, "7.12.26 г 21:03:05", nullptr},
        // AM/PM before the time, or left out for a 24-hour time.
        RegionCase{Korea, "26. 12. 7. 오후 9:03:05", "2026-12-07 21:03:05"},
        RegionCase{Korea, "26. 12. 7. 오전 12:03:05", "2026-12-07 00:03:05"},
        RegionCase{Korea, "26. 12. 7. 21:03:05", "2026-12-07 21:03:05"},
        RegionCase{Korea, "26. 12. 7. 오후 13:03:05", nullptr},
        // The region's own time separator; a colon is still read.
        RegionCase{Finland, "7.12.2026 21.00.00", "2026-12-07 21:00:00"},
        RegionCase{Finland, "7.12.2026 21.00", "2026-12-07 21:00:00"},
        RegionCase{Finland, "7.12.2026 21:00:00", "2026-12-07 21:00:00"},
        RegionCase{Finland, "7.12.2026 24.00.00", nullptr},
        RegionCase{Windows, "12/7/6 PM 9:03:05", "2006-12-07 21:03:05"}));

}  // namespace
}  // namespace nortavi
