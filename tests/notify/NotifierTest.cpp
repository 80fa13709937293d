// SPDX-License-Identifier: MIT
// The notifier between the polls and the routes' threads, on scripted
// services: a poll never waits for the network, each message goes once,
// a request that stalls does not hold up closing.
#include "Notifier.h"

#include "FakeTransport.h"

#include <gtest/gtest.h>

#include <thread>

namespace nortavi::notify {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const LocalTime kStart = *MakeLocalTime(2026, 12, 7, 21, 0, 0);

PollReport Raising(std::chrono::seconds after)
{
    PollReport report;
    report.at = kStart + after;
    report.raised.unsafe = report.active.unsafe = true;
    report.feedFresh = true;
    return report;
}

class NotifierTest : public testing::Test {
protected:
    NotifierOptions Options()
    {
        NotifierOptions options;
        options.transports = services.Transports();
        options.log = [this](const std::string& line) {
            const std::lock_guard lock(logMutex);
            log.push_back(line);
        };
        options.closingGrace = 0ms;
        return options;
    }

    ScriptedServices services;
    NotifySettings settings;
    std::mutex logMutex;
    std::vector<std::string> log;
};

TEST_F(NotifierTest, WithNoRouteSetNothingRunsAndNothingIsSent)
{
    Notifier notifier(settings, Options());
    notifier.PollEnded(Raising(0s));
    EXPECT_EQ(services.TransportsMade(), 0);
    EXPECT_TRUE(notifier.Trouble().empty());
}

TEST_F(NotifierTest, APollNeverWaitsForAStalledServiceAndEachMessageGoesOnce)
{
    settings.ntfyTopic = "roof";
    settings.webhookUrl = "https://hook.example/x";
    services.Hold(true);
    Notifier notifier(settings, Options());
    Clock::duration longest{};
    for (int poll = 0; poll < 20; ++poll) {
        const auto start = Clock::now();
        notifier.PollEnded(Raising(std::chrono::seconds{poll * 5}));  // a fresh alarm each time
        longest = std::max(longest, Clock::now() - start);
    }
    ASSERT_TRUE(services.WaitForRequests(2)) << "each route sends its first message while the other stalls";
    EXPECT_LT(longest, 50ms);
    services.Hold(false);
    ASSERT_TRUE(services.WaitForRequests(40));
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(services.Requests().size(), 40U) << "each alarm once through each route";
}

TEST_F(NotifierTest, ClosingEndsARequestThatStallsAndSaysWhatWasNotSent)
{
    settings.ntfyTopic = "roof";
    services.Hold(true);
    auto notifier = std::make_unique<Notifier>(settings, Options());
    notifier->PollEnded(Raising(0s));
    ASSERT_TRUE(services.WaitForRequests(1));
    const auto start = Clock::now();
    notifier.reset();
    EXPECT_LT(Clock::now() - start, 1s);
    ASSERT_EQ(log.size(), 1U);
    EXPECT_EQ(log[0], "ntfy: 1 message not sent: Nortavi is closing");
}

}  // namespace
}  // namespace nortavi::notify
