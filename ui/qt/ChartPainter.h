// SPDX-License-Identifier: MIT
#pragma once

#include "ChartDrawing.h"

#include <QImage>
#include <QSize>

namespace nortavi::ui {

// The chart drawn on a picture of `pixels`, at `scale` pixels to the
// logical pixel of the drawing: rectangles and straight lines on whole
// pixels (forms/ChartPixels.h), slanted lines, marks and text smoothed.
QImage ChartImage(const history::ChartDrawing& drawing, QSize pixels, double scale);

}  // namespace nortavi::ui
