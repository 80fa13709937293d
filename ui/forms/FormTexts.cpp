// SPDX-License-Identifier: MIT
#include "FormTexts.h"

#include "NortaviVersion.h"

namespace nortavi::forms {

std::string AboutText()
{
    return std::string("Nortavi by the Nortavi developers (https://nortavi.invalid) - Version ") +
           std::to_string(ui::kVersionMajor) + "." + std::to_string(ui::kVersionMinor) + "." +
           std::to_string(ui::kVersionRevision);
}

std::string SaveFailedText(const std::string& path)
{
    return "The settings could not be saved to " + path + ".";
}

}  // namespace nortavi::forms
