// SPDX-License-Identifier: MIT
#pragma once

// The status page a browser on the network reads (one small HTML page
// that refreshes itself, with the night chart as inline SVG) and the last
// twelve hours as JSON. Nothing on either reaches beyond the page: no
// scripts, no fonts, no images from elsewhere.

#include "ChartDrawing.h"
#include "NightChart.h"

#include <chrono>
#include <optional>
#include <string>

namespace nortavi::history {

// How things stand after the latest poll.
struct PageNow {
    Moment at;
    std::string condition;  // as the window shows it: CLEAR, CLOUDY, V.CLOUDY, UNKNOWN
    ShownStatus status = ShownStatus::Pending;
    Feed feed = Feed::Missing;
    // Since the status file's time stamp; none before the first reading.
    std::optional<std::chrono::seconds> feedAge;
    std::int16_t minsSinceClear = 0;
    std::int16_t minsSinceCloudy = 0;
    std::int16_t minsSinceVCloudy = 0;
    Alarms alarms;  // sounding now
};

// The drawing as an SVG element that scales to the width it is given.
std::string ChartSvg(const ChartDrawing& drawing, const std::string& cssClass);

std::string StatusPageHtml(const PageNow& now, const NightChart& chart);
std::string HistoryJson(const PageNow& now, const NightChart& chart);

}  // namespace nortavi::history
