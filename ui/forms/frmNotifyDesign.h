// SPDX-License-Identifier: MIT
#pragma once

#include "FormDesign.h"

namespace nortavi::forms {

// The notification settings, a dialog of their own reached from Setup.
// OK and Cancel take the ids Windows gives a dialog's default and cancel
// buttons.
struct frmNotifyId {
    enum : int {
        cmdOK = 1,
        cmdCancel = 2,
        // Which events send a message.
        Frame1 = 301,
        NotifyOnUnsafeCheck,
        NotifyOnSafeCheck,
        NotifyOnFeedLostCheck,
        NotifyOnFeedBackCheck,
        NotifyOnCancelCheck,
        Label1,
        RepeatMinutesField,
        Label2,
        // ntfy
        Frame2,
        Label3,
        NtfyServerField,
        Label4,
        NtfyTopicField,
        Label5,
        NtfyTokenField,
        // Pushover
        Frame3,
        Label6,
        PushoverUserField,
        Label7,
        PushoverTokenField,
        PushoverEmergencyCheck,
        // Telegram
        Frame4,
        Label8,
        TelegramTokenField,
        Label9,
        TelegramChatIdField,
        // Webhook
        Frame5,
        Label10,
        WebhookUrlField,
        cmdTest,
        Timer1,  // not a control: the id of the timer that waits for the test's result
    };
};

inline constexpr int kTestPollIntervalMs = 100;
// The test button's caption while the test message is on its way.
inline constexpr const char* kTestSendingCaption = "Sending...";

const FormDesign& frmNotifyDesign();

}  // namespace nortavi::forms
