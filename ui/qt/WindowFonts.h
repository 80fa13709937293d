// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>
#include <QString>

namespace nortavi::ui {

// The window was designed in "MS Sans Serif" and "Microsoft Sans Serif".
// Where they are missing (most Linux desktops) Liberation Sans stands in:
// it is close in width, where the system's own choice for an unknown family
// (often DejaVu Sans) runs so wide that "UNKNOWN" no longer fits.
QFont DesignFont(const QString& family, qreal pointSize, bool bold);

// `font` itself when `text` fits in `width` pixels; otherwise the same font
// a little smaller, just enough to fit. A stand-in font can be wider than
// the one the layout was measured with, and a caption cut off at both ends
// is worse than one a few percent smaller.
QFont FitFontToWidth(const QFont& font, const QString& text, int width);

}  // namespace nortavi::ui
