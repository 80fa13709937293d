// SPDX-License-Identifier: MIT
#include "frmSetupBehaviour.h"

#include <utility>
#include <variant>

namespace nortavi::behaviour {

frmSetupBehaviour::frmSetupBehaviour(Settings& settings, forms::PortCheck portUsable, TestSender sendTest)
    : settings_(settings),
      portUsable_(std::move(portUsable)),
      notify_(settings.notify),
      notifyForm_(notify_, std::move(sendTest))
{
}

forms::SetupEntries frmSetupBehaviour::Form_Load()
{
    notify_ = settings_.notify;
    return forms::EntriesFromSettings(settings_);
}

std::optional<forms::SetupRefusal> frmSetupBehaviour::cmdOK_Click(const forms::SetupEntries& entries)
{
    auto checked = forms::CheckSetupEntries(entries, settings_, portUsable_);
    if (auto* refusal = std::get_if<forms::SetupRefusal>(&checked)) {
        return std::move(*refusal);
    }
    settings_ = std::get<Settings>(std::move(checked));
    settings_.notify = notify_;
    return std::nullopt;
}

}  // namespace nortavi::behaviour
