// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace nortavi::headless {

// What the service manager is told when systemd started the monitor with
// Type=notify: ready after the first poll, reloading, stopping, a status
// line for `systemctl status`, and a watchdog ping at every poll, so that a
// monitor whose polls stop is restarted. Datagrams on $NOTIFY_SOCKET, as
// sd_notify() sends them; nothing when that is not set.
class ServiceNotifier {
public:
    ServiceNotifier();
    ServiceNotifier(const ServiceNotifier&) = delete;
    ServiceNotifier& operator=(const ServiceNotifier&) = delete;
    ~ServiceNotifier();

    void Ready();
    void Reloading();
    void Stopping();
    void Status(const std::string& text);
    void WatchdogPing();

    // How often the manager wants a ping, when it watches.
    std::optional<std::chrono::microseconds> WatchdogInterval() const { return watchdog_; }

private:
    void Send(const std::string& message);

    int socket_ = -1;
    std::string address_;
    std::optional<std::chrono::microseconds> watchdog_;
};

}  // namespace nortavi::headless
