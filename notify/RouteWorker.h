// SPDX-License-Identifier: MIT
#pragma once

#include "Message.h"
#include "RouteQueue.h"
#include "Routes.h"
#include "Settings.h"
#include "Transport.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace nortavi::notify {

struct NotifierOptions {
    TransportFactory transports = SystemTransports();
    LogSink log = StandardErrorLog();
    std::chrono::milliseconds connectLimit{10'000};
    std::chrono::milliseconds wholeLimit{30'000};
    // At the program's end, messages already due get this long to go.
    std::chrono::milliseconds closingGrace{2'000};
};

// One route's sending, on a thread of its own: its queue, its transport and
// its failures. The window's thread only posts messages and reads whether
// the route is failing; it never waits for the network.
class RouteWorker {
public:
    RouteWorker(Route route, const NotifySettings& settings, const NotifierOptions& options);
    RouteWorker(const RouteWorker&) = delete;
    RouteWorker& operator=(const RouteWorker&) = delete;
    ~RouteWorker();

    void Post(std::shared_ptr<const Message> message);
    // The settings changed; a change of the route's own starts it afresh.
    void Configure(const NotifySettings& settings);
    // Since when the route has delivered nothing; none while it delivers.
    std::optional<LocalTime> FailingSince() const;
    // Sends what is due for at most `grace`, then ends the request under
    // way and the thread. What is left is logged with `why`, not sent.
    void Stop(std::chrono::milliseconds grace, const std::string& why);
    // Ends the request under way and the thread without waiting for them;
    // the destructor then joins it.
    void StopSoon(const std::string& why);
    // Whether the thread has ended its work.
    bool Ended() const;

private:
    void Run();
    void Log(const std::vector<std::string>& lines) const;

    const Route route_;
    const NotifierOptions options_;
    std::unique_ptr<Transport> transport_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    std::vector<std::shared_ptr<const Message>> inbox_;
    std::optional<NotifySettings> newSettings_;
    std::optional<LocalTime> failingSince_;
    bool stopping_ = false;
    std::string stopReason_;
    bool done_ = false;
    SteadyTime stopBy_{};

    // The thread's own.
    NotifySettings settings_;
    RouteQueue queue_;
    std::thread thread_;
};

// The time now in UTC, "2026-12-07T20:03:05Z".
std::string UtcNow();

}  // namespace nortavi::notify
