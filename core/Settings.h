// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

namespace nortavi {

// The six persisted settings, shared by the evaluation, the windows and
// config.ini. A plain record: readers read the fields afresh each time.
struct Settings {
    std::string statusPath;
    std::int16_t timeToSafe = 15;
    std::int16_t timeToUnsafe = 5;
    bool cloudyAsClear = false;
    bool alarmOnSafe = false;
    bool alarmOnUnsafe = true;

    bool operator==(const Settings&) const = default;
};

// The defaults of a first run: the status path is the program's folder,
// which names no file, so no status is read until the user sets one.
Settings DefaultSettings(const std::string& programFolder);

}  // namespace nortavi
