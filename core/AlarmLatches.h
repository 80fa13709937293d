// SPDX-License-Identifier: MIT
#pragma once

#include "MonitorState.h"
#include "Ports.h"
#include "Settings.h"

#include <string>

namespace nortavi {

enum class Verdict { Safe, Unsafe };
enum class Feed { Fresh, Stale };

// Each alarm fires once per transition: raising it disarms it, and only the
// opposite verdict arms it again.
void SafetyLatchStep(Verdict verdict, MonitorState& state, const Settings& settings,
                     MainDisplay& display);
void FeedLatchStep(Feed feed, MonitorState& state, MainDisplay& display);

// Where the alarm sound comes from: alarm.wav in the program's folder, else
// in the user's own folder, or the beep sweep when there is none.
struct AlarmSound {
    FileProbe& files;
    SoundOutput& sound;
    std::string programFolder;  // ends in the platform's separator
    std::string userFolder = {};  // likewise; empty for none
};

// Ends every poll: while any alarm is active the button is enabled and the
// alarm sounds; otherwise the button is disabled.
void Annunciate(const MonitorState& state, MainDisplay& display, AlarmSound& alarmSound);

// The alarm button: silences all three alarms, leaving them disarmed.
void SilenceAlarms(MonitorState& state, MainDisplay& display);

inline constexpr int kSweepFirstHz = 100;
inline constexpr int kSweepLastHz = 1000;
inline constexpr int kSweepStepHz = 10;
inline constexpr int kSweepToneMs = 20;

}  // namespace nortavi
