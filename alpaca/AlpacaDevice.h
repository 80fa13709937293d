// SPDX-License-Identifier: MIT
#pragma once

#include "ClientConnections.h"
#include "SafetyBoard.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace nortavi::alpaca {

// A request as the HTTP server hands it over, and the answer it sends.
struct Request {
    std::string method;       // "GET", "PUT", ...
    std::string target;       // path and query string, as sent
    std::string contentType;  // of the body
    std::string body;
};

struct Response {
    int status = 200;
    std::string contentType = "application/json";
    std::string body;
};

// Nortavi as one ASCOM Alpaca SafetyMonitor, device number 0: the
// management API, the members common to all devices, and IsSafe; beside it,
// the verdict for INDI's Weather Safety Proxy at /weather/safety. It knows
// nothing of sockets, so every answer can be checked without a network.
// Safe to call from several threads.
class AlpacaDevice {
public:
    AlpacaDevice(const SafetyBoard& board, std::string uniqueId);

    // Set while no server serves the device.
    void SetUniqueId(std::string uniqueId) { uniqueId_ = std::move(uniqueId); }

    Response Handle(const Request& request);

private:
    // 1 and up, one more for each answer; past 4294967295 it starts at 1 again.
    std::uint32_t NextServerTransactionId();

    const SafetyBoard& board_;
    std::string uniqueId_;
    std::atomic<std::uint32_t> serverTransactionId_{0};
    ClientConnections connections_;
};

}  // namespace nortavi::alpaca
