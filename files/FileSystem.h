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
    ProgramFolders(std::string programFolder, std::string loadFolder, std::string saveFolder,
                   std::string userFolder);

    std::string program;  // the executable's: the default status path, and alarm.wav's first place
    std::string load;     // where config.ini is read at start
    std::string save;     // where config.ini is written
    std::string user;     // the user's own: alarm.wav's second place; empty when there is none
    std::string settingsFile = "config.ini";  // its name in `load` and `save`
};

// Where config.ini is read and written. A copy of the program in a folder
// its user may write to keeps it beside itself (the portable layout). An
// installed program, whose folder its user may not write to, keeps it in
// the user's own folder, made at the first save; a config.ini beside such
// a program (left by a run as administrator, say) is read once as the
// starting point and never written, so no save fails for it. Without a
// user folder, everything stays beside the program.
ProgramFolders ChooseProgramFolders(const std::string& programFolder, const std::string& userFolder,
                                    bool programFolderTakesFiles);

// ChooseProgramFolders for this program and this user.
ProgramFolders LocateProgramFolders();

// FileExists for the monitoring core.
class DiskFileProbe final : public FileProbe {
public:
    bool FileExists(const std::string& fileName) override;
};

}  // namespace nortavi
