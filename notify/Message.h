// SPDX-License-Identifier: MIT
#pragma once

#include "LocalTime.h"
#include "PollReport.h"

#include <atomic>
#include <memory>
#include <string>

namespace nortavi::notify {

enum class Event {
    Unsafe,     // the unsafe alarm was raised
    FeedLost,   // the comms alarm: the status file went stale
    Safe,       // the safe alarm was raised
    FeedBack,   // fresh readings again after the feed was lost
    Cancelled,  // the alarm button silenced alarms
    Test,       // "Send test message" in the notification settings
};

// One message, as every route sends it.
struct Message {
    Event event = Event::Test;
    bool repeat = false;  // the alarm is still up and uncancelled
    LocalTime at;         // when it happened, by the program's clock
    PollReport report;    // the poll it comes from (the last one, for a cancel)
    Alarms cancelled;     // what the button silenced
    // A repeat goes only while its alarm is up: cleared when the alarm ends.
    std::shared_ptr<const std::atomic<bool>> alarmUp;
    std::string title;    // "Nortavi: UNSAFE"
    std::string details;  // "V.CLOUDY since 21:03; last clear 12 min ago"
    std::string text;     // both: "Nortavi: UNSAFE. V.CLOUDY since 21:03; last clear 12 min ago"

    // A first alarm: never made room for in a full queue.
    bool FirstAlarm() const
    {
        return !repeat &&
               (event == Event::Unsafe || event == Event::FeedLost || event == Event::Safe);
    }
    bool Obsolete() const { return repeat && alarmUp != nullptr && !alarmUp->load(); }
};

// A message with its title and text made from what it says.
Message MakeMessage(Event event, bool repeat, const PollReport& report, LocalTime at,
                    Alarms cancelled = {});

// "21:03" on the day of `now`, "6 Dec 21:03" on another.
std::string ClockText(LocalTime time, LocalTime now);

// The event's name in the webhook's document: "unsafe", "feedLost", ...
const char* EventName(Event event);

}  // namespace nortavi::notify
