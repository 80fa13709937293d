// SPDX-License-Identifier: MIT
#pragma once

#include "TimeStampFormat.h"

#include <optional>
#include <string>
#include <string_view>

namespace nortavi::headless {

// How the region of this process's locale (LC_ALL, LC_TIME or LANG) writes
// a time stamp, as the C library states it: its date format, its times
// with and without AM/PM, and its AM and PM texts. The window asks Qt the
// same; without a window, the C library is what there is. `problem` is set
// when the locale the environment names is not installed (the default,
// M/d/yyyy, is then taken).
TimeStampFormat RegionTimeStampFormat(std::string& problem);

// A C library date or time format (strftime's conversions, as in D_FMT,
// T_FMT and T_FMT_AMPM) in Qt's pattern letters. `ampmTime` stands for %r.
// nullopt when it holds what a time stamp is not read by: names of months
// or days, week numbers, eras.
std::optional<std::string> QtPatternFromStrftime(std::string_view format,
                                                 std::string_view ampmTime = {});

}  // namespace nortavi::headless
