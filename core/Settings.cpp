// SPDX-License-Identifier: MIT
#include "Settings.h"

namespace nortavi {

Settings DefaultSettings(const std::string& programFolder)
{
    Settings settings;
    settings.statusPath = programFolder;
    return settings;
}

}  // namespace nortavi
