// SPDX-License-Identifier: MIT
#include "Routes.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <charconv>

namespace nortavi::notify {

namespace {

using nlohmann::json;
using platform::HttpFailure;
using platform::HttpRequest;
using platform::HttpResponse;

const char* const kUserAgent = "Nortavi/" NORTAVI_VERSION;

std::string WithoutTrailingSlash(std::string address)
{
    while (!address.empty() && address.back() == '/') {
        address.pop_back();
    }
    return address;
}

bool Alarming(Event event)
{
    return event == Event::Unsafe || event == Event::FeedLost;
}

// ntfy's priorities: 5 (urgent: a long vibration, through Do Not Disturb
// where the user allows it) for unsafe and feed lost, 3 (default) else.
const char* NtfyPriority(Event event)
{
    return Alarming(event) ? "5" : "3";
}

// ntfy's tags that show as emoji before the title.
const char* NtfyTag(Event event)
{
    switch (event) {
        case Event::Unsafe:
            return "rotating_light";
        case Event::FeedLost:
            return "warning";
        case Event::Safe:
            return "white_check_mark";
        case Event::FeedBack:
            return "satellite";
        case Event::Cancelled:
            return "no_bell";
        case Event::Test:
            break;
    }
    return "bell";
}

// Pushover's priorities: 1 (high: through the user's quiet hours) for
// unsafe and feed lost, 2 (emergency: repeated on the phone until
// acknowledged) for their first message when chosen; 0 else.
int PushoverPriority(const NotifySettings& settings, const Message& message)
{
    if (!Alarming(message.event)) {
        return 0;
    }
    return settings.pushoverEmergency && !message.repeat ? 2 : 1;
}

std::string FormEncoded(std::string_view text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0 || c == '-' || c == '_' || c == '.' || c == '~') {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0xF];
        }
    }
    return encoded;
}

std::string Form(std::initializer_list<std::pair<const char*, std::string>> fields)
{
    std::string form;
    for (const auto& [name, value] : fields) {
        form += (form.empty() ? "" : "&") + std::string(name) + "=" + FormEncoded(value);
    }
    return form;
}

json WebhookDocument(const Message& message, const std::string& sentAt)
{
    const PollReport& report = message.report;
    json document{
        {"event", EventName(message.event)},
        {"repeat", message.repeat},
        {"title", message.title},
        {"text", message.text},
        {"condition", report.condition},
        {"conditionSince", IsoLocalTime(report.conditionSince)},
        {"status", StatusCaption(report.status)},
        {"statusSince", IsoLocalTime(report.statusSince)},
        {"feed", report.feedFresh ? "fresh" : "lost"},
        {"minutesSinceClear", report.minsSinceClear},
        {"minutesSinceCloudy", report.minsSinceCloudy},
        {"minutesSinceVeryCloudy", report.minsSinceVCloudy},
        {"statusFileTime",
         report.stampEverRead ? json(IsoLocalTime(report.lastStatusTime)) : json(nullptr)},
        {"eventTime", IsoLocalTime(message.at)},
        {"sentAt", sentAt},
        {"version", NORTAVI_VERSION},
    };
    if (message.event == Event::Cancelled) {
        json alarms = json::array();
        for (const auto& [on, name] : {std::pair{message.cancelled.unsafe, "unsafe"},
                                       std::pair{message.cancelled.comms, "feedLost"},
                                       std::pair{message.cancelled.safe, "safe"}}) {
            if (on) {
                alarms.push_back(name);
            }
        }
        document["cancelled"] = alarms;
    }
    return document;
}

// The service's own words for a refusal, from its JSON where it has one.
std::string ServiceWords(Route route, const std::string& body)
{
    const json answer = json::parse(body, nullptr, false);
    if (answer.is_object()) {
        if (route == Route::Ntfy && answer.contains("error") && answer["error"].is_string()) {
            return answer["error"];
        }
        if (route == Route::Telegram && answer.contains("description") &&
            answer["description"].is_string()) {
            return answer["description"];
        }
        if (route == Route::Pushover && answer.contains("errors") && answer["errors"].is_array()) {
            std::string words;
            for (const json& error : answer["errors"]) {
                if (error.is_string()) {
                    words += (words.empty() ? "" : "; ") + error.get<std::string>();
                }
            }
            return words;
        }
    }
    // Anything else: its first line, if it is short text.
    std::string line = body.substr(0, body.find_first_of("\r\n"));
    if (line.size() > 200 ||
        !std::all_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x20; })) {
        return {};
    }
    return line;
}

// A Retry-After of seconds; a date or anything else counts as none.
std::chrono::seconds RetryAfter(const std::string& value)
{
    long seconds = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), seconds);
    if (error != std::errc{} || end != value.data() + value.size() || seconds < 0) {
        return std::chrono::seconds{0};
    }
    return std::chrono::seconds{seconds};
}

// Whether a successful status comes with the service's own answer.
bool Accepted(Route route, const std::string& body)
{
    if (route != Route::Pushover && route != Route::Telegram) {
        return true;
    }
    const json answer = json::parse(body, nullptr, false);
    if (!answer.is_object()) {
        return false;
    }
    if (route == Route::Telegram) {
        return answer.contains("ok") && answer["ok"] == true;
    }
    return answer.contains("status") && answer["status"] == 1;
}

std::string FailureWords(const HttpResponse& response)
{
    switch (response.failure) {
        case HttpFailure::BadAddress:
            return "the address cannot be used: " + response.error;
        case HttpFailure::NameNotResolved:
            return "the server's name was not found: " + response.error;
        case HttpFailure::Refused:
            return "no connection: " + response.error;
        case HttpFailure::Timeout:
            return "no answer in time: " + response.error;
        case HttpFailure::Certificate:
            return "the server's certificate was not trusted: " + response.error;
        case HttpFailure::Cancelled:
            return "cancelled";
        case HttpFailure::Other:
        case HttpFailure::None:
            break;
    }
    return response.error;
}

}  // namespace

