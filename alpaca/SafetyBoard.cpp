// SPDX-License-Identifier: MIT
#include "SafetyBoard.h"

#include <vector>

namespace nortavi::alpaca {

namespace {

// "21:03", or "2026-12-06 21:03" when it was not on the day of `now`.
std::string ClockTime(LocalTime time, LocalTime now)
{
    const std::string text = FormatLocalTime(time);
    const bool sameDay = std::chrono::floor<std::chrono::days>(time) ==
                         std::chrono::floor<std::chrono::days>(now);
    return sameDay ? text.substr(11, 5) : text.substr(0, 16);
}

std::string Minutes(LocalTime from, LocalTime to)
{
    return std::to_string(MinutesBetween(from, to)) + " min";
}

std::string Join(const std::vector<std::string>& parts)
{
    std::string text;
    for (const std::string& part : parts) {
        text += (text.empty() ? "" : "; ") + part;
    }
    return text;
}

}  // namespace

SafetyBoard::SafetyBoard(Clock::duration maxAge) : maxAge_(maxAge)
{
}

void SafetyBoard::PollEnded(const PollReport& report)
{
    const std::lock_guard lock(mutex_);
    const bool moved = !latest_ || latest_->report.lastStatusTime != report.lastStatusTime;
    const LocalTime stampChangedAt = moved ? report.at : latest_->stampChangedAt;
    latest_ = Reading{report, Clock::now(), stampChangedAt};
}

bool SafetyBoard::Safe(const Reading& reading)
{
    const PollReport& report = reading.report;
    return report.status == ShownStatus::Safe && report.conditionRead && report.stampChanging;
}

bool SafetyBoard::Recent(const Reading& reading, Clock::time_point now) const
{
    return now - reading.at <= maxAge_;
}

bool SafetyBoard::IsSafe() const
{
    const std::lock_guard lock(mutex_);
    return latest_ && Safe(*latest_) && Recent(*latest_, Clock::now());
}

SafetyVerdict SafetyBoard::Verdict() const
{
    std::optional<Reading> reading;
    const Clock::time_point now = Clock::now();
    {
        const std::lock_guard lock(mutex_);
        reading = latest_;
    }
    if (!reading) {
        return {false, "no verdict yet"};
    }
    if (!Recent(*reading, now)) {
        const auto silent = std::chrono::duration_cast<std::chrono::seconds>(now - reading->at);
        return {false, "no poll for " + std::to_string(silent.count()) + " s"};
    }
    const PollReport& report = reading->report;
    if (Safe(*reading)) {
        return {true, "safe since " + ClockTime(report.statusSince, report.at)};
    }
    std::vector<std::string> reasons;
    switch (report.status) {
        case ShownStatus::Unsafe:
            reasons.push_back("unsafe since " + ClockTime(report.statusSince, report.at));
            break;
        case ShownStatus::Unknown:
            reasons.push_back(report.stampEverRead
                                  ? "status file stale " + Minutes(report.lastStatusTime, report.at)
                                  : "no status read yet");
            break;
        case ShownStatus::Pending:
            reasons.push_back("no verdict yet");
            break;
        case ShownStatus::Safe:
            break;  // safe but for what follows
    }
    if (report.read == StatusRead::NoFile) {
        reasons.push_back("status file missing");
    } else if (report.read == StatusRead::Unreadable) {
        reasons.push_back("status file unreadable");
    } else if (!report.conditionRead) {
        reasons.push_back("status file's condition not recognised");
    }
    // A stale feed says it already.
    if (!report.stampChanging && report.status != ShownStatus::Unknown) {
        reasons.push_back("status file's time stamp has not changed for " +
                          Minutes(reading->stampChangedAt, report.at));
    }
    return {false, Join(reasons)};
}

}  // namespace nortavi::alpaca
