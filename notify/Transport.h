// SPDX-License-Identifier: MIT
#pragma once

#include "HttpClient.h"

#include <functional>
#include <memory>

namespace nortavi::notify {

// How a route reaches its service: the system's HTTP stack in the program,
// a stand-in in tests.
class Transport {
public:
    virtual ~Transport() = default;
    // Blocks until the answer, a failure or the limits; one caller at a time.
    virtual platform::HttpResponse Send(const platform::HttpRequest& request,
                                        const platform::HttpLimits& limits) = 0;
    // From any thread: the request under way ends at once, and later ones too.
    virtual void Cancel() = 0;
};

// Each route sends through a transport of its own, so that one that stalls
// never holds up another.
using TransportFactory = std::function<std::unique_ptr<Transport>()>;

// The system's HTTP stack (platform/HttpClient).
TransportFactory SystemTransports();

// Where the lines about messages dropped go; stderr unless told otherwise.
using LogSink = std::function<void(const std::string& line)>;
LogSink StandardErrorLog();

}  // namespace nortavi::notify
