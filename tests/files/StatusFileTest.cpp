// SPDX-License-Identifier: MIT
#include "StatusFile.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace nortavi {
namespace {

const LocalTime kBefore = *MakeLocalTime(2000, 1, 1, 0, 0, 0);
const LocalTime kStamp = *MakeLocalTime(2026, 12, 7, 21, 3, 5);

struct ReadCase {
    const char* name;
    std::string bytes;
    const char* word;  // nullptr: the read fails (empty word, time unchanged)
};

class StatusReadTest : public testing::TestWithParam<ReadCase> {};

TEST_P(StatusReadTest, ReadsTheFirstTwoFields)
{
    const auto& c = GetParam();
    TempFolder folder;
    const auto path = folder.Write("status.txt", c.bytes);
    std::string word = "stale";
    LocalTime time = kBefore;
    StatusFile().LoadStatus(path, word, time);
    if (c.word == nullptr) {
        EXPECT_EQ(word, "");
        EXPECT_EQ(time, kBefore);
    } else {
        EXPECT_EQ(word, c.word);
        EXPECT_EQ(time, kStamp);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, StatusReadTest,
    testing::Values(
        ReadCase{"OneLine", "12/7/2026 21:03:05,CLEAR\r\n", "CLEAR"},
        ReadCase{"TwoLines", "12/7/2026 21:03:05\r\nV.CLOUDY\r\n", "V.CLOUDY"},
        ReadCase{"ThirdFieldAndMoreLinesIgnored", "12/7/2026 21:03:05,CLOUDY,17.5\r\nx,y\r\n", "CLOUDY"},
        ReadCase{"BothQuoted", "\"12/7/2026 21:03:05\",\"CLEAR\"\r\n", "CLEAR"},
        ReadCase{"SpaceAfterComma", "12/7/2026 21:03:05, CLEAR\r\n", "CLEAR"},
        ReadCase{"LowerCaseWordHandedBackAsItIs", "12/7/2026 21:03:05,clear\r\n", "clear"},
        ReadCase{"IsoStamp", "2026-12-07T21:03:05,CLEAR", "CLEAR"},
        ReadCase{"EmptySecondField", "12/7/2026 21:03:05,\r\n", ""},
        ReadCase{"FirstFieldNotADate", "yesterday,CLEAR\r\n", nullptr},
        ReadCase{"EmptyFile", "", nullptr},
        ReadCase{"OneFieldOnly", "12/7/2026 21:03:05\r\n", nullptr},
        ReadCase{"CommaThenEnd", "12/7/2026 21:03:05,", nullptr},
        ReadCase{"Binary", std::string("\x00\x01\xff\xfe,\x00", 6), nullptr},
        ReadCase{"GoodLineThenMuchMore",
                 "12/7/2026 21:03:05,CLEAR\r\n" + std::string(200 * 1024, 'x'), "CLEAR"},
        ReadCase{"HugeFirstField", std::string(100 * 1024, '1') + ",CLEAR\r\n", nullptr},
        // the bounded read ends inside the word: "V" is no condition
        ReadCase{"WordCutByTheBoundedRead",
                 std::string(kMaxStatusFileBytes - 20, ' ') + "12/7/2026 21:03:05,V.CLOUDY", nullptr}),
    [](const auto& testCase) { return testCase.param.name; });

TEST(StatusFileTest, NoFileLeavesBothTheWordAndTheTimeAsTheyWere)
{
    TempFolder folder;
    const std::string paths[] = {folder.File("missing.txt"), folder.WithSeparator(), ""};
    for (const auto& path : paths) {
        std::string word = "as passed in";
        LocalTime time = kBefore;
        StatusFile().LoadStatus(path, word, time);
        EXPECT_EQ(word, "as passed in") << path;
        EXPECT_EQ(time, kBefore) << path;
    }
}

TEST(StatusFileTest, UsesTheDatePatternItWasGiven)
{
    TempFolder folder;
    const auto path = folder.Write("status.txt", "07.12.2026 21:03:05,CLEAR\r\n");
    StatusFile reader;
    std::string word;
    LocalTime time = kBefore;
    reader.LoadStatus(path, word, time);
    EXPECT_EQ(word, "");
    reader.SetTimeStampFormat(*TimeStampFormat::FromQtPattern("dd.MM.yyyy"));
    reader.LoadStatus(path, word, time);
    EXPECT_EQ(word, "CLEAR");
    EXPECT_EQ(time, kStamp);
}

TEST(StatusFileTest, ReadsAFileRewrittenAndReplacedBetweenReads)
{
    TempFolder folder;
    const auto path = folder.Write("status.txt", "12/7/2026 21:03:05,CLEAR\r\n");
    StatusFile reader;
    std::string word;
    LocalTime time = kBefore;
    reader.LoadStatus(path, word, time);
    ASSERT_EQ(word, "CLEAR");

    // The sensor's software writes a new file and renames it over the old one.
    const auto fresh = folder.Write("status.new", "12/7/2026 21:03:10,V.CLOUDY\r\n");
    std::filesystem::rename(fresh, path);
    word.clear();
    reader.LoadStatus(path, word, time);
    EXPECT_EQ(word, "V.CLOUDY");
    EXPECT_EQ(time, kStamp + std::chrono::seconds{5});

    // A read that meets the file half written fails, and the next one succeeds.
    folder.Write("status.txt", "12/7/2026 21:0");
    word.clear();
    reader.LoadStatus(path, word, time);
    EXPECT_EQ(word, "");
    folder.Write("status.txt", "12/7/2026 21:03:15,CLOUDY\r\n");
    reader.LoadStatus(path, word, time);
    EXPECT_EQ(word, "CLOUDY");
}

}  // namespace
}  // namespace nortavi

#ifndef _WIN32
#include <sys/stat.h>

namespace nortavi {
namespace {

// A pipe in place of the status file must not stall the poll waiting for a
// writer.
TEST(StatusFileTest, APipeIsRefusedWithoutWaiting)
{
    TempFolder folder;
    const auto path = folder.File("status.txt");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    std::string word = "x";
    LocalTime time = kBefore;
    StatusFile().LoadStatus(path, word, time);
    EXPECT_EQ(word, "");
    EXPECT_EQ(time, kBefore);
}

}  // namespace
}  // namespace nortavi
#endif
