// SPDX-License-Identifier: MIT
#include "frmMainDesign.h"

#include <array>

namespace nortavi::forms {

namespace {

using Id = frmMainId;
using enum ControlKind;

constexpr FontDesign kHeadingFont{"MS Sans Serif", 8.25, true};
constexpr FontDesign kCaptionFont{"Microsoft Sans Serif", 36, true};
constexpr FontDesign kAlarmFont{"Microsoft Sans Serif", 20.25, true};

// A line's width is its length; it has no height.
// clang-format off
constexpr std::array kControls{
    ControlDesign{Label,   "Label1",                Id::Label1,                {360, 360, 2055, 255},   "Minutes since last Clear"},
    ControlDesign{TextBox, "MinsSinceClearField",   Id::MinsSinceClearField,   {2640, 360, 735, 285}},
    ControlDesign{Label,   "Label2",                Id::Label2,                {360, 840, 1815, 255},   "Minutes since last Cloudy"},
    ControlDesign{TextBox, "MinsSinceCloudyField",  Id::MinsSinceCloudyField,  {2640, 840, 735, 285}},
    ControlDesign{Label,   "Label3",                Id::Label3,                {360, 1320, 2055, 255},  "Minutes since last V.Cloudy"},
    ControlDesign{TextBox, "MinsSinceVCloudyField", Id::MinsSinceVCloudyField, {2640, 1320, 735, 285}},
    ControlDesign{Line,    "Line3",                 Id::Line3,                 {360, 2040, 4080, 0}},
    ControlDesign{Label,   "Label4",                Id::Label4,                {360, 2280, 1815, 255},  "Current conditions:", kHeadingFont},
    ControlDesign{Label,   "ConditionField",        Id::ConditionField,        {240, 2760, 4095, 975},  "UNKNOWN", kCaptionFont, true, kRed},
    ControlDesign{Line,    "Line1",                 Id::Line1,                 {360, 3960, 4080, 0}},
    ControlDesign{Label,   "Label5",                Id::Label5,                {360, 4200, 1455, 255},  "Current Status:", kHeadingFont},
    ControlDesign{Label,   "StatusField",           Id::StatusField,           {240, 4680, 4095, 735},  "PENDING", kCaptionFont, true, kBlack},
    ControlDesign{Button,  "SetupButton",           Id::SetupButton,           {1080, 5760, 855, 375},  "Setup"},
    ControlDesign{Button,  "AboutButton",           Id::AboutButton,           {2520, 5760, 855, 375},  "About"},
    ControlDesign{Button,  "AlarmButton",           Id::AlarmButton,           {240, 6360, 4095, 1095}, "Cancel Alarm", kAlarmFont},
    ControlDesign{Line,    "Line2",                 Id::Line2,                 {0, 0, 3600, 0}},
};
// clang-format on

// The time-since-V.Cloudy field comes after the two buttons.
constexpr std::array<int, 6> kTabOrder{Id::MinsSinceClearField,   Id::MinsSinceCloudyField,
                                       Id::SetupButton,           Id::AboutButton,
                                       Id::MinsSinceVCloudyField, Id::AlarmButton};

constexpr FormDesign kForm{
    .name = "frmMain",
    .caption = "Nortavi",
    .clientWidth = 4620,
    .clientHeight = 7635,
    .font = {"MS Sans Serif", 8, false},
    .controls = kControls,
    .tabOrder = kTabOrder,
    .defaultButton = Id::AlarmButton,
    .cancelButton = 0,
    .initialFocus = Id::MinsSinceClearField,
};

}  // namespace

const FormDesign& frmMainDesign()
{
    return kForm;
}

}  // namespace nortavi::forms
