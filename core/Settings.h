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

// Messages to the observer's phone or home automation when an alarm is
// raised. Each route is off until its topic, keys or address are set.
struct NotifySettings {
    // Which events send a message: the three alarms as they are raised,
    // the feed coming back, and an alarm cancelled at the window.
    bool onSafe = false;
    bool onUnsafe = true;
    bool onFeedLost = true;
    bool onFeedBack = false;
    bool onCancel = false;
    std::int16_t repeatMinutes = 10;  // while an alarm stays up and uncancelled; 0: once

    std::string ntfyServer = "https://ntfy.sh";
    std::string ntfyTopic;  // empty: off
    std::string ntfyToken;  // optional
    std::string pushoverUser;
    std::string pushoverToken;  // both empty: off
    bool pushoverEmergency = false;  // unsafe and feed lost repeat on the phone until acknowledged
    std::int32_t pushoverRetrySeconds = 60;    // 30..10800, for emergency messages
    std::int32_t pushoverExpireSeconds = 3600;  // 30..10800
    std::string pushoverServer = "https://api.pushover.net";
    std::string telegramChatId;
    std::string telegramToken;  // both empty: off
    std::string telegramServer = "https://api.telegram.org";
    std::string webhookUrl;  // empty: off
    // Certificates trusted besides the system's, for a server with a
    // private certificate authority (Linux; Windows uses its own store).
    std::string caFile;

    bool operator==(const NotifySettings&) const = default;
};

// The six persisted settings, shared by the evaluation, the windows and
// config.ini, and those of the network publication and of notifications,
// which follow them in the file. A plain record: readers read the fields
// afresh each time.
struct Settings {
    std::string statusPath;
    std::int16_t timeToSafe = 15;
    std::int16_t timeToUnsafe = 5;
    bool cloudyAsClear = false;
    bool alarmOnSafe = false;
    bool alarmOnUnsafe = true;
    AlpacaSettings alpaca = {};
    NotifySettings notify = {};

    bool operator==(const Settings&) const = default;
};

// The defaults of a first run: the status path is the program's folder,
// which names no file, so no status is read until the user sets one.
Settings DefaultSettings(const std::string& programFolder);

}  // namespace nortavi
