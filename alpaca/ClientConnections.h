// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace nortavi::alpaca {

// Which Alpaca clients are connected, by the ClientID they send: several
// programs share the device, and one that disconnects leaves the others
// connected. Clients that send no ClientID share the number 0. Safe to
// call from several threads.
class ClientConnections {
public:
    // Past `capacity` connected clients, the one heard from longest ago is
    // forgotten: clients that go away without disconnecting must not fill
    // the table for good.
    explicit ClientConnections(std::size_t capacity = 256);

    void Connect(std::uint32_t clientId);
    void Disconnect(std::uint32_t clientId);
    // Whether this client is connected; counts as hearing from it.
    bool Connected(std::uint32_t clientId);

private:
    const std::size_t capacity_;
    std::mutex mutex_;
    std::uint64_t calls_ = 0;
    std::unordered_map<std::uint32_t, std::uint64_t> lastHeard_;  // by client, the call count then
};

}  // namespace nortavi::alpaca
