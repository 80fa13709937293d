// SPDX-License-Identifier: MIT
#pragma once

// A plausible night drawn by hand, for the screenshots of the night history
// window until the chart is made from the night's log: 18:30 to 06:30, a
// cloudy spell with the unsafe alarm raised and cancelled at the button, a
// feed that drops for 20 minutes after 02:10 with the comms alarm, laid out
// for any size as the chart would be.

#include "ChartDrawing.h"

#include <string>
#include <utility>
#include <vector>

namespace nortavi::test {

inline history::ChartDrawing SampleNight(double width, double height)
{
    using history::DrawMark;
    using Anchor = history::DrawText::Anchor;
    const auto rgb = [](unsigned r, unsigned g, unsigned b) { return Colour{r | g << 8 | b << 16}; };
    const Colour clear = rgb(64, 192, 64);
    const Colour cloudy = rgb(255, 160, 32);
    const Colour vcloudy = rgb(224, 48, 48);
    const Colour noData = rgb(192, 192, 192);
    const Colour ink = rgb(32, 32, 32);
    const Colour faint = rgb(112, 112, 112);
    const Colour now = rgb(32, 64, 160);

    constexpr double kLeft = 72;
    constexpr double kRight = 16;
    constexpr double kSkyTop = 48;
    constexpr double kStatusTop = 104;
    constexpr double kBand = 36;
    const double plot = width - kLeft - kRight;
    // Minutes after 18:30 to x.
    const auto at = [&](double minutes) { return kLeft + plot * minutes / 720; };
    const auto minutes = [](int hour, int minute) { return ((hour + 24 - 18) % 24) * 60 + minute - 30.0; };

    history::ChartDrawing drawing;
    drawing.width = width;
    drawing.height = height;
    drawing.background = rgb(255, 255, 255);

    using Span = std::pair<std::pair<int, int>, Colour>;  // from (hour, minute), until the next
    const auto band = [&](const std::vector<Span>& spans, double top) {
        for (std::size_t i = 0; i < spans.size(); ++i) {
            const double from = minutes(spans[i].first.first, spans[i].first.second);
            const double to = i + 1 < spans.size()
                                  ? minutes(spans[i + 1].first.first, spans[i + 1].first.second)
                                  : 720;
            drawing.rects.push_back({at(from), top, at(to) - at(from), kBand, spans[i].second});
        }
    };
    band({{{18, 30}, clear}, {{21, 40}, cloudy}, {{22, 25}, vcloudy}, {{23, 50}, cloudy},
          {{0, 20}, clear}, {{2, 10}, noData}, {{2, 30}, clear}},
         kSkyTop);
    band({{{18, 30}, clear}, {{22, 30}, vcloudy}, {{0, 35}, clear}, {{2, 12}, noData}, {{2, 30}, clear}},
         kStatusTop);

    for (int hour = 19; hour != 7; hour = (hour + 1) % 24) {
        const double x = at(minutes(hour, 0));
        drawing.lines.push_back({x, kStatusTop + kBand + 6, x, kStatusTop + kBand + 11, faint, 1});
        drawing.texts.push_back({x, kStatusTop + kBand + 22, (hour < 10 ? "0" : "") + std::to_string(hour),
                                 11, false, Anchor::Middle, faint});
    }
    drawing.lines.push_back({kLeft, kStatusTop + kBand + 6, width - kRight, kStatusTop + kBand + 6, faint, 1});
    drawing.lines.push_back({width - kRight, 40, width - kRight, kStatusTop + kBand + 8, now, 2});

    const auto raised = [&](int hour, int minute) {
        drawing.marks.push_back({DrawMark::Kind::AlarmRaised, at(minutes(hour, minute)), kStatusTop - 2, 10, vcloudy});
    };
    const auto cancelled = [&](int hour, int minute) {
        drawing.marks.push_back(
            {DrawMark::Kind::AlarmCancelled, at(minutes(hour, minute)), kStatusTop + kBand + 2, 10, ink});
    };
    raised(22, 30);
    cancelled(22, 34);
    raised(2, 12);
    cancelled(2, 30);

    drawing.texts.push_back({12, 26, "Last 12 hours", 14, true, Anchor::Start, ink});
    drawing.texts.push_back({width - kRight, 26, "Mon 7 Dec 18:30 to Tue 8 Dec 06:30", 11, false, Anchor::End, faint});
    drawing.texts.push_back({kLeft - 8, kSkyTop + 22, "Sky", 12, true, Anchor::End, ink});
    drawing.texts.push_back({kLeft - 8, kStatusTop + 22, "Status", 12, true, Anchor::End, ink});
    drawing.texts.push_back({at(minutes(0, 0)), kStatusTop + kBand + 38, "Tue 8 Dec", 11, true, Anchor::Middle, faint});
    drawing.texts.push_back({width - kRight, kStatusTop + kBand + 38, "now", 11, true, Anchor::End, now});

    // The key, along the bottom.
    double x = kLeft;
    const double y = height - 16;
    const auto key = [&](Colour colour, const char* text) {
        drawing.rects.push_back({x, y - 10, 12, 12, colour});
        drawing.texts.push_back({x + 17, y, text, 11, false, Anchor::Start, ink});
        x += 40 + 6.8 * static_cast<double>(std::string(text).size());
    };
    key(clear, "CLEAR / SAFE");
    key(cloudy, "CLOUDY");
    key(vcloudy, "V.CLOUDY / UNSAFE");
    key(noData, "no fresh data");
    drawing.marks.push_back({DrawMark::Kind::AlarmRaised, x + 6, y + 1, 10, vcloudy});
    drawing.texts.push_back({x + 17, y, "alarm", 11, false, Anchor::Start, ink});
    x += 40 + 6.8 * 5;
    drawing.marks.push_back({DrawMark::Kind::AlarmCancelled, x + 6, y - 9, 10, ink});
    drawing.texts.push_back({x + 17, y, "cancelled", 11, false, Anchor::Start, ink});
    return drawing;
}

}  // namespace nortavi::test
