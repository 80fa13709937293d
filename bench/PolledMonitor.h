// SPDX-License-Identifier: MIT
#pragma once

// The monitor as the window drives it, over a real status file in a fresh
// folder, with a hand-set clock; its sound and settings go nowhere, so what
// a poll costs is the program's own.
#include "FileSystem.h"
#include "Monitor.h"
#include "RecordingPorts.h"
#include "StatusFile.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace nortavi {

class SilentSound final : public SoundOutput {
public:
    void PlayWaveAsync(const std::string&) override {}
    void PlayTone(int, int) override {}
};

class NoConfig final : public ConfigStore {
public:
    void LoadConfig(Settings&) override {}
    bool SaveConfig(const Settings&) override { return true; }
};

struct PolledMonitor {
    explicit PolledMonitor(const std::string& name)
    {
        folder = std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        statusPath = (folder / "status.txt").string();
        std::ofstream(statusPath, std::ios::binary) << "12/7/2026 21:00:00,CLEAR\r\n";
        monitor.StartUp();
        settings.statusPath = statusPath;
    }
    PolledMonitor(const PolledMonitor&) = delete;
    PolledMonitor& operator=(const PolledMonitor&) = delete;
    ~PolledMonitor() { std::filesystem::remove_all(folder); }

    std::filesystem::path folder;
    std::string statusPath;
    Settings settings;
    ManualClock clock{*MakeLocalTime(2026, 12, 7, 21, 0, 0)};
    StatusFile statusFile;
    NoConfig config;
    DiskFileProbe files;
    RecordingDisplay display;
    SilentSound sound;
    // No program folder: no alarm.wav and no config.ini to find.
    Monitor monitor{settings, MonitorPorts{clock, statusFile, config, files, display, sound,
                                           (std::filesystem::path("/nonexistent") / "").string()}};
};

}  // namespace nortavi
