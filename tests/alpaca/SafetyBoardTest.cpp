// SPDX-License-Identifier: MIT
// The rule that decides what observatory software is told, and the reasons
// given with it.
#include "SafetyBoard.h"

#include <gtest/gtest.h>

#include <thread>

namespace nortavi::alpaca {
namespace {

using namespace std::chrono_literals;

const LocalTime kSince = *MakeLocalTime(2026, 12, 7, 21, 3, 0);
const LocalTime kNow = kSince + 57min;

PollReport Report(ShownStatus status, StatusRead read, bool conditionRead, bool stampChanging,
                  bool stampEverRead = true)
{
    PollReport report;
    report.at = kNow;
    report.status = status;
    report.statusSince = kSince;
    report.read = read;
    report.conditionRead = conditionRead;
    report.stampChanging = stampChanging;
    report.stampEverRead = stampEverRead;
    report.lastStatusTime = kNow - 4min;
    return report;
}

TEST(SafetyBoardTest, SafeOnlyForAFreshSafeReadingAndOtherwiseSaysWhy)
{
    using enum ShownStatus;
    using enum StatusRead;
    struct Case {
        PollReport report;
        bool safe;
        const char* reasons;
    } const cases[] = {
        {Report(Safe, Read, true, true), true, "safe since 21:03"},
        {Report(Safe, Read, false, true), false, "status file's condition not recognised"},
        {Report(Safe, Unreadable, false, true), false, "status file unreadable"},
        {Report(Safe, NoFile, false, true), false, "status file missing"},
        {Report(Safe, Read, true, false), false, "status file's time stamp has not changed for 0 min"},
        {Report(Unsafe, Read, true, true), false, "unsafe since 21:03"},
        {Report(Unknown, Read, true, false), false, "status file stale 4 min"},
        {Report(Unknown, NoFile, false, false, false), false, "no status read yet; status file missing"},
        {Report(Pending, Read, false, true), false, "no verdict yet; status file's condition not recognised"},
    };
    EXPECT_FALSE(SafetyBoard().IsSafe()) << "before the first poll";
    EXPECT_EQ(SafetyBoard().Verdict().reasons, "no verdict yet");
    for (const Case& c : cases) {
        SafetyBoard board;
        board.PollEnded(c.report);
        EXPECT_EQ(board.IsSafe(), c.safe) << c.reasons;
        const SafetyVerdict verdict = board.Verdict();
        EXPECT_EQ(verdict.safe, c.safe) << c.reasons;
        EXPECT_EQ(verdict.reasons, c.reasons);
    }
}

TEST(SafetyBoardTest, ReasonsCountFromWhenThingsLastChanged)
{
    SafetyBoard board(200ms);
    PollReport report = Report(ShownStatus::Safe, StatusRead::Read, true, true);
    report.at = kNow - 3min;
    board.PollEnded(report);
    report.at = kNow;  // the same time stamp three minutes on
    report.stampChanging = false;
    board.PollEnded(report);
    EXPECT_EQ(board.Verdict().reasons, "status file's time stamp has not changed for 3 min");

    report.status = ShownStatus::Unsafe;
    report.statusSince = kSince - 24h;
    board.PollEnded(report);
    EXPECT_EQ(board.Verdict().reasons.substr(0, 29), "unsafe since 2026-12-06 21:03");

    // Polls that stop (a window that hangs) do not leave "safe" standing.
    board.PollEnded(Report(ShownStatus::Safe, StatusRead::Read, true, true));
    EXPECT_TRUE(board.IsSafe());
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(board.IsSafe());
    const SafetyVerdict verdict = board.Verdict();
    EXPECT_FALSE(verdict.safe);
    EXPECT_EQ(verdict.reasons.rfind("no poll for ", 0), 0U) << verdict.reasons;
}

}  // namespace
}  // namespace nortavi::alpaca
