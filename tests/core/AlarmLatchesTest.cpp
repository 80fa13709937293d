// SPDX-License-Identifier: MIT
#include "AlarmLatches.h"

#include "CoreFakes.h"
#include "RecordingPorts.h"

#include <gtest/gtest.h>

namespace nortavi {
namespace {

enum class Alarm { Safe, Unsafe, Comms };
enum class Phase { Armed, Sounding, Spent };
enum class Event { SafeVerdict, UnsafeVerdict, Stale, Fresh };

bool& ArmedFlag(MonitorState& s, Alarm a)
{
    return a == Alarm::Safe     ? s.safeAlarmArmed
           : a == Alarm::Unsafe ? s.unsafeAlarmArmed
                                : s.commsAlarmArmed;
}

bool& ActiveFlag(MonitorState& s, Alarm a)
{
    return a == Alarm::Safe     ? s.safeAlarmActive
           : a == Alarm::Unsafe ? s.unsafeAlarmActive
                                : s.commsAlarmActive;
}

void Enter(MonitorState& s, Alarm a, Phase p)
{
    ArmedFlag(s, a) = p == Phase::Armed;
    ActiveFlag(s, a) = p == Phase::Sounding;
}

Phase PhaseOf(MonitorState& s, Alarm a)
{
    if (ActiveFlag(s, a)) {
        return Phase::Sounding;
    }
    return ArmedFlag(s, a) ? Phase::Armed : Phase::Spent;
}

struct LatchCase {
    Alarm alarm;
    Phase from;
    Event event;
    bool switchOn;  // alarmOnSafe / alarmOnUnsafe; the comms alarm has none
    Phase to;
    const char* caption;  // the alarm button's caption afterwards
};

class LatchTableTest : public testing::TestWithParam<LatchCase> {};

TEST_P(LatchTableTest, MovesBetweenArmedSoundingAndSpent)
{
    const auto& c = GetParam();
    MonitorState state;
    Enter(state, c.alarm, c.from);
    Settings settings;
    settings.alarmOnSafe = c.switchOn;
    settings.alarmOnUnsafe = c.switchOn;
    RecordingDisplay display;
    display.alarmButtonCaption = "(unchanged)";
    switch (c.event) {
        case Event::SafeVerdict:
            SafetyLatchStep(Verdict::Safe, state, settings, display);
            break;
        case Event::UnsafeVerdict:
            SafetyLatchStep(Verdict::Unsafe, state, settings, display);
            break;
        case Event::Stale:
            FeedLatchStep(Feed::Stale, state, display);
            break;
        case Event::Fresh:
            FeedLatchStep(Feed::Fresh, state, display);
            break;
    }
    EXPECT_EQ(PhaseOf(state, c.alarm), c.to);
    EXPECT_EQ(display.alarmButtonCaption, c.caption);
}

constexpr const char* kSame = "(unchanged)";

INSTANTIATE_TEST_SUITE_P(
    StateTable, LatchTableTest,
    testing::Values(
        // safe alarm
        LatchCase{Alarm::Safe, Phase::Armed, Event::SafeVerdict, true, Phase::Sounding,
                  "Cancel Safe Alarm"},
        LatchCase{Alarm::Safe, Phase::Armed, Event::SafeVerdict, false, Phase::Armed, kSame},
        LatchCase{Alarm::Safe, Phase::Sounding, Event::SafeVerdict, true, Phase::Sounding, kSame},
        LatchCase{Alarm::Safe, Phase::Spent, Event::SafeVerdict, true, Phase::Spent, kSame},
        LatchCase{Alarm::Safe, Phase::Sounding, Event::UnsafeVerdict, false, Phase::Armed, kSame},
        LatchCase{Alarm::Safe, Phase::Spent, Event::UnsafeVerdict, false, Phase::Armed, kSame},
        LatchCase{Alarm::Safe, Phase::Sounding, Event::Stale, true, Phase::Sounding,
                  "Cancel Comms Alarm"},
        // unsafe alarm
        LatchCase{Alarm::Unsafe, Phase::Armed, Event::UnsafeVerdict, true, Phase::Sounding,
                  "Cancel Unsafe Alarm"},
        LatchCase{Alarm::Unsafe, Phase::Armed, Event::UnsafeVerdict, false, Phase::Armed, kSame},
        LatchCase{Alarm::Unsafe, Phase::Sounding, Event::UnsafeVerdict, true, Phase::Sounding,
                  kSame},
        LatchCase{Alarm::Unsafe, Phase::Spent, Event::UnsafeVerdict, true, Phase::Spent, kSame},
        LatchCase{Alarm::Unsafe, Phase::Sounding, Event::SafeVerdict, false, Phase::Armed, kSame},
        LatchCase{Alarm::Unsafe, Phase::Spent, Event::SafeVerdict, false, Phase::Armed, kSame},
        LatchCase{Alarm::Unsafe, Phase::Sounding, Event::Fresh, true, Phase::Sounding, kSame},
        // comms alarm: no switch gates it
        LatchCase{Alarm::Comms, Phase::Armed, Event::Stale, false, Phase::Sounding,
                  "Cancel Comms Alarm"},
        LatchCase{Alarm::Comms, Phase::Sounding, Event::Stale, false, Phase::Sounding, kSame},
        LatchCase{Alarm::Comms, Phase::Spent, Event::Stale, false, Phase::Spent, kSame},
        LatchCase{Alarm::Comms, Phase::Sounding, Event::Fresh, false, Phase::Armed, kSame},
        LatchCase{Alarm::Comms, Phase::Spent, Event::Fresh, false, Phase::Armed, kSame},
        LatchCase{Alarm::Comms, Phase::Armed, Event::UnsafeVerdict, true, Phase::Armed,
                  "Cancel Unsafe Alarm"}));

class AnnunciateTest : public testing::Test {
protected:
    void Run() { Annunciate(state, display, alarmSound); }