const char* RouteName(Route route)
{
    switch (route) {
        case Route::Ntfy:
            return "ntfy";
        case Route::Pushover:
            return "Pushover";
        case Route::Telegram:
            return "Telegram";
        case Route::Webhook:
            break;
    }
    return "webhook";
}

bool RouteSet(Route route, const NotifySettings& settings)
{
    switch (route) {
        case Route::Ntfy:
            return !settings.ntfyTopic.empty();
        case Route::Pushover:
            return !settings.pushoverUser.empty() && !settings.pushoverToken.empty();
        case Route::Telegram:
            return !settings.telegramChatId.empty() && !settings.telegramToken.empty();
        case Route::Webhook:
            break;
    }
    return !settings.webhookUrl.empty();
}

bool SameRoute(Route route, const NotifySettings& a, const NotifySettings& b)
{
    if (a.caFile != b.caFile) {
        return false;
    }
    switch (route) {
        case Route::Ntfy:
            return a.ntfyServer == b.ntfyServer && a.ntfyTopic == b.ntfyTopic &&
                   a.ntfyToken == b.ntfyToken;
        case Route::Pushover:
            return a.pushoverUser == b.pushoverUser && a.pushoverToken == b.pushoverToken &&
                   a.pushoverServer == b.pushoverServer &&
                   a.pushoverEmergency == b.pushoverEmergency &&
                   a.pushoverRetrySeconds == b.pushoverRetrySeconds &&
                   a.pushoverExpireSeconds == b.pushoverExpireSeconds;
        case Route::Telegram:
            return a.telegramChatId == b.telegramChatId && a.telegramToken == b.telegramToken &&
                   a.telegramServer == b.telegramServer;
        case Route::Webhook:
            break;
    }
    return a.webhookUrl == b.webhookUrl;
}

HttpRequest RouteRequest(Route route, const NotifySettings& settings, const Message& message,
                         const std::string& sentAt)
{
    HttpRequest request;
    request.headers.emplace_back("User-Agent", kUserAgent);
    switch (route) {
        case Route::Ntfy:
            request.url = WithoutTrailingSlash(settings.ntfyServer) + "/" + settings.ntfyTopic;
            request.headers.emplace_back("Content-Type", "text/plain; charset=utf-8");
            request.headers.emplace_back("Title", message.title);
            request.headers.emplace_back("Priority", NtfyPriority(message.event));
            request.headers.emplace_back("Tags", NtfyTag(message.event));
            if (!settings.ntfyToken.empty()) {
                request.headers.emplace_back("Authorization", "Bearer " + settings.ntfyToken);
            }
            request.body = message.details;
            break;
        case Route::Pushover: {
            request.url = WithoutTrailingSlash(settings.pushoverServer) + "/1/messages.json";
            request.headers.emplace_back("Content-Type", "application/x-www-form-urlencoded");
            const int priority = PushoverPriority(settings, message);
            request.body = Form({{"token", settings.pushoverToken},
                                 {"user", settings.pushoverUser},
                                 {"title", message.title},
                                 {"message", message.details},
                                 {"priority", std::to_string(priority)}});
            if (priority == 2) {
                request.body +=
                    "&" + Form({{"retry", std::to_string(settings.pushoverRetrySeconds)},
                                {"expire", std::to_string(settings.pushoverExpireSeconds)}});
            }
            break;
        }
        case Route::Telegram:
            request.url = WithoutTrailingSlash(settings.telegramServer) + "/bot" +
                          settings.telegramToken + "/sendMessage";
            request.headers.emplace_back("Content-Type", "application/json");
            request.body =
                json{{"chat_id", settings.telegramChatId}, {"text", message.text}}.dump();
            break;
        case Route::Webhook:
            request.url = settings.webhookUrl;
            request.headers.emplace_back("Content-Type", "application/json");
            request.body = WebhookDocument(message, sentAt).dump();
            break;
    }
    return request;
}

Outcome RouteOutcome(Route route, const HttpResponse& response)
{
    using Kind = Outcome::Kind;
    if (response.failure != HttpFailure::None) {
        return {response.failure == HttpFailure::BadAddress ? Kind::GiveUp : Kind::Retry,
                {},
                FailureWords(response)};
    }
    const int status = response.status;
    const std::string words = ServiceWords(route, response.body);
    const std::string said = "HTTP " + std::to_string(status) + (words.empty() ? "" : ": " + words);
    if (status >= 200 && status < 300) {
        if (Accepted(route, response.body)) {
            return {Kind::Delivered, {}, {}};
        }
        return {Kind::Retry, {}, said + " (not the service's answer)"};
    }
    if (status == 429) {
        return {Kind::Retry, RetryAfter(response.retryAfter), said};
    }
    if (status == 408 || status >= 500 || status < 200) {
        return {Kind::Retry, {}, said};
    }
    if (status >= 300 && status < 400) {
        return {Kind::GiveUp,
                {},
                said + (response.location.empty()
                            ? ""
                            : " (moved to " + response.location + ": enter that address)")};
    }
    return {Kind::GiveUp, {}, said};
}

platform::HttpLimits RouteLimits(const NotifySettings& settings)
{
    platform::HttpLimits limits;
    limits.extraCaFile = settings.caFile;
    return limits;
}

std::string IsoLocalTime(LocalTime time)
{
    std::string text = FormatLocalTime(time);
    std::replace(text.begin(), text.end(), ' ', 'T');
    return text;
}

}  // namespace nortavi::notify
