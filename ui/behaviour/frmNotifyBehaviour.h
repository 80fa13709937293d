// SPDX-License-Identifier: MIT
#pragma once

#include "NotifyEntries.h"
#include "Settings.h"
#include "SetupEntries.h"
#include "TestMessage.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace nortavi::behaviour {

// Sends a test message through the routes these settings set.
using TestSender = std::function<std::unique_ptr<notify::TestMessage>(const NotifySettings&)>;

// What the notification dialog does, whatever draws it: each opening shows
// the settings as Setup holds them, OK stores every entry or none (Setup's
// own OK then keeps them), and "Send test message" sends through the
// routes as entered, without storing them.
class frmNotifyBehaviour {
public:
    // `settings` are Setup's, not yet stored.
    frmNotifyBehaviour(NotifySettings& settings, TestSender sendTest);

    forms::NotifyEntries Form_Load();

    struct Stored {
        std::optional<forms::SetupRefusal> refusal;  // nothing was stored
        std::string warning;                         // stored; to be told before the dialog closes
    };
    Stored cmdOK_Click(const forms::NotifyEntries& entries);

    // Starts the test message, or says which field is wrong.
    std::optional<forms::SetupRefusal> cmdTest_Click(const forms::NotifyEntries& entries);
    // Whether a test message is still on its way (its button waits).
    bool Testing() const;
    // What the test came to, once, when it is done: one line per route.
    std::optional<std::string> TestResult();

private:
    NotifySettings& settings_;
    TestSender sendTest_;
    std::unique_ptr<notify::TestMessage> test_;
    std::optional<std::string> told_;  // a result known at once
};

}  // namespace nortavi::behaviour
