// SPDX-License-Identifier: MIT
// Writes GetEXEPath() to the file named on its command line. The Windows
// tests copy this program to a drive root and to folders of their choosing
// and run the copies there. With --settings it also starts and ends as
// Nortavi does: it finds config.ini, loads it, counts timeToSafe up by one
// and saves it, and reports what it read and whether the save worked.
#include "ConfigFile.h"
#include "FileSystem.h"

#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2 && !(argc == 3 && std::string(argv[2]) == "--settings")) {
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << nortavi::GetEXEPath();
    if (argc == 3) {
        const nortavi::ProgramFolders folders = nortavi::LocateProgramFolders();
        nortavi::ConfigFile config(folders.load, folders.save);
        nortavi::Settings settings = nortavi::DefaultSettings(folders.program);
        config.LoadConfig(settings);
        ++settings.timeToSafe;
        const bool saved = config.SaveConfig(settings);
        out << "\nconfig=" << config.Path() << "\nstatusPath=" << settings.statusPath
            << "\ntimeToSafe=" << settings.timeToSafe << "\nsaved=" << saved;
    }
    return out.good() ? 0 : 1;
}
