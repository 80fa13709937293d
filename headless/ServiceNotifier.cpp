// SPDX-License-Identifier: MIT
#include "ServiceNotifier.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace nortavi::headless {

ServiceNotifier::ServiceNotifier()
{
    const char* path = std::getenv("NOTIFY_SOCKET");
    if (path == nullptr || (path[0] != '/' && path[0] != '@') ||
        std::strlen(path) >= sizeof(sockaddr_un::sun_path)) {
        return;
    }
    address_ = path;
    socket_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    // The watchdog is ours only when the manager names this process.
    const char* usec = std::getenv("WATCHDOG_USEC");
    const char* pid = std::getenv("WATCHDOG_PID");
    if (usec != nullptr && (pid == nullptr || std::strtoll(pid, nullptr, 10) == ::getpid())) {
        const long long interval = std::strtoll(usec, nullptr, 10);
        if (interval > 0) {
            watchdog_ = std::chrono::microseconds(interval);
        }
    }
    // Not for the programs this one might start.
    ::unsetenv("NOTIFY_SOCKET");
    ::unsetenv("WATCHDOG_USEC");
    ::unsetenv("WATCHDOG_PID");
}

ServiceNotifier::~ServiceNotifier()
{
    if (socket_ >= 0) {
        ::close(socket_);
    }
}

void ServiceNotifier::Ready()
{
    Send("READY=1");
}

void ServiceNotifier::Reloading()
{
    Send("RELOADING=1");
}

void ServiceNotifier::Stopping()
{
    Send("STOPPING=1");
}

void ServiceNotifier::Status(const std::string& text)
{
    Send("STATUS=" + text);
}

void ServiceNotifier::WatchdogPing()
{
    if (watchdog_) {
        Send("WATCHDOG=1");
    }
}

void ServiceNotifier::Send(const std::string& message)
{
    if (socket_ < 0) {
        return;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, address_.data(), address_.size());
    socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + address_.size());
    if (address_[0] == '@') {
        address.sun_path[0] = '\0';  // an abstract socket's name
    } else {
        ++length;  // with its terminating zero
    }
    // A manager that has gone must not stop the monitor: nothing waits for this.
    (void)::sendto(socket_, message.data(), message.size(), MSG_NOSIGNAL | MSG_DONTWAIT,
                   reinterpret_cast<const sockaddr*>(&address), length);
}

}  // namespace nortavi::headless
