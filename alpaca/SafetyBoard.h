// SPDX-License-Identifier: MIT
#pragma once

#include "Ports.h"

#include <chrono>
#include <mutex>
#include <optional>
#include <string>

namespace nortavi::alpaca {

// Whether the roof may open, and why, in plain words.
struct SafetyVerdict {
    bool safe = false;
    std::string reasons;  // "safe since 21:03", "status file stale 4 min; status file missing"
};

// What each poll found, kept for the network server: written on the
// window's thread at the end of every poll, read on the server's own.
class SafetyBoard final : public MonitorListener {
public:
    using Clock = std::chrono::steady_clock;

    // A reading older than `maxAge` no longer counts as safe: polls that
    // stop (a window that hangs) must not leave "safe" standing.
    explicit SafetyBoard(Clock::duration maxAge = std::chrono::seconds(15));

    void PollEnded(const PollReport& report) override;

    // Safe only while the window shows SAFE from a fresh feed, the last
    // poll read a condition, the file's time stamp still changes, and that
    // poll is recent. Everything else, no poll yet included, is not safe.
    bool IsSafe() const;
    // The same answer, with the reasons for it.
    SafetyVerdict Verdict() const;

private:
    struct Reading {
        PollReport report;
        Clock::time_point at;
        LocalTime stampChangedAt;  // the poll's clock when the file's time stamp last moved
    };
    static bool Safe(const Reading& reading);
    bool Recent(const Reading& reading, Clock::time_point now) const;

    const Clock::duration maxAge_;
    mutable std::mutex mutex_;
    std::optional<Reading> latest_;
};

}  // namespace nortavi::alpaca
