// SPDX-License-Identifier: MIT
#include "FormTexts.h"

#include "NortaviVersion.h"

#include <cstdio>

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

std::string PictureSaveFailedText(const std::string& path)
{
    return "The chart could not be saved to " + path + ".";
}

std::string PictureFileName(LocalTime at)
{
    const std::chrono::year_month_day date(std::chrono::floor<std::chrono::days>(at));
    const std::chrono::hh_mm_ss time(at - std::chrono::floor<std::chrono::days>(at));
    char name[48];
    std::snprintf(name, sizeof name, "nortavi-night-%04d-%02u-%02u-%02d%02d.png",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<int>(time.hours().count()),
                  static_cast<int>(time.minutes().count()));
    return name;
}

}  // namespace nortavi::forms
