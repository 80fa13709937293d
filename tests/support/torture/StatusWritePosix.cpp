// SPDX-License-Identifier: MIT
#include "StatusWriteOs.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>

namespace nortavi::torture {

namespace {

bool WriteAndClose(int fd, const char* data, std::size_t size)
{
    if (fd < 0) {
        return false;
    }
    const bool written = ::write(fd, data, size) == static_cast<ssize_t>(size);
    return ::close(fd) == 0 && written;
}

int OpenTruncated(const std::string& path)
{
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

}  // namespace

bool RewriteInPlace(const std::string& path, const std::string& bytes)
{
    return WriteAndClose(OpenTruncated(path), bytes.data(), bytes.size());
}

bool ReplaceByRename(const std::string& path, const std::string& bytes)
{
    const std::string next = path + ".new";
    return WriteAndClose(OpenTruncated(next), bytes.data(), bytes.size()) &&
           std::rename(next.c_str(), path.c_str()) == 0;
}

bool DeleteAndCreate(const std::string& path, const std::string& bytes)
{
    // Gone already when a failed attempt deleted it but could not create it.
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        return false;
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    return WriteAndClose(fd, bytes.data(), bytes.size());
}

bool RewriteInPieces(const std::string& path, const std::string& bytes)
{
    const int fd = OpenTruncated(path);
    if (fd < 0) {
        return false;
    }
    bool written = true;
    for (std::size_t at = 0; at < bytes.size() && written; ++at) {
        written = ::write(fd, bytes.data() + at, 1) == 1;
        std::this_thread::sleep_for(std::chrono::microseconds{100});
    }
    return ::close(fd) == 0 && written;
}

bool RewriteHeldExclusively(const std::string&, const std::string&)
{
    return false;
}

}  // namespace nortavi::torture
