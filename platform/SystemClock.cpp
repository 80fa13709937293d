// SPDX-License-Identifier: MIT
#include "SystemClock.h"

#include "Platform.h"

#include <algorithm>

namespace nortavi::platform {

LocalTime SystemClock::Now()
{
    const CivilTime now = LocalNow();
    // A leap second (second 60) counts as the last second of its minute:
    // the status file's time stamps cannot name it either.
    const int second = std::min(now.second, 59);
    if (const auto time = MakeLocalTime(now.year, now.month, now.day, now.hour, now.minute, second)) {
        last_ = *time;
    }
    // Should the system ever report a time that does not exist, the last
    // good reading is a better guess than none.
    return last_;
}

}  // namespace nortavi::platform
