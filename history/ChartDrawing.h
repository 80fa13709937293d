// SPDX-License-Identifier: MIT
#pragma once

// The night chart as a list of shapes in logical pixels (1/96 inch, origin
// at the top left, y down): what the Qt window paints with QPainter, the
// Win32 window with GDI and the status page as SVG, each scaling by its own
// DPI. The layout is made once, here; a renderer only draws what it is
// given, in the order given (rectangles, then lines, then marks, then texts).

#include "Colours.h"

#include <string>
#include <vector>

// <windows.h> makes DrawText a macro for its own DrawTextW: in a file that
// includes it first, the text below would otherwise be named DrawTextW,
// and the chart would not be the same type in every file.
#ifdef DrawText
#undef DrawText
#endif

namespace nortavi::history {

struct DrawRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    Colour fill = kBlack;

    bool operator==(const DrawRect&) const = default;
};

struct DrawLine {
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
    Colour colour = kBlack;
    double width = 1;  // logical pixels

    bool operator==(const DrawLine&) const = default;
};

// A triangle standing on the band it marks: pointing down where an alarm
// was raised, up where it was cancelled, its tip at (x, y).
struct DrawMark {
    enum class Kind { AlarmRaised, AlarmCancelled };
    Kind kind = Kind::AlarmRaised;
    double x = 0;
    double y = 0;
    double size = 8;  // the triangle's width and height
    Colour fill = kBlack;

    bool operator==(const DrawMark&) const = default;
};

struct DrawText {
    enum class Anchor { Start, Middle, End };  // where x is along the text
    double x = 0;
    double y = 0;        // the baseline
    std::string text;    // UTF-8
    double size = 11;    // the font's pixel height (em), sans serif
    bool bold = false;
    Anchor anchor = Anchor::Start;
    Colour colour = kBlack;

    bool operator==(const DrawText&) const = default;
};

struct ChartDrawing {
    double width = 0;
    double height = 0;
    Colour background = 0xFFFFFF;
    std::vector<DrawRect> rects;
    std::vector<DrawLine> lines;
    std::vector<DrawMark> marks;
    std::vector<DrawText> texts;

    bool operator==(const ChartDrawing&) const = default;
};

}  // namespace nortavi::history
