// SPDX-License-Identifier: MIT
// The night log's lines: a line read back is the line written, on real
// time whatever the offset, and a damaged line is not read at all.
#include "NightLine.h"

#include <gtest/gtest.h>

#include <string>

namespace nortavi::history {
namespace {

using namespace std::chrono;

TEST(NightLineTest, ReadsBackWhatItWrote)
{
    const UtcTime at = sys_days{2026y / 12 / 7} + 20h + 3min + 5s;
    for (const NightLine& line : {NightLine{{at, -(3h + 30min)},
                                            LogEvent::AlarmCancelled,
                                            AlarmKind::Comms,
                                            Sky::VeryCloudy,
                                            ShownStatus::Unknown,
                                            Feed::Unreadable,
                                            -30,
                                            0,
                                            32767},
                                  NightLine{{at, 14h},
                                            LogEvent::Started,
                                            AlarmKind::None,
                                            Sky::Clear,
                                            ShownStatus::Pending,
                                            Feed::Missing,
                                            0,
                                            0,
                                            0}}) {
        const std::string text = CsvLine(line);
        ASSERT_EQ(text.substr(text.size() - 2), "\r\n");
        EXPECT_EQ(ParseCsvLine(text.substr(0, text.size() - 2)), line) << text;
    }
    const auto read =
        ParseCsvLine("2026-12-07T21:03:05+01:00,unsafe alarm raised,CLOUDY,UNSAFE,fresh,5,0,185");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->at.utc, at);
}

TEST(NightLineTest, PassesOverDamagedLines)
{
    const std::string good = "2026-12-07T21:03:05+01:00,status,CLOUDY,UNSAFE,fresh,5,0,185";
    ASSERT_TRUE(ParseCsvLine(good));
    std::string header = kCsvHeader;
    header.resize(header.size() - 2);
    for (const std::string& bad : std::initializer_list<std::string>{
             header, good.substr(0, 40), good.substr(0, good.size() - 4), good + ",1", "," + good,
             "2026-12-07T21:03:05+1:00,status,CLOUDY,UNSAFE,fresh,5,0,185",
             "2026-12-07 21:03:05+01:00,status,CLOUDY,UNSAFE,fresh,5,0,185",
             "2026-02-30T21:03:05+01:00,status,CLOUDY,UNSAFE,fresh,5,0,185",
             "2026-12-07T21:03:05+19:00,status,CLOUDY,UNSAFE,fresh,5,0,185",
             "2026-12-07T21:03:05+01:00,unsafe alarm snoozed,CLOUDY,UNSAFE,fresh,5,0,185",
             "2026-12-07T21:03:05+01:00,alarm raised,CLOUDY,UNSAFE,fresh,5,0,185",
             "2026-12-07T21:03:05+01:00,status,cloudy,UNSAFE,fresh,5,0,185",
             "2026-12-07T21:03:05+01:00,status,CLOUDY,UNSAFE,fresh,5,0,99999",
             "2026-12-07T21:03:05+01:00,status,CLOUDY,UNSAFE,fresh,5, 0,185"}) {
        EXPECT_FALSE(ParseCsvLine(bad)) << bad;
    }
}

}  // namespace
}  // namespace nortavi::history
