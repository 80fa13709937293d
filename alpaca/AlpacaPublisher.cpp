// SPDX-License-Identifier: MIT
#include "AlpacaPublisher.h"

#include <array>
#include <cstdio>
#include <random>

namespace nortavi::alpaca {

AlpacaPublisher::AlpacaPublisher(AlpacaServer::Limits limits)
    : device_(board_, {}), server_(device_, limits)
{
}

std::optional<std::string> AlpacaPublisher::Apply(AlpacaSettings& settings)
{
    if (settings.server && settings.uniqueId.empty()) {
        settings.uniqueId = MakeUniqueId();
    }
    if (!settings.server) {
        server_.Stop();
        serving_.server = false;
        return std::nullopt;
    }
    if (settings == serving_ && server_.Running()) {
        return std::nullopt;
    }
    if (settings.uniqueId != serving_.uniqueId) {
        server_.Stop();  // the id changes only while nothing serves it
        device_.SetUniqueId(settings.uniqueId);
    }
    const AlpacaServer::Outcome outcome =
        server_.Start(settings.port, settings.allowRemote, settings.discoveryPort);
    serving_ = settings;
    if (outcome.error) {
        server_.Stop();
        serving_.server = false;
        return *outcome.error +
               ". Observatory software cannot reach Nortavi until another port is set in Setup.";
    }
    if (outcome.warning) {
        return *outcome.warning + ". Observatory software can still reach Nortavi on port " +
               std::to_string(settings.port) + " when given it by hand.";
    }
    return std::nullopt;
}

bool AlpacaPublisher::PortUsable(std::uint16_t port, bool allowRemote) const
{
    if (server_.Running() && serving_.port == port) {
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
