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
    const auto pattern = ShortDatePattern::FromQtPattern(c.pattern);
    ASSERT_TRUE(pattern) << c.pattern;
    const auto time = ParseTimeStamp(c.text, *pattern);
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
    bool valid;
    ShortDatePattern::Order order;
    char separator;
};

class ShortDatePatternTest : public testing::TestWithParam<PatternCase> {};

TEST_P(ShortDatePatternTest, ReadsNumericQtPatterns)
{
    const auto& c = GetParam();
    const auto pattern = ShortDatePattern::FromQtPattern(c.pattern);
    ASSERT_EQ(pattern.has_value(), c.valid) << c.pattern;
    if (pattern) {
        EXPECT_EQ(*pattern, (ShortDatePattern{c.order, c.separator})) << c.pattern;
    }
}

using Order = ShortDatePattern::Order;
INSTANTIATE_TEST_SUITE_P(
    Patterns, ShortDatePatternTest,
    testing::Values(PatternCase{"M/d/yy", true, Order::MonthDayYear, '/'},
                    PatternCase{"dd.MM.yyyy", true, Order::DayMonthYear, '.'},
                    PatternCase{"yyyy-MM-dd", true, Order::YearMonthDay, '-'},
                    PatternCase{"d-M-yy", true, Order::DayMonthYear, '-'},
                    PatternCase{"d MMM yyyy", false, {}, 0},
                    PatternCase{"dd/MM-yyyy", false, {}, 0},
                    PatternCase{"y/M/d", false, {}, 0},
                    PatternCase{"yyyy/dd/MM", false, {}, 0},
                    PatternCase{"dd/MM", false, {}, 0},
                    PatternCase{"", false, {}, 0}));

}  // namespace
}  // namespace nortavi
