// SPDX-License-Identifier: MIT
#include "Message.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>

namespace nortavi::notify {

namespace {

std::string Minutes(std::int16_t minutes)
{
    return std::to_string(std::max<int>(0, minutes)) + " min ago";
}

// What the condition shows and since when; for a stale feed, when the
// last reading came.
std::string ConditionSince(const PollReport& report)
{
    if (report.condition != "UNKNOWN") {
        return report.condition + " since " + ClockText(report.conditionSince, report.at);
    }
    if (!report.stampEverRead) {
        return "No sensor reading yet";
    }
    return "No fresh sensor reading since " + ClockText(report.lastStatusTime, report.at);
}

// The most recent bad condition other than the one shown.
std::string LastBad(const PollReport& report)
{
    const bool cloudy =
        report.condition != "CLOUDY" &&
        (report.condition == "V.CLOUDY" || report.minsSinceCloudy <= report.minsSinceVCloudy);
    return cloudy ? "last cloudy " + Minutes(report.minsSinceCloudy)
                  : "last very cloudy " + Minutes(report.minsSinceVCloudy);
}

std::string WhyStale(const PollReport& report)
{
    switch (report.read) {
        case StatusRead::NoFile:
            return "the status file is not there";
        case StatusRead::Unreadable:
            return "the status file cannot be read";
        case StatusRead::Read:
            break;
    }
    return "the status file is not being updated";
}

std::string AlarmNames(Alarms alarms)
{
    std::string names;
    int count = 0;
    for (const auto& [on, name] :
         {std::pair{alarms.unsafe, "unsafe"}, std::pair{alarms.comms, "feed-lost"},
          std::pair{alarms.safe, "safe"}}) {
        if (on) {
            names += (names.empty() ? "" : " and ") + std::string(name);
            ++count;
        }
    }
    return names + (count > 1 ? " alarms" : " alarm");
}

}  // namespace

std::string ClockText(LocalTime time, LocalTime now)
{
    using namespace std::chrono;
    const local_days day = floor<days>(time);
    const hh_mm_ss clock{time - day};
    char text[32];
    if (day == floor<days>(now)) {
        std::snprintf(text, sizeof text, "%02d:%02d", static_cast<int>(clock.hours().count()),
                      static_cast<int>(clock.minutes().count()));
    } else {
        static constexpr std::array<const char*, 12> kMonths{
            "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        const year_month_day date{day};
        std::snprintf(text, sizeof text, "%u %s %02d:%02d", static_cast<unsigned>(date.day()),
                      kMonths[static_cast<unsigned>(date.month()) - 1],
                      static_cast<int>(clock.hours().count()),
                      static_cast<int>(clock.minutes().count()));
    }
    return text;
}

const char* EventName(Event event)
{
    switch (event) {
        case Event::Unsafe:
            return "unsafe";
        case Event::FeedLost:
            return "feedLost";
        case Event::Safe:
            return "safe";
        case Event::FeedBack:
            return "feedBack";
        case Event::Cancelled:
            return "cancelled";
        case Event::Test:
            break;
    }
    return "test";
}

Message MakeMessage(Event event, bool repeat, const PollReport& report, LocalTime at,
                    Alarms cancelled)
{
    Message message;
    message.event = event;
    message.repeat = repeat;
    message.at = at;
    message.report = report;
    message.cancelled = cancelled;
    std::string what;
    std::string details;
    switch (event) {
        case Event::Unsafe:
            what = repeat ? "still UNSAFE" : "UNSAFE";
            details = ConditionSince(report) + "; last clear " + Minutes(report.minsSinceClear);
            break;
        case Event::Safe:
            what = repeat ? "still SAFE" : "SAFE";
            details = ConditionSince(report) + "; " + LastBad(report);
            break;
        case Event::FeedLost:
            what = repeat ? "feed still lost" : "FEED LOST";
            details = (report.stampEverRead
                           ? "No fresh sensor reading since " + ClockText(report.lastStatusTime, at)
                           : std::string("No sensor reading yet")) +
                      "; " + WhyStale(report);
            break;
        case Event::FeedBack:
            what = "feed back";
            details = report.condition + " at " + ClockText(report.lastStatusTime, at) +
                      "; status " + StatusCaption(report.status);
            break;
        case Event::Cancelled:
            what = "alarm cancelled";
            details = AlarmNames(cancelled) + " cancelled at the window at " + ClockText(at, at) +
                      "; status " + StatusCaption(report.status) + ", " + report.condition;
            details.front() = static_cast<char>(details.front() - 'a' + 'A');
            break;
        case Event::Test:
            what = "test message";
            details = "Nortavi's alarms will reach you here";
            break;
    }
    message.title = "Nortavi: " + what;
    message.details = details;
    message.text = message.title + ". " + details;
    return message;
}

}  // namespace nortavi::notify
