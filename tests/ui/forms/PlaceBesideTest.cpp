// SPDX-License-Identifier: MIT
// Where the night history window goes: never over the main window, which
// shows the alarm, while the screen has room beside it.
#include "frmHistoryDesign.h"

#include <gtest/gtest.h>

#include <optional>

namespace nortavi::forms {
namespace {

struct PlaceCase {
    const char* name;
    PixelRect main;
    std::optional<PixelRect> placed;
};

class PlaceBesideTest : public testing::TestWithParam<PlaceCase> {};

// A 1280 x 800 work area below a 40-pixel panel; the window 736 x 400 at
// most, 496 wide at least; 8 pixels between the two.
TEST_P(PlaceBesideTest, ToTheRightElseToTheLeftNarrowerIfNeedBeElseNowhere)
{
    const PlaceCase& c = GetParam();
    EXPECT_EQ(PlaceBeside(c.main, 736, 496, 400, {0, 40, 1280, 800}), c.placed);
}

INSTANTIATE_TEST_SUITE_P(
    Mains, PlaceBesideTest,
    testing::Values(PlaceCase{"RightWhereItFits", {100, 100, 308, 540}, PixelRect{416, 100, 736, 400}},
                    PlaceCase{"LeftWhereOnlyThatFits", {900, 100, 308, 540}, PixelRect{156, 100, 736, 400}},
                    PlaceCase{"NarrowerOnTheRoomierSide", {300, 100, 308, 540}, PixelRect{616, 100, 664, 400}},
                    PlaceCase{"TopsLevelButOnTheScreen", {100, 600, 308, 540}, PixelRect{416, 440, 736, 400}},
                    PlaceCase{"NowhereWhenNeitherSideHoldsTheLeastWidth", {486, 100, 308, 540}, std::nullopt}),
    [](const testing::TestParamInfo<PlaceCase>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace nortavi::forms
