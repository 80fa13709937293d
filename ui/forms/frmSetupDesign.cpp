// SPDX-License-Identifier: MIT
#include "frmSetupDesign.h"

#include <array>
#include <string_view>

namespace nortavi::forms {

namespace {

using Id = frmSetupId;
using enum ControlKind;

constexpr std::array<std::string_view, 2> kCloudyItems{"Treat Cloudy status as Clear",
                                                       "Treat Cloudy status as V.Cloudy"};

// clang-format off
constexpr std::array kControls{
    ControlDesign{Label,        "Label2",             Id::Label2,             {240, 240, 855, 255},    "Status path"},
    ControlDesign{TextBox,      "StatusPathField",    Id::StatusPathField,    {1200, 240, 2175, 285}},
    ControlDesign{Label,        "Label1",             Id::Label1,             {240, 720, 1935, 255},   "Time Clear to become safe"},
    ControlDesign{.kind = TextBox, .name = "TimeToSafeField", .id = Id::TimeToSafeField, .rect = {2760, 720, 615, 285},
                  .toolTip = "Number of minutes status is Clear to become safe"},
    ControlDesign{Label,        "Label3",             Id::Label3,             {240, 1200, 2415, 255},  "Time V.Cloudy to become unsafe"},
    ControlDesign{.kind = TextBox, .name = "TimeToUnsafeField", .id = Id::TimeToUnsafeField, .rect = {2760, 1200, 615, 285},
                  .toolTip = "Number of minutes status is V.Cloudy to become unsafe"},
    ControlDesign{.kind = DropDownList, .name = "Combo1", .id = Id::Combo1, .rect = {240, 1680, 3135, 315},
                  .items = kCloudyItems},
    ControlDesign{CheckBox,     "AlarmOnSafeCheck",   Id::AlarmOnSafeCheck,   {240, 2280, 3135, 255},  "Alarm on becoming safe"},
    ControlDesign{CheckBox,     "AlarmOnUnsafeCheck", Id::AlarmOnUnsafeCheck, {240, 2760, 3135, 195},  "Alarm on becoming unsafe"},
    ControlDesign{Button,       "cmdOK",              Id::cmdOK,              {600, 3240, 1095, 375},  "OK"},
    ControlDesign{Button,       "cmdCancel",          Id::cmdCancel,          {1920, 3240, 1095, 375}, "Cancel"},
    // Publishing the status to observatory software (ASCOM Alpaca).
    ControlDesign{GroupBox,     "Frame1",             Id::Frame1,             {240, 3840, 3135, 1800}, "Observatory software (ASCOM Alpaca)"},
    ControlDesign{CheckBox,     "AlpacaServerCheck",  Id::AlpacaServerCheck,  {360, 4140, 2895, 255},  "Publish the status on the network"},
    ControlDesign{Label,        "Label4",             Id::Label4,             {600, 4560, 1455, 255},  "Port"},
    ControlDesign{.kind = TextBox, .name = "AlpacaPortField", .id = Id::AlpacaPortField, .rect = {2280, 4530, 975, 285},
                  .toolTip = "The TCP port observatory software connects to (normally 11111)"},
    ControlDesign{CheckBox,     "AlpacaAllowRemoteCheck", Id::AlpacaAllowRemoteCheck, {360, 4950, 2895, 255}, "Let other computers connect"},
    ControlDesign{Label,        "Label5",             Id::Label5,             {600, 5340, 1455, 255},  "Discovery port"},
    ControlDesign{.kind = TextBox, .name = "AlpacaDiscoveryPortField", .id = Id::AlpacaDiscoveryPortField,
                  .rect = {2280, 5310, 975, 285},
                  .toolTip = "The UDP port that answers Alpaca discovery (normally 32227)"},
    // Messages to a phone or home automation when an alarm is raised.
    ControlDesign{.kind = Button, .name = "NotifyButton", .id = Id::NotifyButton, .rect = {240, 5760, 1815, 375},
                  .caption = "Notifications...",
                  .toolTip = "Messages to your phone (ntfy, Pushover, Telegram) or a webhook when an alarm is raised"},
};
// clang-format on

// The buttons come first, and the list comes before the time-to-unsafe
// field although it stands below it; the network group comes next, then
// the notifications.
constexpr std::array<int, 13> kTabOrder{
    Id::cmdOK,  Id::cmdCancel,         Id::StatusPathField,  Id::TimeToSafeField,
    Id::Combo1, Id::TimeToUnsafeField, Id::AlarmOnSafeCheck, Id::AlarmOnUnsafeCheck,
    Id::AlpacaServerCheck, Id::AlpacaPortField, Id::AlpacaAllowRemoteCheck, Id::AlpacaDiscoveryPortField,
    Id::NotifyButton};

constexpr FormDesign kForm{
    .name = "frmSetup",
    .caption = "Setup",
    .clientWidth = 3645,
    .clientHeight = 6375,
    .font = {"MS Sans Serif", 8, false},
    .controls = kControls,
    .tabOrder = kTabOrder,
    .defaultButton = Id::cmdOK,
    .cancelButton = Id::cmdCancel,
    .initialFocus = Id::cmdOK,
};

}  // namespace

const FormDesign& frmSetupDesign()
{
    return kForm;
}

}  // namespace nortavi::forms
