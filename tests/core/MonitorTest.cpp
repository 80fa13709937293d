// SPDX-License-Identifier: MIT
#include "Monitor.h"

#include "CoreFakes.h"
#include "RecordingPorts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace nortavi {
namespace {

using std::chrono::minutes;
using std::chrono::seconds;

const LocalTime kStart = *MakeLocalTime(2026, 12, 7, 21, 0, 0);
const std::string kFolder = "/opt/nortavi/";

class MonitorTest : public testing::Test {
protected:
    void Start()
    {
        monitor.StartUp([this] {
            atFirstPoll = monitor.State();
            statusBeforeFirstPoll = display.statusCaption;
        });
    }

    // One poll at `now` reading `word` stamped `stamp`.
    void PollReading(LocalTime now, const std::string& word, LocalTime stamp)
    {
        clock.Set(now);
        status.Read(word, stamp);
        sound.Clear();
        monitor.RefreshStatus();
    }

    // A fresh feed that names no condition: the condition times stand still.
    void PollFresh(LocalTime now) { PollReading(now, "OTHER", now); }

    Settings settings;
    ManualClock clock{kStart};
    ScriptedStatus status;
    FakeConfig config;
    FakeFiles files;
    RecordingDisplay display;
    RecordingSound sound;
    RecordingListener listener;
    Monitor monitor{settings,
                    MonitorPorts{clock, status, config, files, display, sound, kFolder, {}, {&listener}}};
    MonitorState atFirstPoll;
    std::string statusBeforeFirstPoll;
};

TEST_F(MonitorTest, FirstStartWithNothingConfiguredRaisesTheCommsAlarm)
{
    Start();
    EXPECT_EQ(settings, DefaultSettings(kFolder));
    EXPECT_EQ(display.conditionCaption, "UNKNOWN");
    EXPECT_EQ(display.statusCaption, "UNKNOWN");
    EXPECT_EQ(display.minsSinceClear, "0");
    EXPECT_TRUE(display.alarmButtonEnabled);
    EXPECT_EQ(display.alarmButtonCaption, "Cancel Comms Alarm");
    EXPECT_EQ(sound.tonesPlayed.size(), 91U);
}

TEST_F(MonitorTest, StartUpReadsConfigBeforeTheStatusAndResetsEarlierState)
{
    Settings stored = DefaultSettings(kFolder);
    stored.statusPath = "/sensor/status.txt";
    stored.cloudyAsClear = true;
    config.stored = stored;
    status.Read("CLOUDY", kStart);
    settings.timeToSafe = 99;  // left over from before: the defaults replace it

    Start();
    EXPECT_EQ(settings, stored);
    EXPECT_EQ(statusBeforeFirstPoll, "SAFE");
    EXPECT_FALSE(atFirstPoll.safeAlarmArmed);
    EXPECT_TRUE(atFirstPoll.unsafeAlarmArmed);
}

struct InitialStatusCase {
    std::string word;
    bool cloudyAsClear;
    std::string caption;  // before the first poll
    bool safeArmed;
    bool unsafeArmed;
};

class InitialStatusTest : public MonitorTest, public testing::WithParamInterface<InitialStatusCase> {};

TEST_P(InitialStatusTest, TheReadingFoundAtStartSpendsItsOwnAlarm)
{
    const auto& c = GetParam();
    Settings stored = DefaultSettings(kFolder);
    stored.cloudyAsClear = c.cloudyAsClear;
    config.stored = stored;
    status.Read(c.word, kStart);
    Start();
    EXPECT_EQ(statusBeforeFirstPoll, c.caption);
    EXPECT_EQ(atFirstPoll.safeAlarmArmed, c.safeArmed);
    EXPECT_EQ(atFirstPoll.unsafeAlarmArmed, c.unsafeArmed);
    EXPECT_TRUE(atFirstPoll.commsAlarmArmed);
    EXPECT_EQ(atFirstPoll.lastClearTime, kStart);
    EXPECT_EQ(atFirstPoll.lastStatusTime, kStart);
}

INSTANTIATE_TEST_SUITE_P(
    Words, InitialStatusTest,
    testing::Values(InitialStatusCase{"V.CLOUDY", false, "UNSAFE", true, false},
                    InitialStatusCase{"V.CLOUDY", true, "UNSAFE", true, false},
                    InitialStatusCase{"CLOUDY", false, "UNSAFE", true, false},
                    InitialStatusCase{"CLOUDY", true, "SAFE", false, true},
                    InitialStatusCase{"CLEAR", false, "SAFE", false, true},
                    InitialStatusCase{"clear", false, "PENDING", true, true},
                    InitialStatusCase{"", false, "PENDING", true, true}));

// The condition readings of the last hour, and the verdict of a poll now.
struct VerdictCase {
    const char* name;
    bool cloudyAsClear;
    int clearAgo;  // minutes before now of the last reading; 60 = not since start
    int cloudyAgo;
    int vcloudyAgo;
    std::int16_t timeToSafe;
    std::int16_t timeToUnsafe;
    const char* verdict;  // "SAFE", "UNSAFE", or "" for no verdict
};

class VerdictTest : public MonitorTest, public testing::WithParamInterface<VerdictCase> {};

TEST_P(VerdictTest, FoldsConditionsIntoGoodAndBadWithHysteresis)
{
    const auto& c = GetParam();
    const LocalTime now = kStart + minutes{60};
    Start();
    settings.cloudyAsClear = c.cloudyAsClear;
    settings.timeToSafe = c.timeToSafe;
    settings.timeToUnsafe = c.timeToUnsafe;
    std::vector<std::pair<int, std::string>> readings{
        {c.clearAgo, "CLEAR"}, {c.cloudyAgo, "CLOUDY"}, {c.vcloudyAgo, "V.CLOUDY"}};
    std::sort(readings.begin(), readings.end(), std::greater<>());
    for (const auto& [ago, word] : readings) {
        if (ago < 60) {
            PollReading(now - minutes{ago}, word, now - minutes{ago});
        }
    }
    display.SetStatusCaption("(before)");
    PollFresh(now);
    EXPECT_EQ(display.statusCaption, *c.verdict ? c.verdict : "(before)");
}

INSTANTIATE_TEST_SUITE_P(
    Table, VerdictTest,
    testing::Values(
        VerdictCase{"ClearNowIsSafeAfterQuietBadTime", false, 0, 60, 20, 15, 5, "SAFE"},
        VerdictCase{"BadTooRecentForSafe", false, 0, 60, 10, 15, 5, ""},
        VerdictCase{"NoGoodForUnsafeTimeIsUnsafe", false, 5, 60, 0, 15, 5, "UNSAFE"},
        VerdictCase{"GoodJustUnderUnsafeTime", false, 4, 60, 0, 15, 5, ""},
        VerdictCase{"CloudyCountsAsBad", false, 0, 3, 60, 15, 5, ""},
        VerdictCase{"CloudyCountsAsGood", true, 60, 0, 20, 15, 5, "SAFE"},
        VerdictCase{"CloudyAsGoodStillUnsafeOnVCloudy", true, 30, 30, 0, 15, 5, "UNSAFE"},
        VerdictCase{"UnsafeWinsWhenBothHold", false, 20, 60, 20, 15, 5, "UNSAFE"},
        VerdictCase{"UnsafeAtZeroWhateverTheSky", false, 0, 60, 60, 15, 0, "UNSAFE"},
        VerdictCase{"SafeAtZeroWhenNotUnsafe", false, 0, 60, 0, 0, 5, "SAFE"},
        VerdictCase{"NegativeThresholds", false, 0, 0, 0, -1, -1, "UNSAFE"},
        VerdictCase{"HugeThresholdsNeverDecide", false, 60, 60, 60, 32767, 32767, ""}),
    [](const auto& testCase) { return testCase.param.name; });

struct FeedCase {
    int ageSeconds;
    bool stale;
};

class FeedAgeTest : public MonitorTest, public testing::WithParamInterface<FeedCase> {};

TEST_P(FeedAgeTest, StaleFromHundredFiftyOneSeconds)
{
    const auto [age, stale] = GetParam();
    Start();
    const LocalTime now = kStart + minutes{10};
    PollReading(now, "CLEAR", now - seconds{age});
    EXPECT_EQ(display.conditionCaption, stale ? "UNKNOWN" : "CLEAR");
    EXPECT_EQ(monitor.State().commsAlarmActive, stale);
    EXPECT_EQ(display.alarmButtonEnabled, stale);
}

INSTANTIATE_TEST_SUITE_P(Ages, FeedAgeTest,
                         testing::Values(FeedCase{0, false}, FeedCase{150, false},
                                         FeedCase{151, true}, FeedCase{600, true},
                                         FeedCase{-3600, false}));

TEST_F(MonitorTest, FutureStampsGiveNegativeMinutesAndAFreshFeed)
{
    Start();
    PollReading(kStart, "CLEAR", kStart + minutes{10});
    EXPECT_EQ(display.minsSinceClear, "-10");
    EXPECT_EQ(display.minsSinceCloudy, "0");
    EXPECT_EQ(display.conditionCaption, "CLEAR");
}

TEST_F(MonitorTest, ConditionsNotSeenForWeeksSaturateInsteadOfOverflowing)
{
    Start();
    PollFresh(kStart + std::chrono::days{30});
    EXPECT_EQ(display.minsSinceClear, "32767");
    EXPECT_EQ(display.statusCaption, "UNSAFE");
}

TEST_F(MonitorTest, RecoveredFeedKeepsUnknownUntilSomethingOverwritesIt)
{
    Start();  // stale: no status file yet
    ASSERT_EQ(display.statusCaption, "UNKNOWN");
    PollFresh(kStart + seconds{5});  // fresh, no word, no verdict (in the band)
    EXPECT_EQ(display.conditionCaption, "UNKNOWN");
    EXPECT_EQ(display.statusCaption, "UNKNOWN");
    EXPECT_FALSE(monitor.State().commsAlarmActive);
    EXPECT_TRUE(monitor.State().commsAlarmArmed);
}

TEST_F(MonitorTest, SettingsChangedBetweenPollsTakeEffectAtTheNextPoll)
{
    Start();
    PollFresh(kStart + minutes{3});
    EXPECT_EQ(display.statusCaption, "UNKNOWN");  // in the band: no verdict yet
    settings.timeToUnsafe = 2;
    PollFresh(kStart + minutes{3});
    EXPECT_EQ(display.statusCaption, "UNSAFE");
}

TEST_F(MonitorTest, AlarmButtonSilencesEverythingUntilTheOppositeVerdict)
{
    Start();
    monitor.AlarmButton_Click();
    EXPECT_FALSE(display.alarmButtonEnabled);
    EXPECT_EQ(display.alarmButtonCaption, "Cancel Alarm");
    PollFresh(kStart + seconds{5});  // feed back: comms re-armed, nothing sounds
    EXPECT_TRUE(sound.tonesPlayed.empty());
    PollFresh(kStart + minutes{5});  // no CLEAR for 5 minutes: UNSAFE raises its alarm
    EXPECT_TRUE(monitor.State().unsafeAlarmActive);
    monitor.AlarmButton_Click();
    PollFresh(kStart + minutes{6});
    EXPECT_FALSE(display.alarmButtonEnabled);
    EXPECT_TRUE(sound.tonesPlayed.empty());
}

TEST_F(MonitorTest, EachPollReportsWhatItShowsSinceWhenAndWhichAlarmsItRaised)
{
    Start();  // no status file: stale from the first poll
    ASSERT_EQ(listener.reports.size(), 1U);
    PollReport first = listener.reports.back();
    EXPECT_EQ(first.read, StatusRead::NoFile);
    EXPECT_EQ(first.condition, "UNKNOWN");
    EXPECT_EQ(first.status, ShownStatus::Unknown);
    EXPECT_FALSE(first.feedFresh);
    EXPECT_FALSE(first.stampEverRead);
    EXPECT_EQ(first.raised, (Alarms{false, false, true}));

    const LocalTime clearAt = kStart + seconds(5);
    PollReading(clearAt, "CLEAR", clearAt);
    const PollReport clear = listener.reports.back();
    EXPECT_EQ(clear.read, StatusRead::Read);
    EXPECT_EQ(clear.condition, "CLEAR");
    EXPECT_EQ(clear.conditionSince, clearAt);
    EXPECT_TRUE(clear.feedFresh);
    EXPECT_TRUE(clear.stampEverRead);
    EXPECT_EQ(clear.status, ShownStatus::Unknown) << "no verdict yet";
    EXPECT_EQ(clear.active, Alarms{}) << "the fresh feed silenced the comms alarm";

    // Ten minutes later the sky has closed: UNSAFE, as the clock saw it.
    const LocalTime vcloudyAt = kStart + minutes(10);
    PollReading(vcloudyAt - minutes(1), "V.CLOUDY", vcloudyAt - minutes(1));
    PollReading(vcloudyAt, "V.CLOUDY", vcloudyAt);
    const PollReport unsafe = listener.reports.back();
    EXPECT_EQ(unsafe.condition, "V.CLOUDY");
    EXPECT_EQ(unsafe.conditionSince, vcloudyAt - minutes(1)) << "since the first reading of it";
    EXPECT_EQ(unsafe.status, ShownStatus::Unsafe);
    EXPECT_EQ(unsafe.statusSince, vcloudyAt - minutes(1));
    EXPECT_EQ(unsafe.minsSinceClear, 10);
    EXPECT_EQ(listener.reports.end()[-2].raised, (Alarms{false, true, false}));
    EXPECT_EQ(unsafe.raised, Alarms{}) << "raised once";
    EXPECT_TRUE(unsafe.active.unsafe);

    monitor.AlarmButton_Click();
    monitor.AlarmButton_Click();  // nothing left to silence: not told again
    ASSERT_EQ(listener.cancels.size(), 1U);
    EXPECT_EQ(listener.cancels[0].first, vcloudyAt);
    EXPECT_EQ(listener.cancels[0].second, (Alarms{false, true, false}));

    status.outcome = ScriptedStatus::Outcome::Failed;
    monitor.RefreshStatus();
    EXPECT_EQ(listener.reports.back().read, StatusRead::Unreadable);
}

}  // namespace
}  // namespace nortavi
