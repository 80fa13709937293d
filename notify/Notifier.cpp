// SPDX-License-Identifier: MIT
#include "Notifier.h"

#include <thread>

namespace nortavi::notify {

Notifier::Notifier(const NotifySettings& settings, NotifierOptions options)
    : settings_(settings), options_(std::move(options))
{
    Apply();
}

Notifier::~Notifier()
{
    // All at once, so the grace is spent once, not once per route.
    std::vector<std::thread> stopping;
    for (auto& worker : workers_) {
        if (worker != nullptr) {
            stopping.emplace_back([&worker, grace = options_.closingGrace] {
                worker->Stop(grace, "Nortavi is closing");
            });
        }
    }
    for (std::thread& thread : stopping) {
        thread.join();
    }
}

void Notifier::Apply()
{
    applied_ = settings_;
    std::erase_if(retired_, [](const auto& worker) { return worker->Ended(); });
    for (std::size_t i = 0; i < kRoutes.size(); ++i) {
        auto& worker = workers_[i];
        if (!RouteSet(kRoutes[i], applied_)) {
            if (worker != nullptr) {  // what it held goes with it
                worker->StopSoon("its route was turned off");
                retired_.push_back(std::move(worker));
            }
        } else if (worker == nullptr) {
            worker = std::make_unique<RouteWorker>(kRoutes[i], applied_, options_);
        } else {
            worker->Configure(applied_);
        }
    }
}

void Notifier::PollEnded(const PollReport& report)
{
    if (settings_ != applied_) {
        Apply();
    }
    Send(events_.PollEnded(report, applied_));
}

void Notifier::AlarmsCancelled(LocalTime at, Alarms silenced)
{
    Send(events_.AlarmsCancelled(at, silenced, applied_));
}

void Notifier::Send(std::vector<Message> messages)
{
    for (Message& message : messages) {
        const auto shared = std::make_shared<const Message>(std::move(message));
        for (auto& worker : workers_) {
            if (worker != nullptr) {
                worker->Post(shared);
            }
        }
    }
}

std::vector<RouteTrouble> Notifier::Trouble() const
{
    std::vector<RouteTrouble> trouble;
    for (std::size_t i = 0; i < kRoutes.size(); ++i) {
        if (workers_[i] != nullptr) {
            if (const auto since = workers_[i]->FailingSince()) {
                trouble.push_back({RouteName(kRoutes[i]), *since});
            }
        }
    }
    return trouble;
}

}  // namespace nortavi::notify
