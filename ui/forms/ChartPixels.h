// SPDX-License-Identifier: MIT
#pragma once

// Where the shapes of a chart drawing (logical pixels, 1/96 inch) land on
// the pixels of a window or picture drawn at `scale` pixels to the logical
// one. Qt and GDI both go through here, so every rectangle and straight
// line covers the same whole pixels in both: bands meet without a seam or
// an overlap at any DPI, and a 1-pixel rule stays one sharp pixel wide.

#include "ChartDrawing.h"

#include <array>
#include <optional>

namespace nortavi::forms {

// Whole pixels, right and bottom excluded.
struct PixelBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const PixelBox&) const = default;
};

struct PointF {
    double x = 0;
    double y = 0;
};

// Each edge to its nearest pixel boundary; a shape of any size covers at
// least one pixel each way.
PixelBox RectPixels(const history::DrawRect& rect, double scale);

// A horizontal or vertical line as the pixels it covers, `LinePixels` thick
// and centred on it as near as whole pixels allow; none for a slanted line.
std::optional<PixelBox> StraightLinePixels(const history::DrawLine& line, double scale);
int LinePixels(double width, double scale);

// The triangle's corners in pixels: the tip first.
std::array<PointF, 3> MarkCorners(const history::DrawMark& mark, double scale);

// The text's em height in whole pixels (both toolkits take fonts in whole
// pixels), at least 1.
int TextPixels(double size, double scale);

// The number of pixels for a length in logical pixels.
int ScaledPixels(double logical, double scale);

}  // namespace nortavi::forms
