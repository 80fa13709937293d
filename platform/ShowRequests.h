// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace nortavi::platform {

// How a second start on the same settings file asks the running copy to
// bring its window to the front (Linux): a local socket in the abstract
// namespace, named from the settings file's key (InstanceLock::Key) and
// the user, which goes with its process, so nothing is ever left behind.
class ShowRequests {
public:
    // Listens for requests; with no socket to be had, there are none.
    explicit ShowRequests(const std::string& key);
    ShowRequests(const ShowRequests&) = delete;
    ShowRequests& operator=(const ShowRequests&) = delete;
    ~ShowRequests();

    // Readable when a request has come; -1 when nothing listens.
    int Fd() const { return fd_; }

    // Takes every request that has come; true when there was one.
    bool Take();

    // From a second start: asks the running copy; false when none answers.
    static bool Ask(const std::string& key);

private:
    int fd_ = -1;
};

}  // namespace nortavi::platform
