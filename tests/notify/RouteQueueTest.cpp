// SPDX-License-Identifier: MIT
// One route's queue on a hand-set clock: the retry schedule, a server's
// Retry-After, refusals, and which message makes room in a full queue.
#include "RouteQueue.h"

#include <gtest/gtest.h>

namespace nortavi::notify {
namespace {

using namespace std::chrono_literals;
using Kind = Outcome::Kind;

const SteadyTime kStart{};
const LocalTime kAt = *MakeLocalTime(2026, 12, 7, 21, 3, 0);

std::shared_ptr<const Message> Make(Event event, bool repeat = false,
                                    std::shared_ptr<std::atomic<bool>> alarmUp = nullptr)
{
    Message message = MakeMessage(event, repeat, PollReport{}, kAt);
    message.alarmUp = std::move(alarmUp);
    return std::make_shared<const Message>(std::move(message));
}

const Outcome kRetry{Kind::Retry, 0s, "HTTP 503"};

TEST(RouteQueueTest, GrowingPausesForAtLeastFifteenMinutesThenDroppedWithItsReason)
{
    RouteQueue queue;
    const auto message = Make(Event::Unsafe);
    queue.Add(message, kStart);
    EXPECT_EQ(queue.DueAt(), kStart);
    EXPECT_FALSE(queue.FailingSince());

    SteadyTime now = kStart;
    std::vector<std::chrono::seconds> pauses;
    std::vector<RouteQueue::Dropped> dropped;
    while (queue.Next() != nullptr) {
        dropped = queue.Done(kRetry, now);
        pauses.push_back(std::chrono::duration_cast<std::chrono::seconds>(queue.DueAt() - now));
        EXPECT_EQ(queue.FailingSince(), kAt) << "failing since the message's time";
        now = queue.DueAt();
    }
    EXPECT_EQ(pauses, (std::vector<std::chrono::seconds>{5s, 15s, 30s, 60s, 120s, 240s, 480s, 480s}));
    ASSERT_EQ(dropped.size(), 1U);
    EXPECT_EQ(dropped[0].message, message);
    EXPECT_EQ(dropped[0].why, "not delivered in 15 minutes (HTTP 503)");

    // The next message gets through: the route is well again.
    queue.Add(Make(Event::FeedLost), now);
    EXPECT_EQ(queue.DueAt(), now) << "a new alarm is tried at once";
    queue.Next();
    EXPECT_TRUE(queue.Done({Kind::Delivered, 0s, ""}, now).empty());
    EXPECT_FALSE(queue.FailingSince());
    EXPECT_EQ(queue.Size(), 0U);
}

TEST(RouteQueueTest, TheServersRetryAfterIsWaitedOutEvenForANewAlarm)
{
    RouteQueue queue;
    queue.Add(Make(Event::Unsafe), kStart);
    queue.Next();
    queue.Done({Kind::Retry, 7s, "HTTP 429"}, kStart);
    EXPECT_EQ(queue.DueAt(), kStart + 7s);
    queue.Add(Make(Event::FeedLost), kStart + 1s);
    EXPECT_EQ(queue.DueAt(), kStart + 7s);

    queue.Next();
    queue.Done({Kind::Retry, 24h, "HTTP 429"}, kStart + 7s);
    EXPECT_EQ(queue.DueAt(), kStart + 7s + 15min) << "at most a quarter of an hour";
}

TEST(RouteQueueTest, ARefusalDropsTheMessageAtOnceAndTheNextGoesOn)
{
    RouteQueue queue;
    const auto first = Make(Event::Unsafe);
    queue.Add(first, kStart);
    queue.Add(Make(Event::Cancelled), kStart);
    queue.Next();
    const auto dropped = queue.Done({Kind::GiveUp, 0s, "HTTP 401: Unauthorized"}, kStart + 1s);
    ASSERT_EQ(dropped.size(), 1U);
    EXPECT_EQ(dropped[0].message, first);
    EXPECT_EQ(dropped[0].why, "refused (HTTP 401: Unauthorized), not sent again");
    EXPECT_EQ(queue.DueAt(), kStart + 1s);
    EXPECT_EQ(queue.Size(), 1U);
    EXPECT_EQ(queue.FailingSince(), kAt) << "shown as failing until something gets through";
}

TEST(RouteQueueTest, AFullQueueDropsRepeatsFirstThenOtherEventsAndNeverAFirstAlarmForARepeat)
{
    RouteQueue queue(3);
    const auto up = std::make_shared<std::atomic<bool>>(true);
    const auto unsafe = Make(Event::Unsafe);
    const auto repeat = Make(Event::Unsafe, true, up);
    const auto back = Make(Event::FeedBack);
    queue.Add(unsafe, kStart);
    queue.Add(repeat, kStart);
    queue.Add(back, kStart);

    const auto lost = Make(Event::FeedLost);
    EXPECT_EQ(queue.Add(lost, kStart), std::vector{repeat});
    const auto safe = Make(Event::Safe);
    EXPECT_EQ(queue.Add(safe, kStart), std::vector{back});
    const auto lateRepeat = Make(Event::FeedLost, true, up);
    EXPECT_EQ(queue.Add(lateRepeat, kStart), std::vector{lateRepeat}) << "three first alarms stay";
    const auto another = Make(Event::Unsafe);
    EXPECT_EQ(queue.Add(another, kStart), std::vector{unsafe}) << "only first alarms: the oldest goes";
    EXPECT_EQ(queue.Next(), lost);
}

TEST(RouteQueueTest, ARepeatReplacesTheOneStillWaitingAndGoesOnlyWhileItsAlarmIsUp)
{
    RouteQueue queue;
    const auto up = std::make_shared<std::atomic<bool>>(true);
    queue.Add(Make(Event::Unsafe, true, up), kStart);
    const auto newer = Make(Event::Unsafe, true, up);
    EXPECT_TRUE(queue.Add(newer, kStart + 10min).empty());
    EXPECT_EQ(queue.Size(), 1U);
    EXPECT_EQ(queue.Next(), newer);
    *up = false;  // cancelled
    EXPECT_EQ(queue.Next(), nullptr);
}

}  // namespace
}  // namespace nortavi::notify
