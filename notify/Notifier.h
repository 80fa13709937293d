// SPDX-License-Identifier: MIT
#pragma once

#include "AlarmEvents.h"
#include "PollReport.h"
#include "RouteWorker.h"
#include "Routes.h"
#include "Settings.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace nortavi::notify {

// A route that has delivered nothing since its first message not delivered.
struct RouteTrouble {
    std::string route;  // "ntfy"
    LocalTime since;
};

// Sends the alarms to the routes set, each route on a thread of its own.
// Told of each poll and of the alarm button on the window's thread; returns
// at once. Routes with nothing set have no thread and send nothing.
class Notifier final : public MonitorListener {
public:
    // Reads `settings` at each poll, so that a change reaches the routes by
    // the next one at the latest.
    explicit Notifier(const NotifySettings& settings, NotifierOptions options = {});
    Notifier(const Notifier&) = delete;
    Notifier& operator=(const Notifier&) = delete;
    // Messages already due get the closing grace to go.
    ~Notifier() override;

    // The settings changed: the routes follow them now.
    void Apply();

    void PollEnded(const PollReport& report) override;
    void AlarmsCancelled(LocalTime at, Alarms silenced) override;

    // The routes failing now, in their order.
    std::vector<RouteTrouble> Trouble() const;

    const NotifierOptions& Options() const { return options_; }
    // What the last poll showed; none before the first.
    const std::optional<PollReport>& LastReport() const { return events_.LastReport(); }

private:
    void Send(std::vector<Message> messages);

    const NotifySettings& settings_;
    NotifySettings applied_;
    NotifierOptions options_;
    AlarmEvents events_;
    std::array<std::unique_ptr<RouteWorker>, kRoutes.size()> workers_;
    // Routes turned off, ending on their own threads: the window's thread
    // never waits for a request to give up.
    std::vector<std::unique_ptr<RouteWorker>> retired_;
};

}  // namespace nortavi::notify
