// SPDX-License-Identifier: MIT
#include "NightLogListener.h"

#include "Platform.h"

#include <algorithm>
#include <utility>

namespace nortavi {

namespace {

using namespace std::chrono;
using history::LogEvent;
using history::Moment;
using history::NightLine;

// Lines kept in memory: the chart's twelve hours, and an hour before them
// so that the state at the chart's left edge is known.
constexpr auto kKeptInMemory = history::kChartSpan + hours(1);

history::Feed FeedOf(const PollReport& report)
{
    switch (FeedStateOf(report)) {
        case FeedState::Fresh:
            return history::Feed::Fresh;
        case FeedState::Stale:
            return history::Feed::Stale;
        case FeedState::Unreadable:
            return history::Feed::Unreadable;
        case FeedState::Missing:
            break;
    }
    return history::Feed::Missing;
}

history::AlarmKind AlarmOf(const std::string& name)
{
    if (name == "safe") {
        return history::AlarmKind::Safe;
    }
    return name == "unsafe" ? history::AlarmKind::Unsafe : history::AlarmKind::Comms;
}

NightLine WithEvent(NightLine line, LogEvent event,
                    history::AlarmKind alarm = history::AlarmKind::None)
{
    line.event = event;
    line.alarm = alarm;
    return line;
}

}  // namespace

std::string NightLogListener::FolderFor(const ProgramFolders& folders)
{
    const std::string& name = folders.settingsFile;
    std::string folder = "nights";
    if (name != "config.ini") {
        folder += "-" + name.substr(0, name.rfind('.'));
    }
    return folders.save + folder + platform::PathSeparator();
}

NightLogListener::NightLogListener(std::string folder, UtcOffset utcOffset)
    : files_(std::move(folder)), utcOffset_(std::move(utcOffset))
{
}

Moment NightLogListener::MomentOf(LocalTime at) const
{
    const seconds offset = utcOffset_ ? utcOffset_() : seconds(0);
    return {history::UtcTime{at.time_since_epoch()} - offset, offset};
}

NightLine NightLogListener::LineOf(const PollReport& report, Moment at) const
{
    NightLine line;
    line.at = at;
    line.condition = history::SkyOf(report.condition);
    line.status = report.status;
    line.feed = FeedOf(report);
    line.minsSinceClear = report.minsSinceClear;
    line.minsSinceCloudy = report.minsSinceCloudy;
    line.minsSinceVCloudy = report.minsSinceVCloudy;
    return line;
}

void NightLogListener::PollEnded(const PollReport& report)
{
    const Moment at = MomentOf(report.at);
    const NightLine state = LineOf(report, at);
    polled_ = state;
    std::vector<NightLine> lines;
    const auto changes = changes_.Take(report);
    if (!started_) {
        started_ = true;
        LoadRecentNights(at);
        const std::lock_guard lock(mutex_);
        running_ = true;
        lines.push_back(WithEvent(state, LogEvent::Started));
    }
    for (const StateChange& change : changes) {
        switch (change.aspect) {
            case StateChange::Aspect::Condition:
                if (!change.from.empty()) {
                    lines.push_back(WithEvent(state, LogEvent::Condition));
                }
                break;
            case StateChange::Aspect::Feed:
                if (!change.from.empty()) {
                    lines.push_back(WithEvent(state, LogEvent::Feed));
                }
                break;
            case StateChange::Aspect::Status:
                if (!change.from.empty()) {
                    lines.push_back(WithEvent(state, LogEvent::Status));
                }
                break;
            case StateChange::Aspect::AlarmRaised:
                lines.push_back(WithEvent(state, LogEvent::AlarmRaised, AlarmOf(change.to)));
                break;
            case StateChange::Aspect::AlarmCancelled:
                lines.push_back(WithEvent(state, LogEvent::AlarmEnded, AlarmOf(change.to)));
                break;
        }
    }
    // A clock set back counts as time gone by too.
    if (lines.empty() && (at.utc - last_.at.utc >= kUnchangedEvery || at.utc < last_.at.utc)) {
        lines.push_back(WithEvent(state, LogEvent::Unchanged));
    }

    history::PageNow now;
    now.at = at;
    now.condition = report.condition;
    now.status = report.status;
    now.feed = state.feed;
    if (report.stampEverRead) {
        now.feedAge = report.at - report.lastStatusTime;
    }
    now.minsSinceClear = report.minsSinceClear;
    now.minsSinceCloudy = report.minsSinceCloudy;
    now.minsSinceVCloudy = report.minsSinceVCloudy;
    now.alarms = report.active;
    Keep(lines, &now);
    Write(lines);
}

void NightLogListener::AlarmsCancelled(LocalTime at, Alarms silenced)
{
    if (!started_) {
        return;
    }
    NightLine state = polled_;
    state.at = MomentOf(at);
    std::vector<NightLine> lines;
    for (const StateChange& change : changes_.TakeCancel(silenced)) {
        lines.push_back(WithEvent(state, LogEvent::AlarmCancelled, AlarmOf(change.to)));
    }
    history::PageNow now = Now();
    now.alarms = {now.alarms.safe && !silenced.safe, now.alarms.unsafe && !silenced.unsafe,
                  now.alarms.comms && !silenced.comms};
    Keep(lines, &now);
    Write(lines);
}

void NightLogListener::Stop(LocalTime at)
{
    if (!started_ || stopped_) {
        return;
    }
    stopped_ = true;
    {
        const std::lock_guard lock(mutex_);
        running_ = false;
    }
    NightLine line = WithEvent(polled_, LogEvent::Stopped);
    line.at = MomentOf(at);
    Keep({line}, nullptr);
    Write({line});
}

void NightLogListener::LoadRecentNights(Moment now)
{
    // The nights the chart's hours can fall in, with room for the offset
    // to have changed since (daylight saving time, a journey).
    const LocalTime local = now.Local();
    auto lines = files_.Read(history::NightOf(local - kKeptInMemory - hours(3)),
                             history::NightOf(local + hours(3)));
    std::stable_sort(lines.begin(), lines.end(),
                     [](const NightLine& a, const NightLine& b) { return a.at.utc < b.at.utc; });
    const std::lock_guard lock(mutex_);
    for (const NightLine& line : lines) {
        if (line.at.utc <= now.utc) {
            recent_.push_back(line);
        }
    }
}

void NightLogListener::Keep(const std::vector<NightLine>& lines, const history::PageNow* now)
{
    if (!lines.empty()) {
        last_ = lines.back();
    }
    const std::lock_guard lock(mutex_);
    recent_.insert(recent_.end(), lines.begin(), lines.end());
    if (now) {
        now_ = *now;
    }
    // Older lines go, but for the last one before the chart's left edge.
    const history::UtcTime cut = now_.at.utc - kKeptInMemory;
    while (recent_.size() > 1 && recent_[1].at.utc < cut) {
        recent_.pop_front();
    }
    ++version_;
}

void NightLogListener::Write(const std::vector<NightLine>& lines)
{
    if (!writing_ || lines.empty()) {
        return;
    }
    std::string text;
    for (const NightLine& line : lines) {
        text += history::CsvLine(line);
    }
    if (const auto problem = files_.Append(history::NightOf(lines.front().at.Local()), text)) {
        writing_ = false;
        if (warning_) {
            warning_("The night log cannot be written in " + files_.Folder() + " (" + *problem +
                     "). It is off until the program starts again; the alarms go on as before.");
        }
    }
}

history::NightChart NightLogListener::Chart() const
{
    std::vector<NightLine> lines;
    Moment now;
    bool running = false;
    {
        const std::lock_guard lock(mutex_);
        lines.assign(recent_.begin(), recent_.end());
        now = now_.at;
        running = running_;
    }
    return history::BuildNightChart(std::move(lines), now, running);
}

history::PageNow NightLogListener::Now() const
{
    const std::lock_guard lock(mutex_);
    return now_;
}

std::uint64_t NightLogListener::Version() const
{
    const std::lock_guard lock(mutex_);
    return version_;
}

}  // namespace nortavi
