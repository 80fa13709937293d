// SPDX-License-Identifier: MIT
#pragma once

#include "LocalTime.h"

namespace nortavi {

// The main window's time stamps and alarm flags. Not persisted.
struct MonitorState {
    LocalTime lastStatusTime{};   // time stamp of the last good status read
    LocalTime lastClearTime{};    // lastStatusTime when CLEAR was last read
    LocalTime lastCloudyTime{};   // ... CLOUDY
    LocalTime lastVCloudyTime{};  // ... V.CLOUDY
    bool commsAlarmActive = false;
    bool unsafeAlarmActive = false;
    bool safeAlarmActive = false;
    bool safeAlarmArmed = true;
    bool unsafeAlarmArmed = true;
    bool commsAlarmArmed = true;

    bool operator==(const MonitorState&) const = default;
};

}  // namespace nortavi
