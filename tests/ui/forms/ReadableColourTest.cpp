// SPDX-License-Identifier: MIT
// The colour a big caption keeps in the system's own look.
#include "ReadableColour.h"

#include <gtest/gtest.h>

namespace nortavi::forms {
namespace {

constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kBlue = 0xFF0000;  // red in the low byte
constexpr Colour Grey(Colour level) { return level * 0x010101; }

TEST(ReadableColourTest, TheWantedColourStaysOnlyWhileItStandsOutFromTheFaceByThreeToOne)
{
    struct Case {
        Colour wanted, face, systemText, shown;
    };
    const Case cases[] = {
        // High Contrast black: PENDING's black and a dark blue give way; red stands out.
        {kBlack, kBlack, kWhite, kWhite},
        {kBlue, kBlack, kWhite, kWhite},
        {kRed, kBlack, kWhite, kRed},
        // High Contrast white: green and orange are too pale; red is not.
        {kGreen, kWhite, kBlack, kBlack},
        {kOrange, kWhite, kBlack, kBlack},
        {kRed, kWhite, kBlack, kRed},
        // Either side of 3:1 (3.03 and 2.995).
        {Grey(148), kWhite, kBlack, Grey(148)},
        {Grey(149), kWhite, kBlack, kBlack},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadableTextColour(c.wanted, c.face, c.systemText), c.shown)
            << std::hex << c.wanted << " on " << c.face;
    }
}

}  // namespace
}  // namespace nortavi::forms
