// SPDX-License-Identifier: MIT
#pragma once

#include "Settings.h"
#include "SetupEntries.h"

#include <array>
#include <string>
#include <variant>

namespace nortavi::forms {

// What the notification dialog's controls hold: filled from the settings
// when it opens, checked when OK or "Send test message" is pressed. Text
// is UTF-8.
struct NotifyEntries {
    bool onUnsafe = false;
    bool onSafe = false;
    bool onFeedLost = false;
    bool onFeedBack = false;
    bool onCancel = false;
    std::string repeatMinutes;
    std::string ntfyServer;
    std::string ntfyTopic;
    std::string ntfyToken;
    std::string pushoverUser;
    std::string pushoverToken;
    bool pushoverEmergency = false;
    std::string telegramToken;
    std::string telegramChatId;
    std::string webhookUrl;
};

// Which control of the dialog holds which entry: the front ends fill the
// controls and read them back through these.
struct NotifyCheckBinding {
    int id;  // a frmNotifyId
    bool NotifyEntries::*entry;
};
struct NotifyTextBinding {
    int id;
    std::string NotifyEntries::*entry;
};
extern const std::array<NotifyCheckBinding, 6> kNotifyChecks;
extern const std::array<NotifyTextBinding, 9> kNotifyTexts;

NotifyEntries EntriesFromNotifySettings(const NotifySettings& settings);

// The settings the entries give, and what to warn of before they are
// stored (a plain http:// address newly entered); or why they cannot be
// stored (the field is a frmNotifyId). Blanks around an entry are dropped,
// as pasted tokens often bring them. What the dialog does not show is kept
// from `current`.
struct NotifyChecked {
    NotifySettings settings;
    std::string warning;  // empty: none
};
std::variant<NotifyChecked, SetupRefusal> CheckNotifyEntries(const NotifyEntries& entries,
                                                             const NotifySettings& current);

}  // namespace nortavi::forms
