// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

namespace nortavi {

// Publishing the status to observatory software over the network (ASCOM
// Alpaca): off unless the user turns it on.
struct AlpacaSettings {
    bool server = false;
    std::uint16_t port = 11111;  // 1..65535
    bool allowRemote = false;    // false: loopback only
    std::uint16_t discoveryPort = 32227;
    std::string uniqueId;  // made when the server is first turned on, then kept

    bool operator==(const AlpacaSettings&) const = default;
};

// The six persisted settings, shared by the evaluation, the windows and
// config.ini, and those of the network publication, which follow them in
// the file. A plain record: readers read the fields afresh each time.
struct Settings {
    std::string statusPath;
    std::int16_t timeToSafe = 15;
    std::int16_t timeToUnsafe = 5;
    bool cloudyAsClear = false;
    bool alarmOnSafe = false;
    bool alarmOnUnsafe = true;
    AlpacaSettings alpaca = {};

    bool operator==(const Settings&) const = default;
};

// The defaults of a first run: the status path is the program's folder,
// which names no file, so no status is read until the user sets one.
Settings DefaultSettings(const std::string& programFolder);

}  // namespace nortavi
