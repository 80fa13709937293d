// SPDX-License-Identifier: MIT
#pragma once

#include "FileSystem.h"
#include "Journal.h"
#include "MonitorService.h"
#include "Ports.h"
#include "ServiceNotifier.h"
#include "Settings.h"
#include "SignalPipe.h"
#include "StateChanges.h"
#include "SystemClock.h"
#include "TimeStampFormat.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nortavi::headless {

// The monitoring service without a window: polls on a timer of its own,
// says each change in a line of the journal, reads the settings file again
// when asked, and ends when asked. There is no alarm button, so an alarm
// stays up until the opposite event.
class HeadlessMonitor final {
public:
    HeadlessMonitor(ProgramFolders folders, TimeStampFormat format, Journal& journal,
                    ServiceNotifier& manager);
    HeadlessMonitor(const HeadlessMonitor&) = delete;
    HeadlessMonitor& operator=(const HeadlessMonitor&) = delete;
    ~HeadlessMonitor();

    // Starts, then runs until SIGTERM or SIGINT come through `signals`,
    // which also bring SIGHUP. The exit code.
    int Run(platform::SignalPipe& signals);

private:
    void Start();
    void Reload();
    // Brings what acts on the polls beyond this process in line with the
    // settings: the network publication and the notifications, both the
    // service's. `fileHoldsId`: the settings file holds the unique id in
    // use, which is otherwise saved there now, unless the file does not
    // read (`fileReads`).
    void ApplySettings(bool fileHoldsId, bool fileReads);
    void SayChanges(const StateChangeBatch& batch);
    void SayNotifyTrouble();
    std::string SettingsSummary() const;

    Journal& journal_;
    ServiceNotifier& manager_;
    Settings settings_;
    platform::SystemClock clock_;
    std::unique_ptr<SoundOutput> sound_;
    NoDisplay display_;  // without a window, nothing to draw
    MonitorService service_;
    StateChanges changes_;
    std::vector<std::string> failing_;  // the notification routes failing at the last poll
};

}  // namespace nortavi::headless
