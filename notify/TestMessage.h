// SPDX-License-Identifier: MIT
#pragma once

#include "Message.h"
#include "RouteWorker.h"
#include "Routes.h"
#include "Settings.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace nortavi::notify {

// "Send test message": one message through each route the settings set,
// each on a thread of its own, once, without the queue. The window asks
// whether it is done at its own pace.
class TestMessage {
public:
    TestMessage(const NotifySettings& settings, const Message& message,
                const NotifierOptions& options);
    TestMessage(const TestMessage&) = delete;
    TestMessage& operator=(const TestMessage&) = delete;
    // Ends what is still under way.
    ~TestMessage();

    bool Done() const;
    // One line per route set: "ntfy: delivered." or "Telegram: not
    // delivered: HTTP 401: Unauthorized."; none when no route is set.
    std::vector<std::string> Results() const;

private:
    struct Attempt {
        Route route;
        std::unique_ptr<Transport> transport;
        std::string result;
        std::atomic<bool> done{false};
        std::thread thread;
    };
    std::vector<std::unique_ptr<Attempt>> attempts_;
};

}  // namespace nortavi::notify
