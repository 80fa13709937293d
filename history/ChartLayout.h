// SPDX-License-Identifier: MIT
#pragma once

// The night chart laid out as shapes (ChartDrawing) for a given size: the
// one layout the windows, the status page and the tests share.

#include "ChartDrawing.h"
#include "NightChart.h"

namespace nortavi::history {

// 0x00BBGGRR from red, green and blue.
constexpr Colour Rgb(unsigned red, unsigned green, unsigned blue)
{
    return red | (green << 8) | (blue << 16);
}

// The bands' colours: the window's for the sky and the status; greys for
// what is not known (no fresh data, UNKNOWN) and for no data at all.
Colour SkyBandColour(SkyBand band);
Colour StatusBandColour(StatusBand band);
// Raised: black; cancelled at the button: blue; ended by the opposite
// event: grey.
Colour AlarmMarkColour(LogEvent event);

// The chart in `width` x `height` logical pixels: the sky band above the
// status band, each as wide as the twelve hours, now at the right edge;
// alarm marks between and below them; hour ticks and their local labels
// at the bottom, as many labelled as there is room for; with `legend`, what
// each colour and mark means below them, in as many rows as the width
// needs (the status page gives its own, in the page's text). Sizes below
// 120 x 60 are taken as that.
ChartDrawing DrawNightChart(const NightChart& chart, double width, double height,
                            bool legend = false);

}  // namespace nortavi::history
