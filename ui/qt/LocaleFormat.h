// SPDX-License-Identifier: MIT
#pragma once

#include "TimeStampFormat.h"

class QLocale;

namespace nortavi::ui {

// How `locale` writes a date and a time: its short date, its time with
// seconds and without, its AM/PM texts as written and in upper and lower
// case, and its own digits. M/d/yyyy when its short date names the month
// or the day, which a time stamp is not read by.
TimeStampFormat LocaleTimeStampFormat(const QLocale& locale);

}  // namespace nortavi::ui
