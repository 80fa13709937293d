// SPDX-License-Identifier: MIT
#pragma once

#include "Ports.h"

#include <chrono>
#include <mutex>

namespace nortavi::alpaca {

// What each poll found, kept for the network server: written on the
// window's thread at the end of every poll, read on the server's own.
class SafetyBoard final : public MonitorListener {
public:
    using Clock = std::chrono::steady_clock;

    // A reading older than `maxAge` no longer counts as safe: polls that
    // stop (a window that hangs) must not leave "safe" standing.
    explicit SafetyBoard(Clock::duration maxAge = std::chrono::seconds(15));

    void PollEnded(const PollReport& report) override;
    void PollEnded(ShownStatus status, bool conditionRead, bool stampChanging);

    // Safe only while the window shows SAFE from a fresh feed, the last
    // poll read a condition, the file's time stamp still changes, and that
    // poll is recent. Everything else, no poll yet included, is not safe.
    bool IsSafe() const;

private:
    const Clock::duration maxAge_;
    struct Reading {
        ShownStatus status = ShownStatus::Pending;
        bool conditionRead = false;
        bool stampChanging = false;
        Clock::time_point at{};
    };

    mutable std::mutex mutex_;
    Reading latest_;
    bool polled_ = false;
};

}  // namespace nortavi::alpaca
