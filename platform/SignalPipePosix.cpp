// SPDX-License-Identifier: MIT
#include "SignalPipe.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <map>

namespace nortavi::platform {

namespace {

volatile sig_atomic_t writeFd = -1;
std::map<int, struct sigaction> saved;

extern "C" void OnSignal(int signal)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    // A full pipe already holds enough to wake the loop.
    [[maybe_unused]] const ssize_t written = ::write(writeFd, &byte, 1);
    errno = savedErrno;
}

}  // namespace

SignalPipe::SignalPipe(std::initializer_list<int> caught) : signals_(caught)
{
    int fds[2] = {-1, -1};
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;  // the signals keep their default: the process ends as before
    }
    readFd_ = fds[0];
    writeFd = fds[1];
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : signals_) {
        ::sigaction(signal, &action, &saved[signal]);
    }
}

SignalPipe::~SignalPipe()
{
    if (readFd_ < 0) {
        return;
    }
    for (const int signal : signals_) {
        ::sigaction(signal, &saved[signal], nullptr);
    }
    saved.clear();
    ::close(writeFd);
    writeFd = -1;
    ::close(readFd_);
}

std::vector<int> SignalPipe::Take()
{
    std::vector<int> taken;
    unsigned char bytes[64];
    ssize_t got = 0;
    while (readFd_ >= 0 && (got = ::read(readFd_, bytes, sizeof bytes)) > 0) {
        taken.insert(taken.end(), bytes, bytes + got);
    }
    return taken;
}

}  // namespace nortavi::platform
