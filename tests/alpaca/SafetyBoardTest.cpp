// SPDX-License-Identifier: MIT
// The rule that decides what observatory software is told, and the reasons
// given with it.
#include "SafetyBoard.h"

#include <gtest/gtest.h>

#include <thread>

namespace nortavi::alpaca {
namespace {

using namespace std::chrono_literals;

const LocalTime kNow = *MakeLocalTime(2026, 12, 7, 22, 0, 0);

PollReport Report(ShownStatus status, StatusRead read, bool conditionRead, bool stampChanging,
                  LocalTime since = kNow - 57min)
{
    PollReport report;
    report.at = kNow;
    report.status = status;
    report.statusSince = since;
    report.read = read;
    report.conditionRead = conditionRead;
    report.stampChanging = stampChanging;
    report.stampEverRead = read != StatusRead::NoFile;
    report.lastStatusTime = kNow - 4min;
    return report;
}

TEST(SafetyBoardTest, SafeOnlyForAFreshSafeReadingThatIsRecentAndOtherwiseSaysWhy)
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
        {Report(Safe, NoFile, false, true), false, "status file missing"},
        {Report(Safe, Read, true, false), false, "status file's time stamp has not changed for 0 min"},
        {Report(Unsafe, Read, true, true, kNow - 24h), false, "unsafe since 2026-12-06 22:00"},
        {Report(Unknown, Read, true, true), false, "status file stale 4 min"},
        {Report(Unknown, NoFile, false, false), false, "no status read yet; status file missing"},
        {Report(Pending, Unreadable, false, true), false, "no verdict yet; status file unreadable"},
    };
    EXPECT_EQ(SafetyBoard().Verdict().reasons, "no verdict yet") << "before the first poll";
    for (const Case& c : cases) {
        SafetyBoard board;
        board.PollEnded(c.report);
        EXPECT_EQ(board.IsSafe(), c.safe) << c.reasons;
        EXPECT_EQ(board.Verdict().safe, c.safe) << c.reasons;
        EXPECT_EQ(board.Verdict().reasons, c.reasons);
    }
    // Polls that stop (a window that hangs) do not leave "safe" standing.
    SafetyBoard board(200ms);
    board.PollEnded(cases[0].report);
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(board.IsSafe());
    EXPECT_EQ(board.Verdict().reasons.rfind("no poll for ", 0), 0U) << board.Verdict().reasons;
}

}  // namespace
}  // namespace nortavi::alpaca
