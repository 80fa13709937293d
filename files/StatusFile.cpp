// SPDX-License-Identifier: MIT
#include "StatusFile.h"

#include "FieldReader.h"

#include <utility>

namespace nortavi {

StatusFile::StatusFile(TimeStampFormat format, std::chrono::milliseconds readLimit,
                       FileReadFunction read)
    : format_(std::move(format)), reads_(readLimit, std::move(read))
{
}

StatusRead StatusFile::LoadStatus(const std::string& statusPath, std::string& statusString,
                                  LocalTime& lastStatusTime)
{
    const FileRead file = reads_.Read(statusPath, kMaxStatusFileBytes);
    if (file.outcome == FileRead::Outcome::NoFile) {
        return StatusRead::NoFile;
    }
    // Every fault below, a read that ran out of time included, empties the
    // condition, so a caller never gets a condition word without a fresh
    // time stamp.
    statusString.clear();
    if (file.outcome != FileRead::Outcome::Read) {
        return StatusRead::Unreadable;
    }
    FieldReader reader(file.bytes);
    const auto stamp = reader.NextField();
    auto condition = reader.NextField();
    if (!stamp || !condition || (file.moreFollows && !reader.LastFieldTerminated())) {
        return StatusRead::Unreadable;
    }
    const auto time = ParseTimeStamp(*stamp, format_);
    if (!time) {
        return StatusRead::Unreadable;
    }
    lastStatusTime = *time;
    statusString = std::move(*condition);
    return StatusRead::Read;
}

}  // namespace nortavi
