// SPDX-License-Identifier: MIT
#pragma once

// Real failures for a save, without special rights: a disk that fills and a
// folder that turns read-only.

#include "Platform.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

// While it lives, no file of this process can grow beyond `bytes`, as if
// the disk had filled: a write past the limit fails (SIGXFSZ, which would
// end the process, is ignored meanwhile).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGXFSZ, &ignore, &savedAction_);
        const rlimit lowered{bytes, saved_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &lowered);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        ::sigaction(SIGXFSZ, &savedAction_, nullptr);
    }

private:
    rlimit saved_{};
    struct sigaction savedAction_ {};
};

// While it lives, nothing can be made in the folder: its write permission
// is taken away, and where that is not enough (root ignores permission
// bits) it is marked immutable. Made() says whether either worked; where
// neither does, a test has to skip.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(std::string folder) : folder_(std::move(folder))
    {
        ::chmod(folder_.c_str(), 0555);
        if (!CanCreateFiles()) {
            return;
        }
        const int fd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        int flags = 0;
        if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags |= FS_IMMUTABLE_FL;
            immutable_ = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        if (fd >= 0) {
            ::close(fd);
        }
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
    ~ReadOnlyFolder()
    {
        if (immutable_) {
            const int fd = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            int flags = 0;
            if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
                flags &= ~FS_IMMUTABLE_FL;
                ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
            }
            if (fd >= 0) {
                ::close(fd);
            }
        }
        ::chmod(folder_.c_str(), 0755);
    }

    bool Made() const { return !CanCreateFiles(); }

private:
    bool CanCreateFiles() const { return nortavi::platform::CanCreateFilesIn(folder_ + "/"); }

    std::string folder_;
    bool immutable_ = false;
};
