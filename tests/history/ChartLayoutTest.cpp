// SPDX-License-Identifier: MIT
#include "ChartLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

namespace nortavi::history {
namespace {

using namespace std::chrono;

// Twelve hours with every band and mark the legend names.
NightChart BusyNight()
{
    const sys_seconds start = sys_days{2026y / 12 / 7} + 18h;
    const auto at = [&](minutes after) { return Moment{start + after, hours(1)}; };
    NightChart chart;
    chart.from = at(0min);
    chart.to = at(12h);
    chart.sky = {{at(0min), at(4h), SkyBand::Clear}, {at(4h), at(8h), SkyBand::VeryCloudy},
                 {at(8h), at(12h), SkyBand::NoFreshData}};
    chart.status = {{at(0min), at(4h), StatusBand::Pending}, {at(4h), at(12h), StatusBand::Unsafe}};
    chart.alarms = {{at(4h), AlarmKind::Unsafe, LogEvent::AlarmRaised},
                    {at(5h), AlarmKind::Unsafe, LogEvent::AlarmCancelled}};
    for (int hour = 0; hour <= 12; ++hour) {
        chart.ticks.push_back(at(hours(hour)));
    }
    return chart;
}

struct LegendCase {
    const char* name;
    double width;
    double height;
    bool legendShown;
};

class ChartLegendTest : public testing::TestWithParam<LegendCase> {};

// The legend says what each colour means where there is room for it, in
// rows as the width allows, and nothing it draws falls off the chart or
// over the bands.
TEST_P(ChartLegendTest, FitsBelowTheBandsOrIsLeftOut)
{
    const LegendCase& c = GetParam();
    const ChartDrawing drawing = DrawNightChart(BusyNight(), c.width, c.height, true);
    const auto words = std::count_if(drawing.texts.begin(), drawing.texts.end(),
                                     [](const DrawText& t) { return t.text == "ended by itself"; });
    EXPECT_EQ(words, c.legendShown ? 1 : 0);
    for (const DrawRect& r : drawing.rects) {
        EXPECT_GE(r.x, 0);
        EXPECT_LE(r.x + r.width, drawing.width + 1e-9);
        EXPECT_LE(r.y + r.height, drawing.height + 1e-9);
    }
    double lowestLabel = 0;
    for (const DrawText& t : drawing.texts) {
        EXPECT_LE(t.y, drawing.height) << t.text;
        if (t.text == "now") {
            lowestLabel = t.y;
        }
    }
    for (const DrawText& t : drawing.texts) {
        if (t.text == "clear / safe") {
            EXPECT_GT(t.y - t.size, lowestLabel) << "the legend over the hour labels";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(History, ChartLegendTest,
                         testing::Values(LegendCase{"Wide", 760, 300, true},
                                         LegendCase{"NarrowInManyRows", 200, 400, true},
                                         LegendCase{"TooLowForALegend", 760, 80, false}),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
}  // namespace nortavi::history
