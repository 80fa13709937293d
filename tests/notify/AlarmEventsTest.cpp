// SPDX-License-Identifier: MIT
// Which messages the polls and the alarm button make: each alarm once as it
// is raised, repeated while it stays up, and only the events chosen.
#include "AlarmEvents.h"

#include <gtest/gtest.h>

namespace nortavi::notify {
namespace {

using namespace std::chrono_literals;

const LocalTime kStart = *MakeLocalTime(2026, 12, 7, 21, 0, 0);

class AlarmEventsTest : public testing::Test {
protected:
    // One poll `after` the start; what it sent, as "event" or "event+".
    std::vector<std::string> Poll(std::chrono::seconds after, Alarms raised, Alarms active, bool fresh = true)
    {
        PollReport report;
        report.at = kStart + after;
        report.raised = raised;
        report.active = active;
        report.feedFresh = fresh;
        return Names(events.PollEnded(report, settings));
    }
    std::vector<std::string> Cancel(std::chrono::seconds after, Alarms silenced)
    {
        return Names(events.AlarmsCancelled(kStart + after, silenced, settings));
    }
    std::vector<std::string> Names(const std::vector<Message>& messages)
    {
        std::vector<std::string> names;
        for (const Message& message : messages) {
            names.push_back(std::string(EventName(message.event)) + (message.repeat ? "+" : ""));
            sent.push_back(message);
        }
        return names;
    }

    using Names_ = std::vector<std::string>;
    NotifySettings settings;
    AlarmEvents events;
    std::vector<Message> sent;
};

const Alarms kNone{};
const Alarms kUnsafe{.unsafe = true};
const Alarms kComms{.comms = true};
const Alarms kBoth{.unsafe = true, .comms = true};

TEST_F(AlarmEventsTest, EachAlarmOnceAsRaisedThenEveryRepeatWhileUpUntilCancelled)
{
    EXPECT_EQ(Poll(0s, kUnsafe, kUnsafe), Names_{"unsafe"});
    EXPECT_EQ(Poll(5s, kNone, kUnsafe), Names_{}) << "not again at the next poll";
    EXPECT_EQ(Poll(595s, kNone, kUnsafe), Names_{});
    EXPECT_EQ(Poll(600s, kNone, kUnsafe), Names_{"unsafe+"});
    EXPECT_EQ(Poll(605s, kNone, kUnsafe), Names_{});
    EXPECT_EQ(Poll(1200s, kNone, kUnsafe), Names_{"unsafe+"});
    const Message& repeat = sent.back();
    EXPECT_TRUE(repeat.alarmUp->load());

    settings.onCancel = true;
    EXPECT_EQ(Cancel(1210s, kUnsafe), Names_{"cancelled"});
    EXPECT_FALSE(repeat.alarmUp->load()) << "a repeat still queued is not sent";
    EXPECT_EQ(Poll(1800s, kNone, kNone), Names_{});
}

TEST_F(AlarmEventsTest, OnlyTheChosenEventsAndNoRepeatWhenSetToOnce)
{
    settings.repeatMinutes = 0;
    EXPECT_EQ(Poll(0s, {.safe = true}, {.safe = true}), Names_{}) << "the safe alarm is not chosen by default";
    EXPECT_EQ(Poll(5s, kComms, kComms, false), Names_{"feedLost"});
    EXPECT_EQ(Poll(3600s, kNone, kComms, false), Names_{});
    EXPECT_EQ(Poll(3605s, kNone, kNone, true), Names_{}) << "the feed coming back is not chosen by default";

    settings.onFeedBack = true;
    settings.onUnsafe = false;
    EXPECT_EQ(Poll(4000s, kBoth, kBoth, false), Names_{"feedLost"});
    EXPECT_EQ(Poll(4005s, kNone, kUnsafe, true), Names_{"feedBack"});
    EXPECT_EQ(Poll(4010s, kNone, kUnsafe, true), Names_{});
}

TEST_F(AlarmEventsTest, AnAlarmRaisedAgainStartsItsRepeatsAfresh)
{
    Poll(0s, kUnsafe, kUnsafe);
    const auto firstUp = sent.back().alarmUp;
    EXPECT_EQ(Poll(300s, kNone, kNone), Names_{}) << "a safe verdict ended it";
    EXPECT_FALSE(firstUp->load());
    EXPECT_EQ(Poll(400s, kUnsafe, kUnsafe), Names_{"unsafe"});
    EXPECT_EQ(Poll(600s, kNone, kUnsafe), Names_{});
    EXPECT_EQ(Poll(1000s, kNone, kUnsafe), Names_{"unsafe+"});
}

}  // namespace
}  // namespace nortavi::notify
