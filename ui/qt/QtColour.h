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

inline Colour FromQColor(const QColor& colour)
{
    return static_cast<Colour>(colour.red()) | static_cast<Colour>(colour.green()) << 8 |
           static_cast<Colour>(colour.blue()) << 16;
}

}  // namespace nortavi::ui
