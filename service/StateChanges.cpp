// SPDX-License-Identifier: MIT
#include "StateChanges.h"

#include <utility>

namespace nortavi {

namespace {

using Aspect = StateChange::Aspect;

// Each alarm with its name, in the order they are said.
void EachAlarm(Alarms alarms, const std::function<void(const char*)>& act)
{
    if (alarms.safe) {
        act("safe");
    }
    if (alarms.unsafe) {
        act("unsafe");
    }
    if (alarms.comms) {
        act("comms");
    }
}

// Those of `before` that `after` no longer has.
Alarms Ended(Alarms before, Alarms after)
{
    return {before.safe && !after.safe, before.unsafe && !after.unsafe,
            before.comms && !after.comms};
}

Alarms Common(Alarms a, Alarms b)
{
    return {a.safe && b.safe, a.unsafe && b.unsafe, a.comms && b.comms};
}

}  // namespace

FeedState FeedStateOf(const PollReport& report)
{
    switch (report.read) {
        case StatusRead::NoFile:
            return FeedState::Missing;
        case StatusRead::Unreadable:
            return FeedState::Unreadable;
        case StatusRead::Read:
            break;
    }
    return report.feedFresh && report.stampChanging ? FeedState::Fresh : FeedState::Stale;
}

const char* FeedStateText(FeedState feed)
{
    switch (feed) {
        case FeedState::Fresh:
            return "fresh";
        case FeedState::Stale:
            return "stale";
        case FeedState::Unreadable:
            return "unreadable";
        case FeedState::Missing:
            break;
    }
    return "missing";
}

StateChanges::StateChanges(Sink sink) : sink_(std::move(sink))
{
}

std::vector<StateChange> StateChanges::Take(const PollReport& report)
{
    std::vector<StateChange> changes;
    const FeedState feed = FeedStateOf(report);
    if (!polled_ || report.condition != condition_) {
        changes.push_back({Aspect::Condition, polled_ ? condition_ : "", report.condition});
    }
    if (!polled_ || feed != feed_) {
        changes.push_back({Aspect::Feed, polled_ ? FeedStateText(feed_) : "", FeedStateText(feed)});
    }
    if (!polled_ || report.status != status_) {
        changes.push_back(
            {Aspect::Status, polled_ ? StatusCaption(status_) : "", StatusCaption(report.status)});
    }
    EachAlarm(Ended(active_, report.active), [&changes](const char* alarm) {
        changes.push_back({Aspect::AlarmCancelled, "", alarm});
    });
    EachAlarm(report.raised, [&changes](const char* alarm) {
        changes.push_back({Aspect::AlarmRaised, "", alarm});
    });
    polled_ = true;
    condition_ = report.condition;
    feed_ = feed;
    status_ = report.status;
    active_ = report.active;
    return changes;
}

std::vector<StateChange> StateChanges::TakeCancel(Alarms silenced)
{
    std::vector<StateChange> changes;
    EachAlarm(Common(active_, silenced), [&changes](const char* alarm) {
        changes.push_back({Aspect::AlarmCancelled, "", alarm});
    });
    active_ = Ended(active_, silenced);
    return changes;
}

void StateChanges::PollEnded(const PollReport& report)
{
    auto changes = Take(report);
    if (sink_ && !changes.empty()) {
        sink_({report.at, &report, std::move(changes)});
    }
}

void StateChanges::AlarmsCancelled(LocalTime at, Alarms silenced)
{
    auto changes = TakeCancel(silenced);
    if (sink_ && !changes.empty()) {
        sink_({at, nullptr, std::move(changes)});
    }
}

}  // namespace nortavi
