// SPDX-License-Identifier: MIT
#include "AlpacaPublisher.h"

#include <array>
#include <cstdio>
#include <random>

namespace nortavi::alpaca {

AlpacaPublisher::AlpacaPublisher(AlpacaServer::Limits limits) : limits_(limits)
{
}

std::optional<std::string> AlpacaPublisher::Apply(AlpacaSettings& settings)
{
    if (settings.server && settings.uniqueId.empty()) {
        settings.uniqueId = MakeUniqueId();
    }
    if (settings == serving_ && (server_ != nullptr) == settings.server) {
        return std::nullopt;
    }
    server_.reset();
    device_.reset();
    serving_ = settings;
    serving_.server = false;
    if (!settings.server) {
        return std::nullopt;
    }
    device_ = std::make_unique<AlpacaDevice>(board_, settings.uniqueId);
    server_ = std::make_unique<AlpacaServer>(*device_, limits_);
    const AlpacaServer::Outcome outcome =
        server_->Start(settings.port, settings.allowRemote, settings.discoveryPort);
    if (outcome.error) {
        server_.reset();
        device_.reset();
        return *outcome.error +
               ". Observatory software cannot reach Nortavi until another port is set in Setup.";
    }
    serving_.server = true;
    if (outcome.warning) {
        return *outcome.warning + ". Observatory software can still reach Nortavi on port " +
               std::to_string(settings.port) + " when given it by hand.";
    }
    return std::nullopt;
}

bool AlpacaPublisher::PortUsable(std::uint16_t port, bool allowRemote) const
{
    if (server_ != nullptr && serving_.port == port) {
        return true;
    }
    return AlpacaServer::PortFree(port, allowRemote);
}

std::string MakeUniqueId()
{
    std::random_device entropy;
    std::array<unsigned, 4> words{};
    for (unsigned& word : words) {
        word = entropy();
    }
    // Version 4, variant 1: the rest is random.
    words[1] = (words[1] & 0xFFFF0FFFu) | 0x00004000u;
    words[2] = (words[2] & 0x3FFFFFFFu) | 0x80000000u;
    char text[40] = {};
    std::snprintf(text, sizeof text, "%08x-%04x-%04x-%04x-%04x%08x", words[0], words[1] >> 16,
                  words[1] & 0xFFFFu, words[2] >> 16, words[2] & 0xFFFFu, words[3]);
    return text;
}

}  // namespace nortavi::alpaca
