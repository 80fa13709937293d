// SPDX-License-Identifier: MIT
#include "LocalTime.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace nortavi {
namespace {

const LocalTime kBase = *MakeLocalTime(2026, 12, 7, 22, 0, 0);

struct MinutesCase {
    long long seconds;
    int minutes;
};

class MinutesBetweenTest : public testing::TestWithParam<MinutesCase> {};

TEST_P(MinutesBetweenTest, RoundsToNearestWithTiesToEvenAndSaturates)
{
    const auto [seconds, minutes] = GetParam();
    EXPECT_EQ(MinutesBetween(kBase, kBase + std::chrono::seconds{seconds}), minutes)
        << seconds << " s";
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, MinutesBetweenTest,
    testing::Values(MinutesCase{0, 0}, MinutesCase{29, 0}, MinutesCase{30, 0},
                    MinutesCase{31, 1}, MinutesCase{89, 1}, MinutesCase{90, 2},
                    MinutesCase{149, 2}, MinutesCase{150, 2}, MinutesCase{151, 3},
                    MinutesCase{210, 4}, MinutesCase{-30, 0}, MinutesCase{-31, -1},
                    MinutesCase{-90, -2}, MinutesCase{-150, -2}, MinutesCase{-151, -3},
                    MinutesCase{-210, -4},
                    // the edges of the 16-bit range, and past them
                    MinutesCase{32767LL * 60 + 29, 32767}, MinutesCase{32767LL * 60 + 31, 32767},
                    MinutesCase{40LL * 24 * 3600, 32767}, MinutesCase{-32768LL * 60, -32768},
                    MinutesCase{-32768LL * 60 - 31, -32768},
                    MinutesCase{-400LL * 24 * 3600, -32768}));

TEST(MakeLocalTimeTest, RefusesDatesAndTimesThatDoNotExist)
{
    EXPECT_TRUE(MakeLocalTime(2024, 2, 29, 0, 0, 0));
    EXPECT_TRUE(MakeLocalTime(2026, 12, 31, 23, 59, 59));
    EXPECT_FALSE(MakeLocalTime(2026, 2, 29, 0, 0, 0));
    EXPECT_FALSE(MakeLocalTime(2026, 2, 31, 12, 0, 0));
    EXPECT_FALSE(MakeLocalTime(2026, 4, 31, 12, 0, 0));
    EXPECT_FALSE(MakeLocalTime(2026, 13, 1, 12, 0, 0));
    EXPECT_FALSE(MakeLocalTime(2026, 0, 1, 12, 0, 0));
    EXPECT_FALSE(MakeLocalTime(2026, 1, 1, 24, 0, 0));
    EXPECT_FALSE(MakeLocalTime(2026, 1, 1, 25, 0, 0));
    EXPECT_FALSE(MakeLocalTime(2026, 1, 1, 12, 60, 0));
    EXPECT_FALSE(MakeLocalTime(2026, 1, 1, 12, 0, 60));
}

TEST(MakeLocalTimeTest, CountsAcrossMonthsAndLeapDays)
{
    const auto before = *MakeLocalTime(2024, 2, 28, 23, 59, 0);
    const auto after = *MakeLocalTime(2024, 3, 1, 0, 1, 0);
    EXPECT_EQ(MinutesBetween(before, after), 24 * 60 + 2);
    EXPECT_EQ(FormatLocalTime(after), "2024-03-01 00:01:00");
}

TEST(GetMinTest, ReturnsTheSecondOnATie)
{
    EXPECT_EQ(getMin<std::int16_t>(3, 5), 3);
    EXPECT_EQ(getMin<std::int16_t>(5, 3), 3);
    EXPECT_EQ(getMin<std::int16_t>(-4, 4), -4);
}

}  // namespace
}  // namespace nortavi
