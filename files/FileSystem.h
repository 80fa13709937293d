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

// FileExists for the monitoring core.
class DiskFileProbe final : public FileProbe {
public:
    bool FileExists(const std::string& fileName) override;
};

}  // namespace nortavi
