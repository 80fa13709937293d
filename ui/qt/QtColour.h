// SPDX-License-Identifier: MIT
#pragma once

#include "Colours.h"

#include <QColor>

namespace nortavi::ui {

// The core keeps colours as 0x00BBGGRR integers, red in the low byte.
inline QColor ToQColor(Colour colour)
{
    return QColor(static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
                  static_cast<int>((colour >> 16) & 0xFFu));
}

}  // namespace nortavi::ui
