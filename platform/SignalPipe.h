// SPDX-License-Identifier: MIT
#pragma once

#include <initializer_list>
#include <vector>

namespace nortavi::platform {

// Signals (SIGTERM, SIGINT, SIGHUP) turned into bytes on a pipe that the
// event loop watches, so that what a signal asks for is done there: a
// signal handler may safely do no more than write(). One at a time in a
// process; while it lives, the signals it was given no longer end the
// process by themselves. POSIX only.
class SignalPipe {
public:
    explicit SignalPipe(std::initializer_list<int> caught);
    SignalPipe(const SignalPipe&) = delete;
    SignalPipe& operator=(const SignalPipe&) = delete;
    // Restores each signal's former handling.
    ~SignalPipe();

    // Readable whenever a signal has come since the last Take().
    int ReadFd() const { return readFd_; }

    // The signals that came since the last call, in order; never blocks.
    std::vector<int> Take();

private:
    std::vector<int> signals_;
    int readFd_ = -1;
};

}  // namespace nortavi::platform
