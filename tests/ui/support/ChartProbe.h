// SPDX-License-Identifier: MIT
#pragma once

// A chart drawing made to be checked by pixels, the same for the Qt and the
// Win32 window, with what must be found where: colours at spots kept two
// logical pixels or more from any edge (so they hold at any DPI), rows
// where two bands meet that must show no seam, and boxes that must or must
// not hold ink, which is where an anchored text went.

#include "ChartDrawing.h"

#include <vector>

namespace nortavi::test {

inline constexpr Colour kProbeBackground = 0xF0F0F0;
inline constexpr Colour kProbeGreen = 0x00C000;
inline constexpr Colour kProbeRed = 0x0000E0;
inline constexpr Colour kProbeBlue = 0xC00000;
inline constexpr Colour kProbeInk = 0x202020;

struct ProbeSpot {
    const char* what;
    double x;
    double y;
    Colour colour;
};

// A row of the drawing from `fromX` to `toX` where only the two band
// colours may show.
struct ProbeSeam {
    double fromX;
    double toX;
    double y;
};

struct ProbeInk {
    const char* what;
    double x;
    double y;
    double width;
    double height;
    bool inked;
};

inline history::ChartDrawing ProbeDrawing()
{
    using history::DrawMark;
    using Anchor = history::DrawText::Anchor;
    history::ChartDrawing drawing;
    drawing.width = 400;
    drawing.height = 260;
    drawing.background = kProbeBackground;
    // Two bands meeting off the pixel grid, at 100.4.
    drawing.rects.push_back({20, 20, 80.4, 20, kProbeGreen});
    drawing.rects.push_back({100.4, 20, 79.6, 20, kProbeRed});
    drawing.lines.push_back({20, 100, 380, 100, kProbeBlue, 1});  // a 1-pixel rule
    drawing.lines.push_back({300, 10, 300, 90, kProbeBlue, 3});
    drawing.lines.push_back({20, 120, 120, 170, kProbeRed, 4});  // slanted
    drawing.marks.push_back({DrawMark::Kind::AlarmRaised, 200, 80, 16, kProbeRed});
    drawing.marks.push_back({DrawMark::Kind::AlarmCancelled, 240, 60, 16, kProbeGreen});
    drawing.texts.push_back({150, 220, "Start", 20, false, Anchor::Start, kProbeInk});
    drawing.texts.push_back({380, 220, "End", 20, true, Anchor::End, kProbeInk});
    drawing.texts.push_back({260, 250, "Mid", 16, false, Anchor::Middle, kProbeInk});
    return drawing;
}

inline std::vector<ProbeSpot> ProbeSpots()
{
    return {
        {"background", 5, 255, kProbeBackground},
        {"green band", 60, 30, kProbeGreen},
        {"red band", 140, 30, kProbeRed},
        {"under the bands", 60, 43, kProbeBackground},
        {"1-pixel rule", 200, 100.2, kProbeBlue},
        {"above the rule", 200, 98, kProbeBackground},
        {"below the rule", 200, 102, kProbeBackground},
        {"thick line", 300.2, 50, kProbeBlue},
        {"beside the thick line", 303, 50, kProbeBackground},
        {"slanted line", 70, 145, kProbeRed},
        {"off the slanted line", 70, 135, kProbeBackground},
        {"raised mark's body, above its tip", 200, 69, kProbeRed},
        {"below the raised mark's tip", 200, 83, kProbeBackground},
        {"cancelled mark's body, below its tip", 240, 71, kProbeGreen},
        {"above the cancelled mark's tip", 240, 57, kProbeBackground},
    };
}

inline std::vector<ProbeSeam> ProbeSeams()
{
    return {{22, 178, 30}};
}

inline std::vector<ProbeInk> ProbeInks()
{
    return {
        {"Start: after its anchor", 150, 204, 40, 16, true},
        {"Start: nothing before", 110, 200, 38, 24, false},
        {"End: before its anchor", 340, 204, 40, 16, true},
        {"End: nothing after", 382, 200, 17, 24, false},
        {"Mid: left of its anchor", 244, 238, 14, 12, true},
        {"Mid: right of its anchor", 262, 238, 14, 12, true},
        {"Mid: nothing far left", 200, 234, 30, 20, false},
        {"Mid: nothing far right", 292, 234, 30, 20, false},
    };
}

}  // namespace nortavi::test
