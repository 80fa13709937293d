// SPDX-License-Identifier: MIT
#include "InstanceLock.h"

#include "Platform.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>

namespace nortavi::platform {

namespace {

std::string Hex(std::uint64_t value)
{
    char text[17] = {};
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

}  // namespace

std::string InstanceKey(const std::string& settingsPath)
{
    // FNV-1a: stable across processes and builds, unlike std::hash.
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : settingsPath) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    return Hex(hash);
}

// An advisory lock on a file of its own beside config.ini: the kernel drops
// it with the last descriptor, so it is never left behind. The file itself
// stays; only the lock on it counts.
InstanceLock::InstanceLock(const std::string& settingsPath) : key_(InstanceKey(settingsPath))
{
    const std::string::size_type slash = settingsPath.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : settingsPath.substr(0, slash + 1);
    if (!folder.empty()) {
        MakeFolders(folder);
    }
    const std::string lockPath = settingsPath + ".lock";
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return;  // no lock to be had: run anyway
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        held_ = false;
        ::close(fd);
        return;
    }
    handle_ = fd;
}

InstanceLock::~InstanceLock()
{
    if (handle_ >= 0) {
        ::close(static_cast<int>(handle_));
    }
}

}  // namespace nortavi::platform
