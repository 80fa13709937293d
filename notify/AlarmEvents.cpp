// SPDX-License-Identifier: MIT
#include "AlarmEvents.h"

namespace nortavi::notify {

namespace {

bool Chosen(Event event, const NotifySettings& settings)
{
    switch (event) {
        case Event::Unsafe:
            return settings.onUnsafe;
        case Event::FeedLost:
            return settings.onFeedLost;
        case Event::Safe:
            return settings.onSafe;
        case Event::FeedBack:
            return settings.onFeedBack;
        case Event::Cancelled:
            return settings.onCancel;
        case Event::Test:
            break;
    }
    return true;
}

}  // namespace

void AlarmEvents::End(Which which)
{
    if (alarms_[which]) {
        alarms_[which]->up->store(false);
        alarms_[which].reset();
    }
}

std::vector<Message> AlarmEvents::PollEnded(const PollReport& report,
                                            const NotifySettings& settings)
{
    std::vector<Message> messages;
    // The feed first: a stale feed is why the others may follow.
    const std::array<std::tuple<Which, Event, bool, bool>, 3> alarms{
        std::tuple{kComms, Event::FeedLost, report.raised.comms, report.active.comms},
        std::tuple{kUnsafe, Event::Unsafe, report.raised.unsafe, report.active.unsafe},
        std::tuple{kSafe, Event::Safe, report.raised.safe, report.active.safe},
    };
    const std::chrono::minutes every{settings.repeatMinutes};
    for (const auto& [which, event, raised, active] : alarms) {
        if (raised) {
            End(which);
            alarms_[which] = Alarm{std::make_shared<std::atomic<bool>>(true), report.at};
            if (Chosen(event, settings)) {
                messages.push_back(MakeMessage(event, false, report, report.at));
                messages.back().alarmUp = alarms_[which]->up;
            }
        } else if (!active) {
            End(which);
        } else if (alarms_[which] && Chosen(event, settings) && every.count() > 0) {
            Alarm& alarm = *alarms_[which];
            if (report.at < alarm.lastSent) {
                alarm.lastSent = report.at;  // the clock was put back
            } else if (report.at - alarm.lastSent >= every) {
                alarm.lastSent = report.at;
                messages.push_back(MakeMessage(event, true, report, report.at));
                messages.back().alarmUp = alarm.up;
            }
        }
    }
    if (report.raised.comms) {
        feedLost_ = true;
    }
    if (report.feedFresh && feedLost_) {
        feedLost_ = false;
        if (Chosen(Event::FeedBack, settings)) {
            messages.push_back(MakeMessage(Event::FeedBack, false, report, report.at));
        }
    }
    last_ = report;
    return messages;
}

std::vector<Message> AlarmEvents::AlarmsCancelled(LocalTime at, Alarms silenced,
                                                  const NotifySettings& settings)
{
    std::vector<Message> messages;
    for (const auto& [which, on] :
         {std::pair{kUnsafe, silenced.unsafe}, std::pair{kComms, silenced.comms},
          std::pair{kSafe, silenced.safe}}) {
        if (on) {
            End(which);
        }
    }
    if (Chosen(Event::Cancelled, settings) && last_) {
        messages.push_back(MakeMessage(Event::Cancelled, false, *last_, at, silenced));
    }
    return messages;
}

}  // namespace nortavi::notify
