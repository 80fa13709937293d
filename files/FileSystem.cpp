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
    : program(std::move(programFolder)), load(program), save(program)
{
}

ProgramFolders::ProgramFolders(std::string programFolder, std::string loadFolder,
                               std::string saveFolder, std::string userFolder)
    : program(std::move(programFolder)),
      load(std::move(loadFolder)),
      save(std::move(saveFolder)),
      user(std::move(userFolder))
{
}

ProgramFolders ChooseProgramFolders(const std::string& programFolder, const std::string& userFolder,
                                    bool programFolderTakesFiles)
{
    if (userFolder.empty() || programFolderTakesFiles) {
        return {programFolder, programFolder, programFolder, userFolder};
    }
    const bool startFromProgramFolder =
        !FileExists(userFolder + "config.ini") && FileExists(programFolder + "config.ini");
    return {programFolder, startFromProgramFolder ? programFolder : userFolder, userFolder,
            userFolder};
}

ProgramFolders LocateProgramFolders()
{
    const std::string programFolder = GetEXEPath();
    return ChooseProgramFolders(programFolder, platform::UserSettingsFolder(),
                                platform::CanCreateFilesIn(programFolder));
}

bool DiskFileProbe::FileExists(const std::string& fileName)
{
    return nortavi::FileExists(fileName);
}

}  // namespace nortavi
