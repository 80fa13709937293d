// SPDX-License-Identifier: MIT
#pragma once

#include "AlpacaDevice.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace nortavi::alpaca {

// The network side of the Alpaca device: an HTTP server and the discovery
// responder, on a thread of their own, so that nothing a client does can
// hold up the window's polls or its sound. What a client may take is
// bounded: connections at once, the size of a request, and the time it
// may take to send one.
class AlpacaServer {
public:
    struct Limits {
        int maxConnections = 64;
        std::uint32_t maxHeaderBytes = 8 * 1024;
        std::uint64_t maxBodyBytes = 16 * 1024;
        std::chrono::seconds requestTimeout{5};
    };

    explicit AlpacaServer(AlpacaDevice& device, Limits limits);
    explicit AlpacaServer(AlpacaDevice& device);
    AlpacaServer(const AlpacaServer&) = delete;
    AlpacaServer& operator=(const AlpacaServer&) = delete;
    ~AlpacaServer();

    // Pages served beside the device (a status page): asked first for each
    // GET request, nullopt leaves it to the device. It runs on the server's
    // thread. Set it before Start.
    using RouteHook = std::function<std::optional<Response>(const Request&)>;
    void SetRouteHook(RouteHook hook) { hook_ = std::move(hook); }

    struct Outcome {
        std::optional<std::string> error;    // the API port could not be opened: nothing runs
        std::optional<std::string> warning;  // discovery could not start; the API runs
    };
    // Serves on `port`, on loopback only unless `allowRemote`, and answers
    // discovery on `discoveryPort`. Stops first if already serving.
    Outcome Start(std::uint16_t port, bool allowRemote, std::uint16_t discoveryPort);
    void Stop();
    bool Running() const;

    // Whether this program could open the port now.
    static bool PortFree(std::uint16_t port, bool allowRemote);

private:
    struct Network;

    AlpacaDevice& device_;
    const Limits limits_;
    RouteHook hook_;
    std::unique_ptr<Network> network_;
};

}  // namespace nortavi::alpaca
