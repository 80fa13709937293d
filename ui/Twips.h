// SPDX-License-Identifier: MIT
#pragma once

#include <QRect>

namespace nortavi::ui {

// The windows are laid out in twips (1/1440 inch): 15 twips to a logical
// pixel at 96 dots per inch. Qt's high-DPI scaling takes it from there.
constexpr int TwipsToPixels(int twips)
{
    return (twips + 7) / 15;
}

constexpr QRect TwipsRect(int left, int top, int width, int height)
{
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}

}  // namespace nortavi::ui
