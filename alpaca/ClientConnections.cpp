// SPDX-License-Identifier: MIT
#include "ClientConnections.h"

#include <algorithm>

namespace nortavi::alpaca {

ClientConnections::ClientConnections(std::size_t capacity) : capacity_(std::max<std::size_t>(capacity, 1))
{
}

void ClientConnections::Connect(std::uint32_t clientId)
{
    const std::lock_guard lock(mutex_);
    if (!lastHeard_.contains(clientId) && lastHeard_.size() >= capacity_) {
        const auto quietest = std::min_element(
            lastHeard_.begin(), lastHeard_.end(),
            [](const auto& left, const auto& right) { return left.second < right.second; });
        lastHeard_.erase(quietest);
    }
    lastHeard_[clientId] = ++calls_;
}

void ClientConnections::Disconnect(std::uint32_t clientId)
{
    const std::lock_guard lock(mutex_);
    lastHeard_.erase(clientId);
}

bool ClientConnections::Connected(std::uint32_t clientId)
{
    const std::lock_guard lock(mutex_);
    const auto found = lastHeard_.find(clientId);
    if (found == lastHeard_.end()) {
        return false;
    }
    found->second = ++calls_;
    return true;
}

}  // namespace nortavi::alpaca
