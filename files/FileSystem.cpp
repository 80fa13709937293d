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

ProgramFolders::ProgramFolders(std::string programFolder)
    : program(std::move(programFolder)), settings(program)
{
}

ProgramFolders::ProgramFolders(std::string programFolder, std::string settingsFolder,
                               std::string userFolder)
    : program(std::move(programFolder)),
      settings(std::move(settingsFolder)),
      user(std::move(userFolder))
{
}

ProgramFolders ChooseProgramFolders(const std::string& programFolder, const std::string& userFolder)
{
    const bool portable = userFolder.empty() || FileExists(programFolder + "config.ini") ||
                          platform::CanCreateFilesIn(programFolder);
    return {programFolder, portable ? programFolder : userFolder, userFolder};
}

ProgramFolders LocateProgramFolders()
{
    return ChooseProgramFolders(GetEXEPath(), platform::UserSettingsFolder());
}

bool DiskFileProbe::FileExists(const std::string& fileName)
{
    return nortavi::FileExists(fileName);
}

}  // namespace nortavi
