// SPDX-License-Identifier: MIT
#pragma once

#include "FormDesign.h"

namespace nortavi::forms {

// The main window's controls, by id.
struct frmMainId {
    enum : int {
        Label1 = 101,
        MinsSinceClearField,
        Label2,
        MinsSinceCloudyField,
        Label3,
        MinsSinceVCloudyField,
        Line3,
        Label4,
        ConditionField,
        Line1,
        Label5,
        StatusField,
        SetupButton,
        AboutButton,
        AlarmButton,
        Line2,
        Timer1,  // not a control: the id of the poll timer
    };
};

inline constexpr int kPollIntervalMs = 5000;

const FormDesign& frmMainDesign();

}  // namespace nortavi::forms
