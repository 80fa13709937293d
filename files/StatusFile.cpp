// SPDX-License-Identifier: MIT
#include "StatusFile.h"

#include "FieldReader.h"
#include "FileSystem.h"
#include "Platform.h"

namespace nortavi {

StatusFile::StatusFile(TimeStampFormat format) : format_(std::move(format)) {}

void StatusFile::LoadStatus(const std::string& statusPath, std::string& statusString,
                            LocalTime& lastStatusTime)
{
    if (!FileExists(statusPath)) {
        return;
    }
    // Every fault below empties the condition, so a caller never gets a
    // condition word without a fresh time stamp.
    statusString.clear();
    const auto prefix = platform::ReadFilePrefix(statusPath, kMaxStatusFileBytes);
    if (!prefix) {
        return;
    }
    FieldReader reader(prefix->bytes);
    const auto stamp = reader.NextField();
    auto condition = reader.NextField();
    if (!stamp || !condition || (prefix->moreFollows && !reader.LastFieldTerminated())) {
        return;
    }
    const auto time = ParseTimeStamp(*stamp, format_);
    if (!time) {
        return;
    }
    lastStatusTime = *time;
    statusString = std::move(*condition);
}

}  // namespace nortavi
