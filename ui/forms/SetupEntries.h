// SPDX-License-Identifier: MIT
#pragma once

#include "Settings.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>

namespace nortavi::forms {

// What the setup dialog's controls hold, as text and states rather than
// widgets: filled from the settings when it opens, checked when OK is pressed.
struct SetupEntries {
    // UTF-8; nullopt when the typed text cannot be held as UTF-8 (a lone
    // surrogate). Whether config.ini can hold it is checked on OK.
    std::optional<std::string> statusPath;
    // False when the field still shows the stored path: it is then stored
    // back byte for byte, even where the control could not show it exactly.
    bool statusPathEdited = false;
    std::string timeToSafe;
    std::string timeToUnsafe;
    int comboIndex = -1;  // -1: no item selected
    bool alarmOnSafe = false;
    bool alarmOnUnsafe = false;
    bool alpacaServer = false;
    std::string alpacaPort;
    bool alpacaAllowRemote = false;
    std::string alpacaDiscoveryPort;
};

// Whether the network port could be served now (free, or already ours).
using PortCheck = std::function<bool(std::uint16_t port, bool allowRemote)>;

SetupEntries EntriesFromSettings(const Settings& settings);

// Why OK did not close: the control to hand back to the user, and what to tell.
struct SetupRefusal {
    int field = 0;  // a frmSetupId
    std::string message;
};

// The settings the entries give, or why they cannot be stored. Every entry
// is checked before anything is stored, so a refusal changes nothing.
// What the dialog does not show (the unique id, the notifications) is kept
// from `current`;
// `portUsable`, when given, checks a port that is to be served.
std::variant<Settings, SetupRefusal> CheckSetupEntries(const SetupEntries& entries,
                                                       const Settings& current,
                                                       const PortCheck& portUsable = {});

}  // namespace nortavi::forms
