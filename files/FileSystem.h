// SPDX-License-Identifier: MIT
#pragma once

#include "Ports.h"

#include <string>

namespace nortavi {

// True when the path names an existing entry that is not a folder; every
// fault gives false.
bool FileExists(const std::string& fileName);

// The folder that holds the program's executable, always ending in exactly
// one path separator.
std::string GetEXEPath();

// Appends the separator unless the folder already ends in one (a drive root
// such as D:\ does).
std::string WithTrailingSeparator(const std::string& folder, char separator);

// Where the program keeps its files, each folder ending in a separator.
struct ProgramFolders {
    // The portable layout: everything beside the program.
    ProgramFolders(
        std::string programFolder);  // NOLINT(google-explicit-constructor): a folder is a layout
    ProgramFolders(std::string programFolder, std::string settingsFolder, std::string userFolder);

    std::string program;   // the executable's: the default status path, and alarm.wav's first place
    std::string settings;  // where config.ini is read and written
    std::string user;      // the user's own: alarm.wav's second place; empty when there is none
};

// config.ini stays beside the program where one already is, or where the
// program's folder takes new files (a copy of its own in a folder of the
// user's). An installed program, whose folder its user may not write to,
// keeps config.ini in `userFolder` instead, made at the first save.
ProgramFolders ChooseProgramFolders(const std::string& programFolder,
                                    const std::string& userFolder);

// ChooseProgramFolders for this program and this user.
ProgramFolders LocateProgramFolders();

// FileExists for the monitoring core.
class DiskFileProbe final : public FileProbe {
public:
    bool FileExists(const std::string& fileName) override;
};

}  // namespace nortavi
