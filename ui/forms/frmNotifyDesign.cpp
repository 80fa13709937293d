// SPDX-License-Identifier: MIT
#include "frmNotifyDesign.h"

#include <array>

namespace nortavi::forms {

namespace {

using Id = frmNotifyId;
using enum ControlKind;

// Labels at 360 twips, fields from 1800 to the groups' inner margin.
constexpr int kFieldLeft = 1800;
constexpr int kFieldWidth = 3840;

constexpr TwipsRect Field(int top)
{
    return {kFieldLeft, top, kFieldWidth, 285};
}

constexpr TwipsRect FieldLabel(int top)
{
    return {360, top + 30, 1335, 255};
}

// clang-format off
constexpr std::array kControls{
    ControlDesign{GroupBox, "Frame1", Id::Frame1, {240, 120, 5520, 1860}, "Send a message for"},
    ControlDesign{CheckBox, "NotifyOnUnsafeCheck", Id::NotifyOnUnsafeCheck, {360, 420, 2520, 255}, "The unsafe alarm"},
    ControlDesign{CheckBox, "NotifyOnSafeCheck", Id::NotifyOnSafeCheck, {3000, 420, 2640, 255}, "The safe alarm"},
    ControlDesign{CheckBox, "NotifyOnFeedLostCheck", Id::NotifyOnFeedLostCheck, {360, 780, 2520, 255}, "The feed-lost alarm"},
    ControlDesign{CheckBox, "NotifyOnFeedBackCheck", Id::NotifyOnFeedBackCheck, {3000, 780, 2640, 255}, "The feed coming back"},
    ControlDesign{CheckBox, "NotifyOnCancelCheck", Id::NotifyOnCancelCheck, {360, 1140, 5280, 255}, "An alarm cancelled at this window"},
    ControlDesign{Label, "Label1", Id::Label1, {360, 1560, 2580, 255}, "Repeat while an alarm is up, every"},
    ControlDesign{.kind = TextBox, .name = "RepeatMinutesField", .id = Id::RepeatMinutesField, .rect = {3000, 1530, 615, 285},
                  .toolTip = "Minutes between repeats while an alarm is up and not cancelled; 0 sends each alarm once"},
    ControlDesign{Label, "Label2", Id::Label2, {3720, 1560, 1920, 255}, "minutes (0: once)"},

    ControlDesign{GroupBox, "Frame2", Id::Frame2, {240, 2100, 5520, 1500}, "ntfy (the ntfy app)"},
    ControlDesign{Label, "Label3", Id::Label3, FieldLabel(2400), "Server"},
    ControlDesign{.kind = TextBox, .name = "NtfyServerField", .id = Id::NtfyServerField, .rect = Field(2400),
                  .toolTip = "https://ntfy.sh, or your own ntfy server"},
    ControlDesign{Label, "Label4", Id::Label4, FieldLabel(2790), "Topic"},
    ControlDesign{.kind = TextBox, .name = "NtfyTopicField", .id = Id::NtfyTopicField, .rect = Field(2790),
                  .toolTip = "Letters, digits, - and _. On ntfy.sh anyone who knows the topic can read it: choose one nobody could guess"},
    ControlDesign{Label, "Label5", Id::Label5, FieldLabel(3180), "Access token"},
    ControlDesign{.kind = TextBox, .name = "NtfyTokenField", .id = Id::NtfyTokenField, .rect = Field(3180),
                  .toolTip = "Only for a server that asks for one (tk_...)"},

    ControlDesign{GroupBox, "Frame3", Id::Frame3, {240, 3720, 5520, 1470}, "Pushover"},
    ControlDesign{Label, "Label6", Id::Label6, FieldLabel(4020), "User key"},
    ControlDesign{.kind = TextBox, .name = "PushoverUserField", .id = Id::PushoverUserField, .rect = Field(4020),
                  .toolTip = "Your user key, from the top of your Pushover dashboard"},
    ControlDesign{Label, "Label7", Id::Label7, FieldLabel(4410), "App token"},
    ControlDesign{.kind = TextBox, .name = "PushoverTokenField", .id = Id::PushoverTokenField, .rect = Field(4410),
                  .toolTip = "The API token of an application you create on pushover.net"},
    ControlDesign{.kind = CheckBox, .name = "PushoverEmergencyCheck", .id = Id::PushoverEmergencyCheck,
                  .rect = {360, 4800, 5280, 255}, .caption = "Emergency: unsafe and feed lost ring until acknowledged",
                  .toolTip = "Pushover's emergency priority: by default the phone alerts every minute for up to an hour"},

    ControlDesign{GroupBox, "Frame4", Id::Frame4, {240, 5310, 5520, 1140}, "Telegram"},
    ControlDesign{Label, "Label8", Id::Label8, FieldLabel(5610), "Bot token"},
    ControlDesign{.kind = TextBox, .name = "TelegramTokenField", .id = Id::TelegramTokenField, .rect = Field(5610),
                  .toolTip = "From @BotFather: 123456789:AA..."},
    ControlDesign{Label, "Label9", Id::Label9, FieldLabel(6000), "Chat id"},
    ControlDesign{.kind = TextBox, .name = "TelegramChatIdField", .id = Id::TelegramChatIdField, .rect = Field(6000),
                  .toolTip = "The chat the bot writes to: a number (-100... for a group), or @channel"},

    ControlDesign{GroupBox, "Frame5", Id::Frame5, {240, 6570, 5520, 750}, "Webhook (Home Assistant, Node-RED, ...)"},
    ControlDesign{Label, "Label10", Id::Label10, FieldLabel(6870), "Address"},
    ControlDesign{.kind = TextBox, .name = "WebhookUrlField", .id = Id::WebhookUrlField, .rect = Field(6870),
                  .toolTip = "Each message is POSTed there as a JSON document"},

    ControlDesign{Button, "cmdTest", Id::cmdTest, {240, 7500, 1935, 375}, "Send test message"},
    ControlDesign{Button, "cmdOK", Id::cmdOK, {3480, 7500, 1095, 375}, "OK"},
    ControlDesign{Button, "cmdCancel", Id::cmdCancel, {4665, 7500, 1095, 375}, "Cancel"},
};

constexpr std::array<int, 18> kTabOrder{
    Id::NotifyOnUnsafeCheck, Id::NotifyOnSafeCheck,  Id::NotifyOnFeedLostCheck, Id::NotifyOnFeedBackCheck,
    Id::NotifyOnCancelCheck, Id::RepeatMinutesField, Id::NtfyServerField,      Id::NtfyTopicField,
    Id::NtfyTokenField,      Id::PushoverUserField,  Id::PushoverTokenField,   Id::PushoverEmergencyCheck,
    Id::TelegramTokenField,  Id::TelegramChatIdField, Id::WebhookUrlField,     Id::cmdTest,
    Id::cmdOK,               Id::cmdCancel};
// clang-format on

constexpr FormDesign kForm{
    .name = "frmNotify",
    .caption = "Notifications",
    .clientWidth = 6000,
    .clientHeight = 8115,
    .font = {"MS Sans Serif", 8, false},
    .controls = kControls,
    .tabOrder = kTabOrder,
    .defaultButton = Id::cmdOK,
    .cancelButton = Id::cmdCancel,
    .initialFocus = Id::NotifyOnUnsafeCheck,
};

}  // namespace

const FormDesign& frmNotifyDesign()
{
    return kForm;
}

}  // namespace nortavi::forms
