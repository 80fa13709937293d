// SPDX-License-Identifier: MIT
// The rule that decides what observatory software is told.
#include "SafetyBoard.h"

#include <gtest/gtest.h>

#include <thread>

namespace nortavi::alpaca {
namespace {

TEST(SafetyBoardTest, SafeOnlyForAFreshSafeReadingThatIsRecent)
{
    SafetyBoard board(std::chrono::milliseconds(200));
    EXPECT_FALSE(board.IsSafe()) << "before the first poll";
    struct Case {
        ShownStatus status;
        bool conditionRead;
        bool stampChanging;
        bool safe;
    } const cases[] = {
        {ShownStatus::Safe, true, true, true},     {ShownStatus::Safe, false, true, false},
        {ShownStatus::Safe, true, false, false},   {ShownStatus::Unsafe, true, true, false},
        {ShownStatus::Unknown, true, true, false}, {ShownStatus::Pending, true, true, false},
    };
    for (const Case& c : cases) {
        board.PollEnded(c.status, c.conditionRead, c.stampChanging);
        EXPECT_EQ(board.IsSafe(), c.safe)
            << static_cast<int>(c.status) << " " << c.conditionRead << " " << c.stampChanging;
    }
    // Polls that stop (a window that hangs) do not leave "safe" standing.
    board.PollEnded(ShownStatus::Safe, true, true);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(board.IsSafe());
}

}  // namespace
}  // namespace nortavi::alpaca
