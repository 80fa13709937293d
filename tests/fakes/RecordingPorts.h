// SPDX-License-Identifier: MIT
#pragma once

// Stand-ins for the clock, the window and the speaker that remember what
// they were told, so that a run can be printed or checked.

#include "Ports.h"

#include <string>
#include <utility>
#include <vector>

namespace nortavi {

class ManualClock final : public Clock {
public:
    explicit ManualClock(LocalTime now) : now_(now) {}
    LocalTime Now() override { return now_; }
    void Set(LocalTime now) { now_ = now; }
    void Advance(std::chrono::seconds by) { now_ += by; }

private:
    LocalTime now_;
};

// What the main window's fields would show; starts at their design-time
// values.
class RecordingDisplay final : public MainDisplay {
public:
    std::string conditionCaption = "UNKNOWN";
    Colour conditionColour = kRed;
    std::string statusCaption = "PENDING";
    Colour statusColour = kBlack;
    std::string minsSinceClear;
    std::string minsSinceCloudy;
    std::string minsSinceVCloudy;
    std::string alarmButtonCaption = "Cancel Alarm";
    bool alarmButtonEnabled = false;

    void SetConditionCaption(const std::string& caption) override { conditionCaption = caption; }
    void SetConditionColour(Colour colour) override { conditionColour = colour; }
    void SetStatusCaption(const std::string& caption) override { statusCaption = caption; }
    void SetStatusColour(Colour colour) override { statusColour = colour; }
    void SetMinsSinceClearText(const std::string& text) override { minsSinceClear = text; }
    void SetMinsSinceCloudyText(const std::string& text) override { minsSinceCloudy = text; }
    void SetMinsSinceVCloudyText(const std::string& text) override { minsSinceVCloudy = text; }
    void SetAlarmButtonCaption(const std::string& caption) override { alarmButtonCaption = caption; }
    void SetAlarmButtonEnabled(bool enabled) override { alarmButtonEnabled = enabled; }
};

class RecordingSound final : public SoundOutput {
public:
    std::vector<std::string> wavesPlayed;
    std::vector<std::pair<int, int>> tonesPlayed;  // frequency Hz, duration ms

    void PlayWaveAsync(const std::string& path) override { wavesPlayed.push_back(path); }
    void PlayTone(int frequencyHz, int durationMs) override
    {
        tonesPlayed.emplace_back(frequencyHz, durationMs);
    }
    void Clear()
    {
        wavesPlayed.clear();
        tonesPlayed.clear();
    }
};

}  // namespace nortavi
