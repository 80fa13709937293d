// SPDX-License-Identifier: MIT
#include "ReadableColour.h"

#include <algorithm>
#include <cmath>

namespace nortavi::forms {

namespace {

constexpr double kLargeTextContrast = 3.0;

// One sRGB channel, 0..255, as linear light.
double Linear(Colour channel)
{
    const double value = static_cast<double>(channel & 0xFFu) / 255.0;
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

}  // namespace

double RelativeLuminance(Colour colour)
{
    // Red in the low byte.
    return 0.2126 * Linear(colour) + 0.7152 * Linear(colour >> 8) + 0.0722 * Linear(colour >> 16);
}

double ContrastRatio(Colour a, Colour b)
{
    const double one = RelativeLuminance(a);
    const double other = RelativeLuminance(b);
    return (std::max(one, other) + 0.05) / (std::min(one, other) + 0.05);
}

Colour ReadableTextColour(Colour wanted, Colour face, Colour systemText)
{
    return ContrastRatio(wanted, face) >= kLargeTextContrast ? wanted : systemText;
}

}  // namespace nortavi::forms
