// SPDX-License-Identifier: MIT
#include "ProcessUse.h"

#include <dirent.h>

#include <fstream>
#include <string>

ProcessUse MeasureProcessUse()
{
    ProcessUse use;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            use.residentKib = std::stol(line.substr(6));
        }
    }
    status.close();
    // The listing's own descriptor is counted too, the same at every call.
    if (DIR* fds = opendir("/proc/self/fd")) {
        while (const dirent* entry = readdir(fds)) {
            use.handles += entry->d_name[0] != '.' ? 1 : 0;
        }
        closedir(fds);
    }
    return use;
}
