// SPDX-License-Identifier: MIT
#include "ChartPixels.h"

#include <algorithm>
#include <cmath>

namespace nortavi::forms {

namespace {

// Half-way rounds up, as pixel centres do, whatever the sign.
int Nearest(double value)
{
    return static_cast<int>(std::floor(value + 0.5));
}

// From `from` to `to` as whole pixels, never empty.
std::pair<int, int> Span(double from, double to, double scale)
{
    const int low = Nearest(std::min(from, to) * scale);
    const int high = std::max(low + 1, Nearest(std::max(from, to) * scale));
    return {low, high};
}

}  // namespace

int ScaledPixels(double logical, double scale)
{
    return Nearest(logical * scale);
}

PixelBox RectPixels(const history::DrawRect& rect, double scale)
{
    const auto [left, right] = Span(rect.x, rect.x + rect.width, scale);
    const auto [top, bottom] = Span(rect.y, rect.y + rect.height, scale);
    return {left, top, right, bottom};
}

int LinePixels(double width, double scale)
{
    return std::max(1, Nearest(width * scale));
}

std::optional<PixelBox> StraightLinePixels(const history::DrawLine& line, double scale)
{
    const int thickness = LinePixels(line.width, scale);
    // The first pixel row (or column) of a line `thickness` wide centred on `at`.
    const auto across = [&](double at) { return Nearest(at * scale - thickness / 2.0); };
    if (line.y1 == line.y2) {
        const auto [left, right] = Span(line.x1, line.x2, scale);
        const int top = across(line.y1);
        return PixelBox{left, top, right, top + thickness};
    }
    if (line.x1 == line.x2) {
        const auto [top, bottom] = Span(line.y1, line.y2, scale);
        const int left = across(line.x1);
        return PixelBox{left, top, left + thickness, bottom};
    }
    return std::nullopt;
}

std::array<PointF, 3> MarkCorners(const history::DrawMark& mark, double scale)
{
    // Pointing down, the body stands above the tip; pointing up, below it.
    const double body = mark.kind == history::DrawMark::Kind::AlarmRaised ? -mark.size : mark.size;
    const double half = mark.size / 2;
    return {PointF{mark.x * scale, mark.y * scale},
            PointF{(mark.x - half) * scale, (mark.y + body) * scale},
            PointF{(mark.x + half) * scale, (mark.y + body) * scale}};
}

int TextPixels(double size, double scale)
{
    return std::max(1, Nearest(size * scale));
}

}  // namespace nortavi::forms
