// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace nortavi::platform {

// Held by the one running copy of the program that keeps a given settings
// file: a second start with the same config.ini finds it taken, and must
// not run on beside the first, whose close would write its own settings
// over the second's. The system lets go of the lock when the process ends,
// however it ends, so a copy that was killed never blocks the next start.
// One file per platform: a lock on a file beside config.ini on Linux, a
// named mutex on Windows.
class InstanceLock {
public:
    // Tries to take the lock for the settings file at `settingsPath`.
    explicit InstanceLock(const std::string& settingsPath);
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;
    ~InstanceLock();

    // False when another running copy holds it. Where no lock can be made
    // at all (a folder that takes no file), it counts as held: two copies
    // are better than none.
    bool Held() const { return held_; }

    // A short name of the settings file, the same in every process and
    // usable as a file, socket or object name: the channel through which a
    // second start hands over to the first is named from it.
    const std::string& Key() const { return key_; }

private:
    std::string key_;
    bool held_ = true;
    long long handle_ = -1;  // the platform's: a descriptor, or a HANDLE
};

// The key of a settings file: its path's hash, in hexadecimal, after the
// spelling the platform takes as the same file (letter case on Windows).
std::string InstanceKey(const std::string& settingsPath);

}  // namespace nortavi::platform
