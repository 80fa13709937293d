// SPDX-License-Identifier: MIT
#include "TestMessage.h"

namespace nortavi::notify {

TestMessage::TestMessage(const NotifySettings& settings, const Message& message,
                         const NotifierOptions& options)
{
    for (const Route route : kRoutes) {
        if (!RouteSet(route, settings)) {
            continue;
        }
        auto attempt = std::make_unique<Attempt>();
        attempt->route = route;
        attempt->transport = options.transports();
        Attempt& running = *attempt;
        platform::HttpLimits limits = RouteLimits(settings);
        limits.connect = options.connectLimit;
        limits.whole = options.wholeLimit;
        running.thread = std::thread(
            [&running, request = RouteRequest(route, settings, message, UtcNow()), limits] {
                const Outcome outcome =
                    RouteOutcome(running.route, running.transport->Send(request, limits));
                running.result = std::string(RouteName(running.route)) + ": " +
                                 (outcome.kind == Outcome::Kind::Delivered
                                      ? "delivered."
                                      : "not delivered: " + outcome.reason + ".");
                running.done = true;
            });
        attempts_.push_back(std::move(attempt));
    }
}

TestMessage::~TestMessage()
{
    for (const auto& attempt : attempts_) {
        attempt->transport->Cancel();
    }
    for (const auto& attempt : attempts_) {
        attempt->thread.join();
    }
}

bool TestMessage::Done() const
{
    for (const auto& attempt : attempts_) {
        if (!attempt->done) {
            return false;
        }
    }
    return true;
}

std::vector<std::string> TestMessage::Results() const
{
    std::vector<std::string> results;
    for (const auto& attempt : attempts_) {
        if (attempt->done) {
            results.push_back(attempt->result);
        }
    }
    return results;
}

}  // namespace nortavi::notify
