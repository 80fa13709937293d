// SPDX-License-Identifier: MIT
// The night log on real files: a file per night from noon to noon, the
// newest 60 kept, a line cut short mended, and a log that cannot be
// written turning off with one warning while the polls and the chart go on.
#include "NightLogListener.h"

#include "Platform.h"
#include "TempFolder.h"
#ifndef _WIN32
#include "SaveFaults.h"
#endif

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace nortavi {
namespace {

using namespace std::chrono_literals;

LocalTime At(int day, int hour, int minute)
{
    return *MakeLocalTime(2026, 12, day, hour, minute, 0);
}

class NightLogTest : public testing::Test {
protected:
    std::string Nights() const
    {
        return folder.WithSeparator() + "nights" + platform::PathSeparator();
    }
    std::string NightFile(const std::string& night) const
    {
        return folder.Read("nights/" + night + ".csv");
    }

    std::unique_ptr<NightLogListener> Start()
    {
        auto log = std::make_unique<NightLogListener>(Nights(), [] { return 1h; });
        log->SetWarning([this](const std::string& text) { warnings.push_back(text); });
        return log;
    }

    static void Poll(NightLogListener& log, LocalTime at, const char* condition = "CLEAR")
    {
        PollReport report;
        report.at = at;
        report.condition = condition;
        report.status = ShownStatus::Safe;
        report.read = StatusRead::Read;
        report.feedFresh = report.stampChanging = report.stampEverRead = true;
        report.lastStatusTime = at;
        log.PollEnded(report);
    }

    TempFolder folder;
    std::vector<std::string> warnings;
};

TEST_F(NightLogTest, ANightRunsFromNoonToNoon)
{
    auto log = Start();
    Poll(*log, At(8, 11, 50));
    Poll(*log, At(8, 11, 55), "CLOUDY");
    Poll(*log, At(8, 12, 5), "CLOUDY");  // the ten minutes' line is due
    log->Stop(At(8, 12, 6));
    const std::string header = history::kCsvHeader;
    EXPECT_EQ(NightFile("2026-12-07"),
              header + "2026-12-08T11:50:00+01:00,started,CLEAR,SAFE,fresh,0,0,0\r\n" +
                  "2026-12-08T11:55:00+01:00,condition,CLOUDY,SAFE,fresh,0,0,0\r\n");
    EXPECT_EQ(NightFile("2026-12-08"),
              header + "2026-12-08T12:05:00+01:00,unchanged,CLOUDY,SAFE,fresh,0,0,0\r\n" +
                  "2026-12-08T12:06:00+01:00,stopped,CLOUDY,SAFE,fresh,0,0,0\r\n");
    EXPECT_TRUE(warnings.empty());
}

TEST_F(NightLogTest, KeepsTheNewestSixtyNightsAndNothingElseIsTouched)
{
    std::filesystem::create_directory(folder.path() / "nights");
    std::vector<std::string> old;
    for (int day = 0; day < 60; ++day) {
        const std::string night = history::NightOf(At(1, 12, 0) - std::chrono::days(60 - day));
        folder.Write("nights/" + night + ".csv", history::kCsvHeader);
        old.push_back(night);
    }
    folder.Write("nights/notes.txt", "mine");
    auto log = Start();
    Poll(*log, At(1, 21, 0));
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "nights" / (old.front() + ".csv")));
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "nights" / (old[1] + ".csv")));
    EXPECT_EQ(folder.Read("nights/notes.txt"), "mine");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path() / "nights"), {}), 61);
}

TEST_F(NightLogTest, ALineCutShortIsEndedAndPassedOver)
{
    std::filesystem::create_directory(folder.path() / "nights");
    const std::string before = std::string(history::kCsvHeader) +
                               "2026-12-07T21:00:00+01:00,started,CLEAR,SAFE,fresh,0,0,0\r\n" +
                               "2026-12-07T21:10:00+01:00,unchanged,CLE";
    folder.Write("nights/2026-12-07.csv", before);
    auto log = Start();
    Poll(*log, At(7, 21, 30));
    EXPECT_EQ(NightFile("2026-12-07"),
              before + "\r\n2026-12-07T21:30:00+01:00,started,CLEAR,SAFE,fresh,0,0,0\r\n");
    // The earlier run shows for the eleven minutes its one whole line covers.
    const auto chart = log->Chart();
    ASSERT_EQ(chart.sky.size(), 3u);
    EXPECT_EQ(chart.sky[1].state, history::SkyBand::Clear);
    EXPECT_EQ(chart.sky[1].to.utc - chart.sky[1].from.utc, history::kLineLasts);
    EXPECT_EQ(chart.sky[2].state, history::SkyBand::NotRunning);
}

#ifndef _WIN32
enum class Fault { DiskFull, FolderReadOnly };

class UnwritableNightLogTest : public NightLogTest, public testing::WithParamInterface<Fault> {};

TEST_P(UnwritableNightLogTest, TurnsOffWithOneWarningAndTheChartGoesOn)
{
    auto log = Start();
    std::string written;
    {
        std::unique_ptr<FileSizeLimit> full;
        std::unique_ptr<ReadOnlyFolder> readOnly;
        if (GetParam() == Fault::DiskFull) {
            Poll(*log, At(7, 21, 0));
            written = NightFile("2026-12-07");
            full = std::make_unique<FileSizeLimit>(written.size() + 20);  // part of a line
        } else {
            readOnly = std::make_unique<ReadOnlyFolder>(folder.path().string());
            if (!readOnly->Made()) {
                GTEST_SKIP() << "this system lets us write into a folder we made read-only";
            }
        }
        Poll(*log, At(7, 21, 5), "CLOUDY");
        Poll(*log, At(7, 21, 10), "V.CLOUDY");
        Poll(*log, At(7, 21, 15), "CLEAR");
    }
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find(Nights()), std::string::npos) << warnings[0];
    EXPECT_FALSE(log->Writing());
    Poll(*log, At(7, 21, 20), "CLOUDY");
    Poll(*log, At(7, 21, 25), "CLOUDY");
    EXPECT_EQ(warnings.size(), 1u) << "said once";
    EXPECT_EQ(NightFile("2026-12-07").substr(0, written.size()), written);
    EXPECT_LE(NightFile("2026-12-07").size(), written.size() + 20);
    const auto chart = log->Chart();
    EXPECT_EQ(chart.sky.back().state, history::SkyBand::Cloudy) << "the chart is kept in memory";
}

INSTANTIATE_TEST_SUITE_P(Faults, UnwritableNightLogTest,
                         testing::Values(Fault::DiskFull, Fault::FolderReadOnly),
                         [](const auto& test) {
                             return test.param == Fault::DiskFull ? "DiskFull" : "FolderReadOnly";
                         });
#endif

}  // namespace
}  // namespace nortavi
