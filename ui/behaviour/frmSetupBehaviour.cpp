// SPDX-License-Identifier: MIT
#include "frmSetupBehaviour.h"

#include <utility>
#include <variant>

namespace nortavi::behaviour {

frmSetupBehaviour::frmSetupBehaviour(Settings& settings, forms::PortCheck portUsable)
    : settings_(settings), portUsable_(std::move(portUsable))
{
}

forms::SetupEntries frmSetupBehaviour::Form_Load() const
{
    return forms::EntriesFromSettings(settings_);
}

std::optional<forms::SetupRefusal> frmSetupBehaviour::cmdOK_Click(const forms::SetupEntries& entries)
{
    auto checked = forms::CheckSetupEntries(entries, settings_, portUsable_);
    if (auto* refusal = std::get_if<forms::SetupRefusal>(&checked)) {
        return std::move(*refusal);
    }
    settings_ = std::get<Settings>(std::move(checked));
    return std::nullopt;
}

}  // namespace nortavi::behaviour
