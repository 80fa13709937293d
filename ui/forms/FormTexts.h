// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace nortavi::forms {

// The About message: the credit line and the program's version.
std::string AboutText();

// The warning after config.ini could not be written; `path` is the file
// tried, as 8-bit text in the system's encoding.
std::string SaveFailedText(const std::string& path);

}  // namespace nortavi::forms
