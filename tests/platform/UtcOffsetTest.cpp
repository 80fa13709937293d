// SPDX-License-Identifier: MIT
// The offset the night log writes beside the local time: the local time
// is UTC and the offset, here in a zone half an hour off the hour with
// daylight saving time (the test runs under TZ=America/St_Johns).
#include "Platform.h"

#include <gtest/gtest.h>

#include <chrono>

namespace nortavi::platform {
namespace {

using namespace std::chrono;

TEST(UtcOffsetTest, LocalTimeIsUtcAndTheOffset)
{
    const auto utc = floor<seconds>(system_clock::now());
    const CivilTime local = LocalNow();
    const seconds offset = UtcOffsetNow();
    const sys_seconds localAsUtc = sys_days{year{local.year} / local.month / local.day} +
                                   hours{local.hour} + minutes{local.minute} +
                                   seconds{local.second};
    EXPECT_LE(abs(localAsUtc - (utc + offset)), 2s) << offset.count();
    EXPECT_TRUE(offset == -(3h + 30min) || offset == -(2h + 30min)) << offset.count();
}

}  // namespace
}  // namespace nortavi::platform
