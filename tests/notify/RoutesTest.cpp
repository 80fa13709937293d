// SPDX-License-Identifier: MIT
// The messages' words, each route's request for a message and what each
// answer comes to: pure functions, checked against the services' formats.
// (What the system's HTTP stack makes of real answers and failures is
// ServicesTest's.)
#include "Routes.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <map>

namespace nortavi::notify {
namespace {

using platform::HttpFailure;
using platform::HttpResponse;
using Kind = Outcome::Kind;
using nlohmann::json;

const LocalTime kAt = *MakeLocalTime(2026, 12, 7, 21, 15, 0);

PollReport Unsafe()
{
    PollReport report;
    report.at = kAt;
    report.condition = "V.CLOUDY";
    report.conditionSince = *MakeLocalTime(2026, 12, 7, 21, 3, 0);
    report.status = ShownStatus::Unsafe;
    report.statusSince = kAt;
    report.feedFresh = true;
    report.read = StatusRead::Read;
    report.stampEverRead = true;
    report.lastStatusTime = *MakeLocalTime(2026, 12, 7, 21, 14, 58);
    report.minsSinceClear = 12;
    report.minsSinceCloudy = 0;
    report.minsSinceVCloudy = 0;
    return report;
}

PollReport Stale(StatusRead read)
{
    PollReport report = Unsafe();
    report.condition = "UNKNOWN";
    report.status = ShownStatus::Unknown;
    report.feedFresh = false;
    report.read = read;
    report.lastStatusTime = *MakeLocalTime(2026, 12, 6, 23, 58, 0);
    return report;
}

PollReport Safe()
{
    PollReport report = Unsafe();
    report.condition = "CLEAR";
    report.status = ShownStatus::Safe;
    report.minsSinceClear = 0;
    report.minsSinceCloudy = 16;
    report.minsSinceVCloudy = 40;
    return report;
}

TEST(MessageTest, SaysWhatHappenedAndSinceWhenInPlainWords)
{
    const struct {
        Message message;
        const char* text;
    } cases[] = {
        {MakeMessage(Event::Unsafe, false, Unsafe(), kAt),
         "Nortavi: UNSAFE. V.CLOUDY since 21:03; last clear 12 min ago"},
        {MakeMessage(Event::Unsafe, true, Unsafe(), kAt),
         "Nortavi: still UNSAFE. V.CLOUDY since 21:03; last clear 12 min ago"},
        {MakeMessage(Event::Safe, false, Safe(), kAt), "Nortavi: SAFE. CLEAR since 21:03; last cloudy 16 min ago"},
        {MakeMessage(Event::FeedLost, false, Stale(StatusRead::NoFile), kAt),
         "Nortavi: FEED LOST. No fresh sensor reading since 6 Dec 23:58; the status file is not there"},
        {MakeMessage(Event::FeedLost, true, Stale(StatusRead::Read), kAt),
         "Nortavi: feed still lost. No fresh sensor reading since 6 Dec 23:58; the status file is not being updated"},
        {MakeMessage(Event::FeedBack, false, Unsafe(), kAt), "Nortavi: feed back. V.CLOUDY at 21:14; status UNSAFE"},
        {MakeMessage(Event::Cancelled, false, Unsafe(), kAt, {.unsafe = true, .comms = true}),
         "Nortavi: alarm cancelled. Unsafe and feed-lost alarms cancelled at the window at 21:15; status UNSAFE, "
         "V.CLOUDY"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.message.text, c.message.title + ". " + c.message.details);
        EXPECT_EQ(c.message.text, c.text);
    }
}

NotifySettings AllRoutes()
{
    NotifySettings s;
    s.ntfyServer = "https://ntfy.example/";
    s.ntfyTopic = "roof-7";
    s.ntfyToken = "tk_abc";
    s.pushoverUser = "u123";
    s.pushoverToken = "a456";
    s.pushoverEmergency = true;
    s.telegramToken = "123:ABC";
    s.telegramChatId = "-100123";
    s.webhookUrl = "http://ha.local:8123/api/webhook/x";
    return s;
}

struct RequestCase {
    const char* name;
    Route route;
    Message message;
    std::string url;
    std::map<std::string, std::string> headers;  // "" for a header that must be missing
    std::string body;                            // the whole body, or for JSON its fields
};

class RouteRequestTest : public testing::TestWithParam<RequestCase> {};

TEST_P(RouteRequestTest, IsTheServicesOwnFormat)
{
    const RequestCase& c = GetParam();
    NotifySettings settings = AllRoutes();
    if (c.message.event == Event::Safe) {
        settings.ntfyToken.clear();
    }
    const platform::HttpRequest request = RouteRequest(c.route, settings, c.message, "2026-12-07T20:15:02Z");
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.url, c.url);
    std::map<std::string, std::string> headers(request.headers.begin(), request.headers.end());
    EXPECT_EQ(headers["User-Agent"], "Nortavi/" NORTAVI_VERSION);
    for (const auto& [name, value] : c.headers) {
        EXPECT_EQ(headers[name], value) << name;
    }
    if (headers["Content-Type"] != "application/json") {
        EXPECT_EQ(request.body, c.body);
        return;
    }
    const json sent = json::parse(request.body);
    const json expected = json::parse(c.body);
    for (const auto& [key, value] : expected.items()) {
        EXPECT_EQ(sent.at(key), value) << key;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Routes, RouteRequestTest,
    testing::Values(
        RequestCase{"NtfyUnsafe", Route::Ntfy, MakeMessage(Event::Unsafe, false, Unsafe(), kAt),
                    "https://ntfy.example/roof-7",
                    {{"Title", "Nortavi: UNSAFE"}, {"Priority", "5"}, {"Tags", "rotating_light"},
                     {"Authorization", "Bearer tk_abc"}, {"Content-Type", "text/plain; charset=utf-8"}},
                    "V.CLOUDY since 21:03; last clear 12 min ago"},
        RequestCase{"NtfySafeWithoutToken", Route::Ntfy, MakeMessage(Event::Safe, false, Safe(), kAt),
                    "https://ntfy.example/roof-7",
                    {{"Priority", "3"}, {"Tags", "white_check_mark"}, {"Authorization", ""}},
                    "CLEAR since 21:03; last cloudy 16 min ago"},
        RequestCase{"PushoverEmergencyFirstAlarm", Route::Pushover,
                    MakeMessage(Event::FeedLost, false, Stale(StatusRead::NoFile), kAt),
                    "https://api.pushover.net/1/messages.json",
                    {{"Content-Type", "application/x-www-form-urlencoded"}},
                    "token=a456&user=u123&title=Nortavi%3A%20FEED%20LOST&message=No%20fresh%20sensor%20reading%"
                    "20since%206%20Dec%2023%3A58%3B%20the%20status%20file%20is%20not%20there&priority=2&retry="
                    "60&expire=3600"},
        RequestCase{"PushoverRepeatIsHighNotEmergency", Route::Pushover,
                    MakeMessage(Event::Unsafe, true, Unsafe(), kAt), "https://api.pushover.net/1/messages.json",
                    {},
                    "token=a456&user=u123&title=Nortavi%3A%20still%20UNSAFE&message=V.CLOUDY%20since%2021%3A03%3B%"
                    "20last%20clear%2012%20min%20ago&priority=1"},
        RequestCase{"Telegram", Route::Telegram, MakeMessage(Event::Unsafe, false, Unsafe(), kAt),
                    "https://api.telegram.org/bot123:ABC/sendMessage", {},
                    R"({"chat_id": "-100123", "text": "Nortavi: UNSAFE. V.CLOUDY since 21:03; last clear 12 min ago"})"},
        RequestCase{"Webhook", Route::Webhook, MakeMessage(Event::FeedLost, false, Stale(StatusRead::Unreadable), kAt),
                    "http://ha.local:8123/api/webhook/x", {},
                    R"({"event": "feedLost", "repeat": false, "condition": "UNKNOWN", "status": "UNKNOWN",
                        "feed": "lost", "minutesSinceClear": 12, "statusFileTime": "2026-12-06T23:58:00",
                        "eventTime": "2026-12-07T21:15:00", "sentAt": "2026-12-07T20:15:02Z",
                        "version": ")" NORTAVI_VERSION R"("})"},
        RequestCase{"WebhookCancel", Route::Webhook,
                    MakeMessage(Event::Cancelled, false, Unsafe(), kAt, {.safe = true}),
                    "http://ha.local:8123/api/webhook/x", {}, R"({"event": "cancelled", "cancelled": ["safe"]})"}),
    [](const auto& testCase) { return testCase.param.name; });

struct OutcomeCase {
    const char* name;
    Route route;
    HttpResponse response;
    Kind kind;
    std::string reason;  // what it must say, "" for anything
    int retryAfter = 0;
};

class RouteOutcomeTest : public testing::TestWithParam<OutcomeCase> {};

TEST_P(RouteOutcomeTest, DeliveredRetriedOrGivenUp)
{
    const OutcomeCase& c = GetParam();
    const Outcome outcome = RouteOutcome(c.route, c.response);
    EXPECT_EQ(outcome.kind, c.kind);
    EXPECT_NE(outcome.reason.find(c.reason), std::string::npos) << outcome.reason;
    EXPECT_EQ(outcome.retryAfter.count(), c.retryAfter);
}

HttpResponse Answer(int status, std::string body, std::string retryAfter = {})
{
    return {HttpFailure::None, status, std::move(body), std::move(retryAfter), {}, {}};
}

HttpResponse Failed(HttpFailure failure)
{
    return {failure, 0, {}, {}, {}, "the system's words"};
}

INSTANTIATE_TEST_SUITE_P(
    Answers, RouteOutcomeTest,
    testing::Values(
        OutcomeCase{"TelegramNotOk", Route::Telegram, Answer(200, R"({"ok":false})"), Kind::Retry, "HTTP 200"},
        OutcomeCase{"PortalPageIsNoPushoverAnswer", Route::Pushover, Answer(200, "<html>Sign in</html>"),
                    Kind::Retry, "not the service's answer"},
        OutcomeCase{"PushoverBadKey", Route::Pushover,
                    Answer(400, R"({"user":"invalid","errors":["user identifier is invalid"],"status":0})"),
                    Kind::GiveUp, "HTTP 400: user identifier is invalid"},
        OutcomeCase{"NtfyForbidden", Route::Ntfy, Answer(403, R"({"code":40301,"error":"forbidden"})"),
                    Kind::GiveUp, "HTTP 403: forbidden"},
        OutcomeCase{"RateLimitedDate", Route::Ntfy, Answer(429, "", "Wed, 21 Oct 2026 07:28:00 GMT"),
                    Kind::Retry, "", 0},
        OutcomeCase{"RequestTimeout", Route::Webhook, Answer(408, ""), Kind::Retry, "HTTP 408"},
        OutcomeCase{"NotFound", Route::Webhook, Answer(404, ""), Kind::GiveUp, "HTTP 404"},
        OutcomeCase{"Redirect", Route::Webhook,
                    HttpResponse{HttpFailure::None, 301, {}, {}, "https://ha.local/hook", {}}, Kind::GiveUp,
                    "moved to https://ha.local/hook"},
        OutcomeCase{"NoDns", Route::Ntfy, Failed(HttpFailure::NameNotResolved), Kind::Retry, "name was not found"},
        OutcomeCase{"BadAddress", Route::Webhook, Failed(HttpFailure::BadAddress), Kind::GiveUp,
                    "address cannot be used"}),
    [](const auto& testCase) { return testCase.param.name; });

}  // namespace
}  // namespace nortavi::notify
