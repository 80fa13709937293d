// SPDX-License-Identifier: MIT
#include "ShowRequests.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>

namespace nortavi::platform {

namespace {

// The name starts with a NUL: the abstract namespace, no file.
socklen_t Address(const std::string& key, sockaddr_un& address)
{
    const std::string name = "nortavi-" + std::to_string(::getuid()) + "-" + key;
    address = {};
    address.sun_family = AF_UNIX;
    const std::size_t length = std::min(name.size(), sizeof address.sun_path - 1);
    std::memcpy(address.sun_path + 1, name.data(), length);
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
}

}  // namespace

ShowRequests::ShowRequests(const std::string& key)
{
    sockaddr_un address{};
    const socklen_t size = Address(key, address);
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd_ >= 0 && (::bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
                     ::listen(fd_, 4) != 0)) {
        ::close(fd_);
        fd_ = -1;
    }
}

ShowRequests::~ShowRequests()
{
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool ShowRequests::Take()
{
    bool any = false;
    for (int peer = 0; fd_ >= 0 && (peer = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
        ::close(peer);
        any = true;
    }
    return any;
}

bool ShowRequests::Ask(const std::string& key)
{
    sockaddr_un address{};
    const socklen_t size = Address(key, address);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool asked = fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), size) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return asked;
}

}  // namespace nortavi::platform
