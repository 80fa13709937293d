// SPDX-License-Identifier: MIT
// The colour a big caption keeps in the system's own look: the window's
// own while it stands out from the face by WCAG's 3:1 for large text.
#include "ReadableColour.h"

#include <gtest/gtest.h>

#include <string>

namespace nortavi::forms {
namespace {

constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kBlue = 0xFF0000;  // red in the low byte
constexpr Colour kButtonFace = 0xF0F0F0;
constexpr Colour Grey(Colour level)
{
    return level * 0x010101;
}

struct ColourCase {
    const char* name;
    Colour wanted;
    Colour face;
    Colour systemText;
    Colour shown;
};

class ReadableColourTest : public testing::TestWithParam<ColourCase> {};

TEST_P(ReadableColourTest, KeepsTheWantedColourOnlyWhileItStandsOutFromTheFace)
{
    const ColourCase& c = GetParam();
    EXPECT_EQ(ReadableTextColour(c.wanted, c.face, c.systemText), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Looks, ReadableColourTest,
    testing::Values(
        // High Contrast black: PENDING's black and a dark blue give way; red stands out.
        ColourCase{"BlackOnBlack", kBlack, kBlack, kWhite, kWhite},
        ColourCase{"RedOnBlack", kRed, kBlack, kWhite, kRed},
        ColourCase{"BlueOnBlack", kBlue, kBlack, kWhite, kWhite},
        // High Contrast white: green and orange are too pale; red is not.
        ColourCase{"GreenOnWhite", kGreen, kWhite, kBlack, kBlack},
        ColourCase{"OrangeOnWhite", kOrange, kWhite, kBlack, kBlack},
        ColourCase{"RedOnWhite", kRed, kWhite, kBlack, kRed},
        ColourCase{"BlackOnTheUsualFace", kBlack, kButtonFace, kBlack, kBlack},
        // Either side of 3:1 (3.03 and 2.995).
        ColourCase{"JustEnough", Grey(148), kWhite, kBlack, Grey(148)},
        ColourCase{"JustTooPale", Grey(149), kWhite, kBlack, kBlack}),
    [](const testing::TestParamInfo<ColourCase>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace nortavi::forms
