// SPDX-License-Identifier: MIT
#include "FileSystem.h"

#include "Platform.h"

namespace nortavi {

bool FileExists(const std::string& fileName)
{
    return platform::QueryEntry(fileName) == platform::EntryKind::Other;
}

std::string WithTrailingSeparator(const std::string& folder, char separator)
{
    if (!folder.empty() && folder.back() == separator) {
        return folder;
    }
    return folder + separator;
}

std::string GetEXEPath()
{
    return WithTrailingSeparator(platform::ExecutableFolder(), platform::PathSeparator());
}

bool DiskFileProbe::FileExists(const std::string& fileName)
{
    return nortavi::FileExists(fileName);
}

}  // namespace nortavi
