// SPDX-License-Identifier: MIT
#pragma once

// <windows.h> first: the chart's header then takes back the name DrawText.
#include <windows.h>

#include "ChartDrawing.h"

#include <cstdint>

namespace nortavi::win32 {

// A chart drawn with GDI on a bitmap of its own, `width` x `height` pixels
// at `scale` pixels to the drawing's logical pixel: rectangles and straight
// lines on whole pixels (forms/ChartPixels.h, as in the Qt window), slanted
// lines and marks as GDI draws them, without smoothing, and text smoothed
// in a sans-serif face. The window copies it to the screen in one step (no
// flicker while it is resized); Save as PNG encodes its pixels.
class ChartBitmap {
public:
    ChartBitmap(const history::ChartDrawing& drawing, int width, int height, double scale);
    ChartBitmap(const ChartBitmap&) = delete;
    ChartBitmap& operator=(const ChartBitmap&) = delete;
    ~ChartBitmap();

    // False when GDI had no room for the bitmap: nothing is drawn.
    bool Valid() const { return bits_ != nullptr; }
    HDC Dc() const { return dc_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Rows from the top, one 0x00RRGGBB word a pixel.
    const std::uint32_t* Pixels() const { return static_cast<const std::uint32_t*>(bits_); }

private:
    void Draw(const history::ChartDrawing& drawing, double scale);

    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
    void* bits_ = nullptr;
};

}  // namespace nortavi::win32
