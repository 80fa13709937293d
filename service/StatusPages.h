// SPDX-License-Identifier: MIT
#pragma once

#include "AlpacaDevice.h"
#include "NightLogListener.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

namespace nortavi {

// The status page (GET /) and the last twelve hours as data (GET
// /history.json), served beside the Alpaca device on the network
// publication's port. Each is made once per poll, however many read it.
class StatusPages {
public:
    explicit StatusPages(const NightLogListener& log) : log_(log) {}

    // The server's route hook: the answer for these two paths, nullopt for
    // any other. Safe to call from several threads.
    std::optional<alpaca::Response> Answer(const alpaca::Request& request);

private:
    const NightLogListener& log_;
    std::mutex mutex_;
    std::optional<std::uint64_t> version_;  // of what the pages below show
    std::string page_;
    std::string json_;
};

}  // namespace nortavi
