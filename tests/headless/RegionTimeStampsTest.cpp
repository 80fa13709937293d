// SPDX-License-Identifier: MIT
// The C library's date and time formats as the time stamp reader takes them.
#include "RegionTimeStamps.h"
#include "TimeStampParser.h"

#include <gtest/gtest.h>

namespace nortavi::headless {
namespace {

TEST(RegionTimeStampsTest, StrftimeFormatsInQtLetters)
{
    struct Case {
        const char* format;
        const char* pattern;  // nullptr: not read
    } const cases[] = {
        {"%m/%d/%Y", "M/d/yyyy"},  // en_US
        {"%d/%m/%y", "d/M/yy"},    // en_GB
        {"%d.%m.%Y", "d.M.yyyy"},  // de_DE
        {"%Y\xE5\xB9\xB4%m\xE6\x9C\x88%d\xE6\x97\xA5",
         "yyyy\xE5\xB9\xB4M\xE6\x9C\x88"
         "d\xE6\x97\xA5"},  // ja_JP
        {"%-d/%-m/%Y", "d/M/yyyy"},
        {"%Hh%M", "H'h'mm"},   // a letter in the text
        {"%r", "h:mm:ss AP"},  // en_US's T_FMT
        {"%T", "H:mm:ss"},
        {"%a %d %b %Y", nullptr},  // day and month names
        {"%Ey", nullptr},          // an era's year
    };
    for (const Case& c : cases) {
        const auto pattern = QtPatternFromStrftime(c.format, "%I:%M:%S %p");
        if (c.pattern == nullptr) {
            EXPECT_FALSE(pattern) << c.format;
        } else {
            EXPECT_EQ(pattern.value_or("(none)"), c.pattern) << c.format;
        }
    }
}

TEST(RegionTimeStampsTest, AConvertedRegionReadsItsStamps)
{
    const auto format = TimeStampFormat::FromPatterns(
        {*QtPatternFromStrftime("%d.%m.%Y"), {*QtPatternFromStrftime("%Hh%M")}, {}, {}, {}},
        PatternLetters::Qt);
    ASSERT_TRUE(format);
    EXPECT_EQ(ParseTimeStamp("07.12.2026 21h03", *format), MakeLocalTime(2026, 12, 7, 21, 3, 0));
}

}  // namespace
}  // namespace nortavi::headless
