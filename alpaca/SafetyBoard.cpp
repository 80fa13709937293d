// SPDX-License-Identifier: MIT
#include "SafetyBoard.h"

namespace nortavi::alpaca {

SafetyBoard::SafetyBoard(Clock::duration maxAge) : maxAge_(maxAge)
{
}

void SafetyBoard::PollEnded(const PollReport& report)
{
    PollEnded(report.status, report.conditionRead, report.stampChanging);
}

void SafetyBoard::PollEnded(ShownStatus status, bool conditionRead, bool stampChanging)
{
    const std::lock_guard lock(mutex_);
    latest_ = {status, conditionRead, stampChanging, Clock::now()};
    polled_ = true;
}

bool SafetyBoard::IsSafe() const
{
    const std::lock_guard lock(mutex_);
    return polled_ && latest_.status == ShownStatus::Safe && latest_.conditionRead &&
           latest_.stampChanging && Clock::now() - latest_.at <= maxAge_;
}

}  // namespace nortavi::alpaca
