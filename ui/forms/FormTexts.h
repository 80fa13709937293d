// SPDX-License-Identifier: MIT
#pragma once

#include "LocalTime.h"

#include <string>

namespace nortavi::forms {

// The About message: the credit line and the program's version.
std::string AboutText();

// The warning after config.ini could not be written; `path` is the file
// tried, as 8-bit text in the system's encoding.
std::string SaveFailedText(const std::string& path);

// The warning after the night chart could not be saved as a picture.
std::string PictureSaveFailedText(const std::string& path);

// The name first offered for the night chart's picture, after the time it
// was saved at: "nortavi-night-2026-12-08-0215.png".
std::string PictureFileName(LocalTime at);

}  // namespace nortavi::forms
