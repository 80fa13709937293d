// SPDX-License-Identifier: MIT
#pragma once

// What each poll found and did, for those outside the window that act on
// it: the network publication, notifications, the night's log.

#include "LocalTime.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace nortavi {

// The status the window shows.
enum class ShownStatus { Pending, Safe, Unsafe, Unknown };

// Each status as StatusField shows it, in the order of ShownStatus.
inline constexpr std::array<const char*, 4> kStatusCaptions{"PENDING", "SAFE", "UNSAFE", "UNKNOWN"};

inline const char* StatusCaption(ShownStatus status)
{
    return kStatusCaptions[static_cast<std::size_t>(status)];
}

// How a poll's read of the status file went.
enum class StatusRead {
    NoFile,      // nothing at the status path
    Unreadable,  // there, but it could not be read, or held no time stamp and condition
    Read,        // a time stamp and a condition word (which may be one Nortavi does not know)
};

struct Alarms {
    bool safe = false;
    bool unsafe = false;
    bool comms = false;

    bool Any() const { return safe || unsafe || comms; }
    bool operator==(const Alarms&) const = default;
};

struct PollReport {
    LocalTime at;           // the clock as the poll ended
    std::string condition;  // as ConditionField shows it: CLEAR, CLOUDY, V.CLOUDY or UNKNOWN
    LocalTime conditionSince;  // the status file's time stamp when it first showed this condition
    ShownStatus status = ShownStatus::Pending;
    LocalTime statusSince;  // the clock when the status was first shown (the start for PENDING)
    bool feedFresh = false;  // the status file's time stamp is at most two minutes old
    StatusRead read = StatusRead::NoFile;
    bool conditionRead = false;  // this poll read CLEAR, CLOUDY or V.CLOUDY
    // The file's time stamp changed within the last two minutes: a sensor
    // whose clock runs ahead would otherwise look fresh for ever once it stops.
    bool stampChanging = false;
    bool stampEverRead = false;  // lastStatusTime comes from the file, not from the start
    LocalTime lastStatusTime;
    std::int16_t minsSinceClear = 0;
    std::int16_t minsSinceCloudy = 0;
    std::int16_t minsSinceVCloudy = 0;
    Alarms raised;  // by this poll
    Alarms active;  // sounding after it
};

class MonitorListener {
public:
    virtual ~MonitorListener() = default;
    // After each poll, start-up's first one included.
    virtual void PollEnded(const PollReport& report) = 0;
    // The alarm button silenced these (none are left active).
    virtual void AlarmsCancelled(LocalTime /*at*/, Alarms /*silenced*/) {}
};

}  // namespace nortavi
