// SPDX-License-Identifier: MIT
#pragma once

#include "AlpacaDevice.h"
#include "AlpacaServer.h"
#include "SafetyBoard.h"
#include "Settings.h"

#include <memory>
#include <optional>
#include <string>

namespace nortavi::alpaca {

// What a window holds of the network publication: the board its polls
// write, and the server, started, moved or stopped as the settings say.
class AlpacaPublisher {
public:
    explicit AlpacaPublisher(AlpacaServer::Limits limits = {});

    MonitorListener& Board() { return board_; }

    // Pages beside the device (see AlpacaServer::RouteHook); before Apply.
    void SetRouteHook(AlpacaServer::RouteHook hook) { server_.SetRouteHook(std::move(hook)); }

    // Brings the server in line with the settings, making their unique id
    // the first time it is turned on. Returns what to tell the user when the
    // port cannot be opened (the server is then off) or discovery cannot
    // start (the server runs).
    std::optional<std::string> Apply(AlpacaSettings& settings);

    // Whether the setup dialog may take this port: free now, or the one
    // being served.
    bool PortUsable(std::uint16_t port, bool allowRemote) const;

private:
    SafetyBoard board_;
    // One device for the program's life: a client's connection and the
    // transaction count outlast a change of ports.
    AlpacaDevice device_;
    AlpacaServer server_;
    AlpacaSettings serving_;  // what runs; server false when nothing does
};

// A random (version 4) UUID, in lower case.
std::string MakeUniqueId();

}  // namespace nortavi::alpaca
