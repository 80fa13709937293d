// SPDX-License-Identifier: MIT
#pragma once

#include "LocalTime.h"
#include "Ports.h"
#include "ProcessUse.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <string>

namespace nortavi {

// A night at the telescope, sped up, the same for every front end: the
// sensor's software rewrites the status file in spells long enough to turn
// the status SAFE and UNSAFE, stops writing, loses the file, writes lines
// that are not status lines; the user presses the alarm button now and then.
// One cycle is 480 polls (40 minutes at one poll per 5 s).
class LongNight {
public:
    static constexpr std::chrono::seconds kPollInterval{5};

    // What the sensor does to the status file before a poll.
    struct SensorStep {
        enum class Action { Write, Keep, Remove } action;
        std::string bytes;  // for Write
    };

    // The polls of the night: NORTAVI_LONG_NIGHT_POLLS when set (the
    // benchmark's 100,000), else `fallback`.
    static long Polls(long fallback)
    {
        const char* told = std::getenv("NORTAVI_LONG_NIGHT_POLLS");
        const long polls = told != nullptr ? std::strtol(told, nullptr, 10) : 0;
        return polls > 0 ? polls : fallback;
    }

    // The sensor's step for the poll about to run at `now`.
    SensorStep Next(LocalTime now)
    {
        struct Spell {
            SensorStep::Action action;
            const char* condition;  // the status line's word, or the whole line
            bool wholeLine;
            int polls;
        };
        using A = SensorStep::Action;
        static constexpr Spell kCycle[] = {
            {A::Write, "CLEAR", false, 228},    // 19 min without a bad reading: SAFE
            {A::Write, "CLOUDY", false, 72},    // 6 min without a good one: UNSAFE
            {A::Keep, "", false, 40},           // the sensor stops: stale after 151 s
            {A::Write, "V.CLOUDY", false, 36},  // back, still bad
            {A::Remove, "", false, 36},         // the file is gone
            {A::Write, "clear", false, 12},     // a word that is no condition, fresh stamp
            {A::Write, "half a line", true, 36},  // no time stamp at all: stale again
            {A::Write, "CLEAR", false, 12},
            {A::Write, "CLOUDY", false, 8},
        };
        if (pollInSpell_ == kCycle[spell_].polls) {
            pollInSpell_ = 0;
            spell_ = (spell_ + 1) % std::size(kCycle);
        }
        ++pollInSpell_;
        const Spell& current = kCycle[spell_];
        if (current.action != A::Write) {
            return {current.action, {}};
        }
        const std::string line =
            current.wholeLine ? current.condition : FormatLocalTime(now) + "," + current.condition;
        return {A::Write, line + "\r\n"};
    }

    // Whether the user presses the alarm button after this poll: now and
    // then while it is enabled, so that some alarms are silenced by hand and
    // others by the opposite event.
    bool PressAlarmButton(bool enabled)
    {
        const bool press = enabled && random_() % 6 == 0;
        presses += press ? 1 : 0;
        return press;
    }

    // What the window showed after a poll.
    void Saw(const std::string& status, const std::string& alarmCaption, bool alarmEnabled)
    {
        ++statusPolls[status];
        if (alarmEnabled && (!alarmWasEnabled_ || alarmCaption != lastAlarmCaption_)) {
            ++alarmsRaised[alarmCaption];
        }
        alarmWasEnabled_ = alarmEnabled;
        lastAlarmCaption_ = alarmCaption;
    }

    std::map<std::string, long> statusPolls;   // polls after which the status read so
    std::map<std::string, long> alarmsRaised;  // by the button's caption
    long presses = 0;

private:
    std::size_t spell_ = 0;
    int pollInSpell_ = 0;
    std::minstd_rand random_{20261207};  // fully specified: the same presses everywhere
    bool alarmWasEnabled_ = false;
    std::string lastAlarmCaption_;
};

// The night's speaker: counts what it is told and stays silent, so that a
// sweep does not hold each poll for 1.8 s, and keeps no record that grows.
class CountingSound final : public SoundOutput {
public:
    void PlayWaveAsync(const std::string&) override { ++waves; }
    void PlayTone(int, int) override { ++tones; }
    long waves = 0;
    long tones = 0;
};

// The night's polls, measured: what the process holds after a warm-up
// (the first polls fill caches, font and thread pools) and after the rest.
struct MeasuredPolls {
    long polls = 0;
    double seconds = 0;
    ProcessUse atStart;
    ProcessUse atEnd;
};

template <typename Poll>
MeasuredPolls MeasurePolls(Poll poll, long warmUpPolls, long ciPolls)
{
    for (long i = 0; i < warmUpPolls; ++i) {
        poll();
    }
    MeasuredPolls measured;
    measured.atStart = MeasureProcessUse();
    const auto started = std::chrono::steady_clock::now();
    measured.polls = LongNight::Polls(ciPolls);
    for (long i = 0; i < measured.polls; ++i) {
        poll();
    }
    measured.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    measured.atEnd = MeasureProcessUse();
    return measured;
}

// Prints what the night brought and checks it did what it was meant to:
// every status, every alarm, the button pressed and the alarm sounding.
inline void ExpectAWholeNight(LongNight& night, const CountingSound& sound)
{
    std::printf("  status after each poll: SAFE %ld, UNSAFE %ld, UNKNOWN %ld; alarms raised: "
                "safe %ld, unsafe %ld, comms %ld; button pressed %ld times; %ld tones\n",
                night.statusPolls["SAFE"], night.statusPolls["UNSAFE"],
                night.statusPolls["UNKNOWN"], night.alarmsRaised["Cancel Safe Alarm"],
                night.alarmsRaised["Cancel Unsafe Alarm"], night.alarmsRaised["Cancel Comms Alarm"],
                night.presses, sound.tones);
    EXPECT_GT(night.statusPolls["SAFE"], 0);
    EXPECT_GT(night.statusPolls["UNSAFE"], 0);
    EXPECT_GT(night.statusPolls["UNKNOWN"], 0);
    EXPECT_GT(night.alarmsRaised["Cancel Safe Alarm"], 0);
    EXPECT_GT(night.alarmsRaised["Cancel Unsafe Alarm"], 0);
    EXPECT_GT(night.alarmsRaised["Cancel Comms Alarm"], 0);
    EXPECT_GT(night.presses, 0);
    EXPECT_GT(sound.tones, 0);
}

}  // namespace nortavi
