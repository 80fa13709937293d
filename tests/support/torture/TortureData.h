// SPDX-License-Identifier: MIT
#pragma once

#include "LocalTime.h"
#include "Settings.h"

#include <cstdint>
#include <string>

namespace nortavi::torture {

// The n-th status line the hostile writer writes. Its time stamp is n
// seconds after a fixed start and its condition a function of n, so a
// reader's result can be checked on its own: a condition that is not the
// one its time stamp was written with is a wrong pair.
LocalTime StampFor(std::int64_t n);
std::string ConditionFor(std::int64_t n);
std::string StatusLine(std::int64_t n);
// Which line a time stamp belongs to (negative before the first).
std::int64_t LineNumberOf(LocalTime stamp);

// The two complete settings the saver alternates between; their files
// differ in length and in every line.
Settings SaverSettings(const std::string& folder, bool second);

}  // namespace nortavi::torture
