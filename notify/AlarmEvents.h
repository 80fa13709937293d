// SPDX-License-Identifier: MIT
#pragma once

#include "Message.h"
#include "PollReport.h"
#include "Settings.h"

#include <array>
#include <atomic>
#include <memory>
#include <optional>
#include <vector>

namespace nortavi::notify {

// What the polls and the alarm button send, by the settings' choice of
// events: a message as each alarm is raised, again every repeatMinutes
// while it stays up and uncancelled, the feed coming back after it was
// lost, and alarms cancelled. Runs on the window's thread.
class AlarmEvents {
public:
    std::vector<Message> PollEnded(const PollReport& report, const NotifySettings& settings);
    std::vector<Message> AlarmsCancelled(LocalTime at, Alarms silenced,
                                         const NotifySettings& settings);

    const std::optional<PollReport>& LastReport() const { return last_; }

private:
    struct Alarm {
        std::shared_ptr<std::atomic<bool>> up;
        LocalTime lastSent;
    };
    enum Which { kUnsafe, kComms, kSafe };

    void End(Which which);

    std::array<std::optional<Alarm>, 3> alarms_;
    std::optional<PollReport> last_;
    bool feedLost_ = false;  // since the feed was last fresh
};

}  // namespace nortavi::notify
