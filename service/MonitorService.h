// SPDX-License-Identifier: MIT
#pragma once

#include "AlpacaPublisher.h"
#include "ChartDrawing.h"
#include "ConfigFile.h"
#include "FileSystem.h"
#include "Monitor.h"
#include "NightLogListener.h"
#include "Notifier.h"
#include "Ports.h"
#include "Settings.h"
#include "StatusFile.h"
#include "StatusPages.h"
#include "TestMessage.h"
#include "TimeStampParser.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace nortavi {

// The monitoring core on the real status file and config.ini, with what
// acts on its polls beyond the window: the network publication (with the
// status page beside it), the night log and the notifications. The main
// window, the headless monitor and the replay tool each run one, and show
// what it shows in their own way (a MainDisplay).
class MonitorService {
public:
    // `folders` say where config.ini and alarm.wav are; `timeStampFormat`
    // is how the system writes a date and time; a status read that has not
    // ended after `readLimit` counts as none; `notify` is how messages are
    // sent and where their problems are logged.
    MonitorService(Settings& settings, Clock& clock, SoundOutput& sound, MainDisplay& display,
                   ProgramFolders folders, TimeStampFormat timeStampFormat,
                   std::chrono::milliseconds readLimit = kStatusReadLimit,
                   notify::NotifierOptions notify = {});
    MonitorService(const MonitorService&) = delete;
    MonitorService& operator=(const MonitorService&) = delete;
    ~MonitorService();

    // The load sequence up to and including the first poll (see Monitor).
    void StartUp(const std::function<void()>& beforeFirstPoll = {});
    void RefreshStatus() { monitor_.RefreshStatus(); }
    void AlarmButton_Click() { monitor_.AlarmButton_Click(); }

    // Brings the network publication and the notifications in line with
    // the settings, making the unique id the first time the publication is
    // turned on. What went wrong comes back to be told. `madeUniqueId`, when
    // given, says whether the id was made now: config.ini does not hold it
    // yet, and clients that know the device by it lose it if the program
    // ends before the next save.
    std::optional<std::string> ApplySettings(bool* madeUniqueId = nullptr);

    // The notification routes that deliver nothing now, and since when.
    std::vector<notify::RouteTrouble> NotifyTrouble() const { return notifier_.Trouble(); }

    // A test message through the routes these settings set, with what the
    // last poll showed.
    std::unique_ptr<notify::TestMessage> SendTestMessage(const NotifySettings& settings) const;

    // Whether the setup dialog may take this port: free now, or the one
    // being served.
    std::function<bool(std::uint16_t port, bool allowRemote)> PortCheck();

    // Writes config.ini; false when it could not be written.
    bool SaveConfig() { return configFile_.SaveConfig(settings_); }
    std::string ConfigPath() const { return configFile_.Path(); }
    // config.ini read again, strictly; the running settings stay as they are.
    std::variant<Settings, ConfigProblem> ReadConfigAgain() { return configFile_.ReloadConfig(); }

    // The system's date and time format changed.
    void SetTimeStampFormat(TimeStampFormat format) { statusFile_.SetTimeStampFormat(std::move(format)); }

    // Told of each poll and of the alarm button, after those built in.
    void AddListener(MonitorListener& listener);

    // The program is ending: the night log's last line says so. Also done
    // when this is destroyed.
    void ProgramEnding();
    // Told once, on the polls' thread, should the night log turn off (a
    // full disk, a folder that cannot be written); the alarms go on.
    void SetNightLogWarning(NightLogListener::Warning warning)
    {
        nightLog_.SetWarning(std::move(warning));
    }
    // How far local time is ahead of UTC now; the system's unless set
    // (before the first poll).
    void SetUtcOffset(NightLogListener::UtcOffset utcOffset)
    {
        nightLog_.SetUtcOffset(std::move(utcOffset));
    }
    // The last twelve hours up to the latest poll, as data and laid out in
    // `width` x `height` logical pixels with its legend, for a window. From
    // any thread.
    history::NightChart NightChart() const { return nightLog_.Chart(); }
    history::ChartDrawing NightChartDrawing(double width, double height) const;
    const NightLogListener& NightLog() const { return nightLog_; }

    const MonitorState& State() const { return monitor_.State(); }
    const ProgramFolders& Folders() const { return folders_; }

private:
    Settings& settings_;
    Clock& clock_;
    ProgramFolders folders_;
    StatusFile statusFile_;
    ConfigFile configFile_;
    DiskFileProbe fileProbe_;
    // Before the publication: its server's thread reads them until it stops.
    NightLogListener nightLog_;
    StatusPages pages_;
    alpaca::AlpacaPublisher publisher_;
    notify::Notifier notifier_;
    Monitor monitor_;
};

}  // namespace nortavi
