// SPDX-License-Identifier: MIT
#pragma once

// The four routes a message takes, as pure functions: the HTTP request for
// a message, and what an answer means.

#include "HttpClient.h"
#include "Message.h"
#include "Settings.h"

#include <array>
#include <chrono>
#include <string>

namespace nortavi::notify {

enum class Route { Ntfy, Pushover, Telegram, Webhook };
inline constexpr std::array kRoutes{Route::Ntfy, Route::Pushover, Route::Telegram, Route::Webhook};

// "ntfy", "Pushover", "Telegram", "webhook".
const char* RouteName(Route route);

// Whether the settings turn the route on.
bool RouteSet(Route route, const NotifySettings& settings);

// Whether the route's own settings (address, keys, certificates) are the same.
bool SameRoute(Route route, const NotifySettings& a, const NotifySettings& b);

// `sentAt` is the time of this attempt, for the webhook's document.
platform::HttpRequest RouteRequest(Route route, const NotifySettings& settings,
                                   const Message& message, const std::string& sentAt);

// What became of a message.
struct Outcome {
    enum class Kind {
        Delivered,
        Retry,   // no network, DNS, refused, timeout, 5xx, 429, an answer that is not the service's
        GiveUp,  // the service refused it (a bad token, a wrong address): trying again cannot help
    };
    Kind kind = Kind::Retry;
    std::chrono::seconds retryAfter{0};  // a 429's Retry-After; 0: none
    std::string reason;                  // for the log and the test message; empty when delivered
};

Outcome RouteOutcome(Route route, const platform::HttpResponse& response);

// The limits for the route's requests.
platform::HttpLimits RouteLimits(const NotifySettings& settings);

// "2026-12-07T21:03:05", as the webhook's document writes local times.
std::string IsoLocalTime(LocalTime time);

}  // namespace nortavi::notify
