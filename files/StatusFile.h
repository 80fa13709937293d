// SPDX-License-Identifier: MIT
#pragma once

#include "Ports.h"
#include "TimeLimitedRead.h"
#include "TimeStampParser.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <utility>

namespace nortavi {

// The status lines are short; a file that has not given both fields within
// this many bytes is not a status file, and is not read any further.
inline constexpr std::size_t kMaxStatusFileBytes = std::size_t{64} * 1024;

// The longest a poll waits for the status file. The sensor often shares it
// from another PC, and a share that stops answering can hold a read for
// tens of seconds: the window and the alarm must not stop with it. A read
// that takes longer counts as a failed one.
inline constexpr std::chrono::milliseconds kStatusReadLimit{1000};

// Reads the sensor's status file: a local time stamp and a condition word.
// The file is held open only for one read, shared with its writer, so the
// sensor's software can go on writing it and can replace it between polls.
// A worker thread opens, reads and closes it; the time stamp is read here,
// on the caller's thread.
class StatusFile final : public StatusReader {
public:
    explicit StatusFile(TimeStampFormat format = {},
                        std::chrono::milliseconds readLimit = kStatusReadLimit,
                        FileReadFunction read = ReadFileFromDisk);

    StatusRead LoadStatus(const std::string& statusPath, std::string& statusString,
                          LocalTime& lastStatusTime) override;

    void SetTimeStampFormat(TimeStampFormat format) { format_ = std::move(format); }

private:
    TimeStampFormat format_;
    TimeLimitedRead reads_;
};

}  // namespace nortavi
