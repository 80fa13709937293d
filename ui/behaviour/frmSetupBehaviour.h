// SPDX-License-Identifier: MIT
#pragma once

#include "Settings.h"
#include "SetupEntries.h"
#include "frmNotifyBehaviour.h"

#include <optional>

namespace nortavi::behaviour {

// What the setup dialog does, whatever draws it: each opening shows the
// settings as they stand, and OK stores every entry or none, those of the
// notification dialog opened from it included.
class frmSetupBehaviour {
public:
    // `portUsable` checks a network port before it is stored to be served;
    // without it every port that can be stored is taken. `sendTest` sends
    // the notification dialog's test message.
    explicit frmSetupBehaviour(Settings& settings, forms::PortCheck portUsable = {},
                               TestSender sendTest = {});
    frmSetupBehaviour(const frmSetupBehaviour&) = delete;
    frmSetupBehaviour& operator=(const frmSetupBehaviour&) = delete;

    // What the controls show as the dialog opens.
    forms::SetupEntries Form_Load();

    // Stores the entries in one go, so that a poll sees either all the old
    // settings or all the new ones; or says which field is wrong and why,
    // and changes nothing. The dialog closes only when nothing comes back.
    std::optional<forms::SetupRefusal> cmdOK_Click(const forms::SetupEntries& entries);

    const Settings& Stored() const { return settings_; }

    // What the notification dialog, opened from this one, draws.
    frmNotifyBehaviour& NotifyForm() { return notifyForm_; }

private:
    Settings& settings_;
    forms::PortCheck portUsable_;
    NotifySettings notify_;  // as the notification dialog left them, stored with OK
    frmNotifyBehaviour notifyForm_;
};

}  // namespace nortavi::behaviour