    MonitorState state;
    RecordingDisplay display;
    RecordingSound sound;
    FakeFiles files;
    AlarmSound alarmSound{files, sound, "/opt/nortavi/", "/home/ann/.config/nortavi/"};
};

TEST_F(AnnunciateTest, NothingActiveDisablesTheButtonAndStaysSilent)
{
    display.alarmButtonEnabled = true;
    files.existing.insert("/opt/nortavi/alarm.wav");
    Run();
    EXPECT_FALSE(display.alarmButtonEnabled);
    EXPECT_TRUE(sound.wavesPlayed.empty());
    EXPECT_TRUE(sound.tonesPlayed.empty());
}

TEST_F(AnnunciateTest, PlaysTheWaveFileBesideTheProgramFirstThenTheUsersOwn)
{
    state.safeAlarmActive = true;
    files.existing.insert("/home/ann/.config/nortavi/alarm.wav");
    Run();
    EXPECT_TRUE(display.alarmButtonEnabled);
    EXPECT_EQ(sound.wavesPlayed, std::vector<std::string>{"/home/ann/.config/nortavi/alarm.wav"});

    files.existing.insert("/opt/nortavi/alarm.wav");
    Run();
    EXPECT_EQ(sound.wavesPlayed.back(), "/opt/nortavi/alarm.wav");
    EXPECT_TRUE(sound.tonesPlayed.empty());
}

TEST_F(AnnunciateTest, SweepsNinetyOneRisingTwentyMillisecondTonesWithoutAWaveFile)
{
    state.commsAlarmActive = true;
    Run();
    ASSERT_EQ(sound.tonesPlayed.size(), 91U);
    for (std::size_t i = 0; i < sound.tonesPlayed.size(); ++i) {
        EXPECT_EQ(sound.tonesPlayed[i], std::make_pair(100 + 10 * static_cast<int>(i), 20));
    }
    EXPECT_TRUE(sound.wavesPlayed.empty());
}

TEST(SilenceAlarmsTest, ClearsEveryActiveFlagButLeavesArmingAlone)
{
    MonitorState state;
    state.safeAlarmActive = state.unsafeAlarmActive = state.commsAlarmActive = true;
    state.safeAlarmArmed = false;
    state.unsafeAlarmArmed = true;
    state.commsAlarmArmed = false;
    RecordingDisplay display;
    display.alarmButtonEnabled = true;
    display.alarmButtonCaption = "Cancel Unsafe Alarm";
    SilenceAlarms(state, display);
    EXPECT_FALSE(state.safeAlarmActive || state.unsafeAlarmActive || state.commsAlarmActive);
    EXPECT_FALSE(state.safeAlarmArmed);
    EXPECT_TRUE(state.unsafeAlarmArmed);
    EXPECT_FALSE(state.commsAlarmArmed);
    EXPECT_FALSE(display.alarmButtonEnabled);
    EXPECT_EQ(display.alarmButtonCaption, "Cancel Alarm");
}

}  // namespace
}  // namespace nortavi
