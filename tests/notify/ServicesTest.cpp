// SPDX-License-Identifier: MIT
// Each route through the system's HTTP stack (libcurl, or WinHTTP under
// wine) to the services' stand-in on loopback, receiver.py, which
// with-receiver.sh runs beside this test: HTTPS with a certificate
// authority of the test's own, what each answer comes to, and certificates
// that must be refused before anything is sent.
#include "Routes.h"
#include "Transport.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace nortavi::notify {
namespace {

using namespace std::chrono_literals;
using Kind = Outcome::Kind;
using nlohmann::json;

// The receiver's folder: ports.json, ca.pem, requests.log.
std::string Folder()
{
    const char* folder = std::getenv("NORTAVI_RECEIVER");
    return folder != nullptr ? std::string(folder) + "/" : std::string();
}

json ReadJson(const std::string& path)
{
    std::ifstream file(path);
    return json::parse(file, nullptr, false);
}

// What the receiver was sent, one document per request.
std::vector<json> Received()
{
    std::vector<json> requests;
    std::ifstream log(Folder() + "requests.log");
    for (std::string line; std::getline(log, line);) {
        requests.push_back(json::parse(line));
    }
    return requests;
}

struct ServiceCase {
    const char* name;
    Route route;
    const char* port;  // in ports.json, or "" for one nobody listens on
    const char* mode;  // how the receiver answers
    Kind kind;
    std::string reason;  // what the outcome must say
    int retryAfter = 0;
};

class ServicesTest : public testing::TestWithParam<ServiceCase> {
protected:
    void SetUp() override
    {
        if (Folder().empty()) {
            GTEST_SKIP() << "run through with-receiver.sh";
        }
    }
};

TEST_P(ServicesTest, OverHttpsWithTheSystemsStack)
{
    const ServiceCase& c = GetParam();
    const json ports = ReadJson(Folder() + "ports.json");
    const int port = *c.port != '\0' ? ports.at(c.port).get<int>() : 9;  // discard: nothing listens
    // By name: wine checks a certificate's DNS names only, not its addresses.
    const std::string server = "https://localhost:" + std::to_string(port) + "/" + c.mode;
    NotifySettings settings;
    settings.ntfyServer = server;
    settings.ntfyTopic = "roof-7";
    settings.ntfyToken = "tk_test";
    settings.pushoverServer = server;
    settings.pushoverUser = "u123";
    settings.pushoverToken = "a456";
    settings.pushoverEmergency = true;
    settings.telegramServer = server;
    settings.telegramToken = "123:ABC";
    settings.telegramChatId = "-100123";
    settings.webhookUrl = server + "/hook";
    settings.caFile = Folder() + "ca.pem";  // Linux; under wine it is in the store

    PollReport report;
    report.condition = "V.CLOUDY";
    report.status = ShownStatus::Unsafe;
    const Message message = MakeMessage(Event::Unsafe, false, report, LocalTime{});
    platform::HttpLimits limits = RouteLimits(settings);
    limits.whole = 3s;  // the receiver's stall lasts 35 s

    const std::size_t before = Received().size();
    const auto transport = SystemTransports()();
    const auto start = std::chrono::steady_clock::now();
    const Outcome outcome =
        RouteOutcome(c.route, transport->Send(RouteRequest(c.route, settings, message, "now"), limits));
    const auto took = std::chrono::steady_clock::now() - start;

    EXPECT_EQ(outcome.kind, c.kind) << outcome.reason;
    EXPECT_NE(outcome.reason.find(c.reason), std::string::npos) << outcome.reason;
    EXPECT_EQ(outcome.retryAfter.count(), c.retryAfter);
    EXPECT_LT(took, 10s);
    const std::vector<json> after = Received();
    const bool reachable = std::string(c.port) == "https";
    ASSERT_EQ(after.size(), before + (reachable ? 1 : 0)) << "one request, or none at all";
    if (reachable) {
        EXPECT_EQ(after.back()["wrong"], json::array()) << after.back().dump();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Receiver, ServicesTest,
    testing::Values(ServiceCase{"Ntfy", Route::Ntfy, "https", "ok", Kind::Delivered, ""},
                    ServiceCase{"Pushover", Route::Pushover, "https", "ok", Kind::Delivered, ""},
                    ServiceCase{"Telegram", Route::Telegram, "https", "ok", Kind::Delivered, ""},
                    ServiceCase{"Webhook", Route::Webhook, "https", "ok", Kind::Delivered, ""},
                    ServiceCase{"ServerError", Route::Webhook, "https", "error500", Kind::Retry, "HTTP 500"},
                    ServiceCase{"RateLimited", Route::Ntfy, "https", "busy429", Kind::Retry, "HTTP 429", 7},
                    ServiceCase{"BadToken", Route::Telegram, "https", "refuse", Kind::GiveUp,
                                "HTTP 401: Unauthorized"},
                    ServiceCase{"Stall", Route::Pushover, "https", "stall", Kind::Retry, "no answer in time"},
                    ServiceCase{"NothingListens", Route::Ntfy, "", "ok", Kind::Retry, "no connection"},
                    ServiceCase{"UntrustedAuthority", Route::Ntfy, "rogue", "ok", Kind::Retry, "certificate"},
                    ServiceCase{"AnotherHostsCertificate", Route::Webhook, "wrongName", "ok", Kind::Retry,
                                "certificate"}),
    [](const auto& testCase) { return testCase.param.name; });

}  // namespace
}  // namespace nortavi::notify
