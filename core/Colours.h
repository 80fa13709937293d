// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace nortavi {

// Text colours as 0x00BBGGRR integers, red in the low byte.
using Colour = std::uint32_t;
inline constexpr Colour kBlack = 0;
inline constexpr Colour kRed = 255;
inline constexpr Colour kGreen = 65280;
inline constexpr Colour kOrange = 33023;

}  // namespace nortavi
