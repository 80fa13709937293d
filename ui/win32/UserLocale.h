// SPDX-License-Identifier: MIT
#pragma once

#include "TimeStampFormat.h"

namespace nortavi::win32 {

// How the locale `localeName` writes a date and a time (its short date, its
// time with seconds and without, its AM/PM texts), in the system code page
// that the status file is written in. M/d/yyyy when its short date names
// the month or the day, or holds text the code page cannot.
TimeStampFormat LocaleTimeStampFormat(const wchar_t* localeName);

// The user's own (Control Panel, Region), which the sensor's software uses
// for its time stamps.
TimeStampFormat UserTimeStampFormat();

}  // namespace nortavi::win32
