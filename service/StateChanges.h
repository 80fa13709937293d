// SPDX-License-Identifier: MIT
#pragma once

// What changed from one poll to the next, said once per change: the lines
// the headless monitor writes for the journal, and the night's log.

#include "PollReport.h"

#include <functional>
#include <string>
#include <vector>

namespace nortavi {

// How the status file's feed stands after a poll. Stale: its time stamp is
// over two minutes old, or has not changed for two minutes (a sensor whose
// clock runs ahead, stopped).
enum class FeedState { Fresh, Stale, Unreadable, Missing };

FeedState FeedStateOf(const PollReport& report);
const char* FeedStateText(FeedState feed);   // "fresh", "stale", "unreadable", "missing"

struct StateChange {
    enum class Aspect { Condition, Status, Feed, AlarmRaised, AlarmCancelled };
    Aspect aspect = Aspect::Condition;
    // The condition, status or feed as before and after it; `from` is empty
    // at the first poll, which states all three. For an alarm, `to` says
    // which: "safe", "unsafe" or "comms".
    std::string from;
    std::string to;

    bool operator==(const StateChange&) const = default;
};

// A poll's changes, or an alarm button's cancel (report null), in the order
// condition, feed, status, cancelled alarms, raised alarms.
struct StateChangeBatch {
    LocalTime at;
    const PollReport* report = nullptr;  // valid only while the sink runs
    std::vector<StateChange> changes;
};

// Turns the sequence of poll reports and cancels into changes. An alarm
// ends either at the button or at the poll that no longer has it active
// (the opposite event); each is said once.
class StateChanges final : public MonitorListener {
public:
    using Sink = std::function<void(const StateChangeBatch&)>;

    // `sink` hears every batch that holds a change, and nothing else.
    explicit StateChanges(Sink sink = {});

    // The changes this report brings; it becomes the state compared with next.
    std::vector<StateChange> Take(const PollReport& report);
    std::vector<StateChange> TakeCancel(Alarms silenced);

    void PollEnded(const PollReport& report) override;
    void AlarmsCancelled(LocalTime at, Alarms silenced) override;

private:
    Sink sink_;
    bool polled_ = false;
    std::string condition_;
    ShownStatus status_ = ShownStatus::Pending;
    FeedState feed_ = FeedState::Missing;
    Alarms active_;
};

}  // namespace nortavi
