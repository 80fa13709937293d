// SPDX-License-Identifier: MIT
#pragma once

#include "FormDesign.h"

namespace nortavi::forms {

// The setup dialog's controls, by id. OK and Cancel take the ids that
// Windows gives the default and cancel buttons of a dialog.
struct frmSetupId {
    enum : int {
        cmdOK = 1,
        cmdCancel = 2,
        Label2 = 201,
        StatusPathField,
        Label1,
        TimeToSafeField,
        Label3,
        TimeToUnsafeField,
        Combo1,
        AlarmOnSafeCheck,
        AlarmOnUnsafeCheck,
        // The network publication, in a group below the rest.
        Frame1,
        AlpacaServerCheck,
        Label4,
        AlpacaPortField,
        AlpacaAllowRemoteCheck,
        Label5,
        AlpacaDiscoveryPortField,
        // Opens the notification settings (frmNotify), below the group.
        NotifyButton,
    };
};

// The items of Combo1, in their fixed order.
inline constexpr int kCloudyAsClearItem = 0;
inline constexpr int kCloudyAsVCloudyItem = 1;

const FormDesign& frmSetupDesign();

}  // namespace nortavi::forms
