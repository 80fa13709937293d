// SPDX-License-Identifier: MIT
#pragma once

#include "Ports.h"
#include "TimeStampParser.h"

#include <cstddef>
#include <string>
#include <utility>

namespace nortavi {

// The status lines are short; a file that has not given both fields within
// this many bytes is not a status file, and is not read any further.
inline constexpr std::size_t kMaxStatusFileBytes = std::size_t{64} * 1024;

// Reads the sensor's status file: a local time stamp and a condition word.
// The file is held open only for one read, shared with its writer, so the
// sensor's software can go on writing it and can replace it between polls.
class StatusFile final : public StatusReader {
public:
    explicit StatusFile(TimeStampFormat format = {});

    void LoadStatus(const std::string& statusPath, std::string& statusString,
                    LocalTime& lastStatusTime) override;

    void SetTimeStampFormat(TimeStampFormat format) { format_ = std::move(format); }

private:
    TimeStampFormat format_;
};

}  // namespace nortavi
