// SPDX-License-Identifier: MIT
#pragma once

// The small interfaces through which the evaluation reaches the clock, the
// files, the window and the sound. The window, the replay tool and the tests
// each plug in their own.

#include "Colours.h"
#include "LocalTime.h"
#include "PollReport.h"
#include "Settings.h"

#include <string>

namespace nortavi {

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime Now() = 0;
};

class StatusReader {
public:
    virtual ~StatusReader() = default;
    // Fills statusString with the condition word of the file at statusPath,
    // or empties it when the read fails; leaves it alone when no file is
    // there. lastStatusTime changes only on a successful read. Says which.
    virtual StatusRead LoadStatus(const std::string& statusPath, std::string& statusString,
                                  LocalTime& lastStatusTime) = 0;
};

class ConfigStore {
public:
    virtual ~ConfigStore() = default;
    // Overwrites each setting it can read; keeps the others.
    virtual void LoadConfig(Settings& settings) = 0;
    // Returns false when the file could not be written; the old file then
    // stays as it was.
    virtual bool SaveConfig(const Settings& settings) = 0;
};

class FileProbe {
public:
    virtual ~FileProbe() = default;
    // True when the path names an existing entry that is not a folder.
    virtual bool FileExists(const std::string& fileName) = 0;
};

// The only window operations the evaluation needs; it reads nothing back.
class MainDisplay {
public:
    virtual ~MainDisplay() = default;
    virtual void SetConditionCaption(const std::string& caption) = 0;
    virtual void SetConditionColour(Colour colour) = 0;
    virtual void SetStatusCaption(const std::string& caption) = 0;
    virtual void SetStatusColour(Colour colour) = 0;
    virtual void SetMinsSinceClearText(const std::string& text) = 0;
    virtual void SetMinsSinceCloudyText(const std::string& text) = 0;
    virtual void SetMinsSinceVCloudyText(const std::string& text) = 0;
    virtual void SetAlarmButtonCaption(const std::string& caption) = 0;
    virtual void SetAlarmButtonEnabled(bool enabled) = 0;
};

// A main window that shows nothing: the headless monitor's, and the tests'
// of what sounds.
class NoDisplay final : public MainDisplay {
public:
    void SetConditionCaption(const std::string&) override {}
    void SetConditionColour(Colour) override {}
    void SetStatusCaption(const std::string&) override {}
    void SetStatusColour(Colour) override {}
    void SetMinsSinceClearText(const std::string&) override {}
    void SetMinsSinceCloudyText(const std::string&) override {}
    void SetMinsSinceVCloudyText(const std::string&) override {}
    void SetAlarmButtonCaption(const std::string&) override {}
    void SetAlarmButtonEnabled(bool) override {}
};

class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    // Starts the wave file and returns at once; a new call replaces a sound
    // still playing. Failures are silent.
    virtual void PlayWaveAsync(const std::string& path) = 0;
    // Sounds one tone and returns when it has ended.
    virtual void PlayTone(int frequencyHz, int durationMs) = 0;
};

}  // namespace nortavi
