// SPDX-License-Identifier: MIT
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

// A second process, started at once and ended hard (SIGKILL) if it is still
// running when the object goes.
class ChildProcess {
public:
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments)
    {
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        if (::posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
            throw std::runtime_error("cannot start " + program);
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess()
    {
        if (pid_ > 0) {
            if (!ended_) {
                Kill();
            }
            Wait();
        }
    }

    // Ends the process at once, wherever it is, as a crash or a power cut
    // would.
    void Kill() { ::kill(pid_, SIGKILL); }

    bool HasEnded()
    {
        if (!ended_) {
            ended_ = ::waitpid(pid_, &status_, WNOHANG) == pid_;
        }
        return ended_;
    }

    // Waits for the end; the exit status, or -1 when it was killed.
    int Wait()
    {
        while (!ended_ && ::waitpid(pid_, &status_, 0) < 0 && errno == EINTR) {
        }
        pid_ = 0;
        return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
    }

private:
    pid_t pid_ = 0;
    bool ended_ = false;
    int status_ = 0;
};

// This process's id, as the system reuses them.
inline unsigned long CurrentProcessId()
{
    return static_cast<unsigned long>(::getpid());
}
