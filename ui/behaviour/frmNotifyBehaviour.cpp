// SPDX-License-Identifier: MIT
#include "frmNotifyBehaviour.h"

#include <utility>
#include <variant>

namespace nortavi::behaviour {

frmNotifyBehaviour::frmNotifyBehaviour(NotifySettings& settings, TestSender sendTest)
    : settings_(settings), sendTest_(std::move(sendTest))
{
}

forms::NotifyEntries frmNotifyBehaviour::Form_Load()
{
    told_.reset();
    return forms::EntriesFromNotifySettings(settings_);
}

frmNotifyBehaviour::Stored frmNotifyBehaviour::cmdOK_Click(const forms::NotifyEntries& entries)
{
    auto checked = forms::CheckNotifyEntries(entries, settings_);
    if (auto* refusal = std::get_if<forms::SetupRefusal>(&checked)) {
        return {std::move(*refusal), {}};
    }
    auto& ok = std::get<forms::NotifyChecked>(checked);
    settings_ = std::move(ok.settings);
    return {std::nullopt, std::move(ok.warning)};
}

std::optional<forms::SetupRefusal> frmNotifyBehaviour::cmdTest_Click(
    const forms::NotifyEntries& entries)
{
    auto checked = forms::CheckNotifyEntries(entries, settings_);
    if (auto* refusal = std::get_if<forms::SetupRefusal>(&checked)) {
        return std::move(*refusal);
    }
    const NotifySettings& trial = std::get<forms::NotifyChecked>(checked).settings;
    test_.reset();
    if (sendTest_) {
        test_ = sendTest_(trial);
    }
    if (test_ == nullptr || (test_->Done() && test_->Results().empty())) {
        test_.reset();
        told_ =
            "No route is set: enter a ntfy topic, Pushover's keys, a Telegram bot and chat, or a "
            "webhook address.";
    }
    return std::nullopt;
}

bool frmNotifyBehaviour::Testing() const
{
    return test_ != nullptr && !test_->Done();
}

std::optional<std::string> frmNotifyBehaviour::TestResult()
{
    if (test_ != nullptr && test_->Done()) {
        std::string text = "The test message:";
        for (const std::string& line : test_->Results()) {
            text += "\n" + line;
        }
        test_.reset();
        told_ = std::move(text);
    }
    return std::exchange(told_, std::nullopt);
}

}  // namespace nortavi::behaviour
