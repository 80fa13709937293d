// SPDX-License-Identifier: MIT
#pragma once

#include "AlarmLatches.h"
#include "MonitorState.h"
#include "Ports.h"
#include "Settings.h"

#include <functional>
#include <string>
#include <vector>

namespace nortavi {

// Everything the evaluation reaches outside itself.
struct MonitorPorts {
    Clock& clock;
    StatusReader& status;
    ConfigStore& config;
    FileProbe& files;
    MainDisplay& display;
    SoundOutput& sound;
    std::string programFolder;         // ends in the platform's separator
    std::string userFolder = {};       // the user's own: a second place for alarm.wav; may be empty
    std::vector<MonitorListener*> listeners = {};  // told what each poll found and did
};

// The monitoring core: start-up, the five-second evaluation and the alarm
// button. The window and the replay tool both drive this one class, so what
// the replay tool shows is what the window does.
class Monitor {
public:
    Monitor(Settings& settings, MonitorPorts ports);

    // The window's load sequence up to and including the first poll: the
    // defaults, the initial flags and times, config.ini, the start-up status
    // read and the initial status, then `beforeFirstPoll` (where the window
    // creates its dialog and starts its timer), then the first poll.
    void StartUp(const std::function<void()>& beforeFirstPoll = {});

    // One poll: read the status, track the condition, show the minutes,
    // decide SAFE/UNSAFE, check the feed, sound any active alarm.
    void RefreshStatus();

    void AlarmButton_Click();

    // Told of each poll and of the alarm button from now on.
    void AddListener(MonitorListener& listener) { ports_.listeners.push_back(&listener); }

    const MonitorState& State() const { return state_; }

private:
    void ShowStatus(ShownStatus status);
    void ShowCondition(const std::string& caption, Colour colour);
    void ShowInitialStatus(const std::string& statusString);
    void TrackCondition(const std::string& statusString);
    std::int16_t MinutesSince(LocalTime time);
    void Report(PollReport report, const MonitorState& before);

    Settings& settings_;
    MonitorPorts ports_;
    AlarmSound alarmSound_;
    MonitorState state_;
    ShownStatus shownStatus_ = ShownStatus::Pending;
    LocalTime statusSince_{};
    std::string shownCondition_;  // as ConditionField shows it
    LocalTime conditionSince_{};
    LocalTime stampSeen_{};       // the status time stamp as last read
    LocalTime stampChangedAt_{};  // the clock when it last changed
    bool stampEverRead_ = false;
};

}  // namespace nortavi
