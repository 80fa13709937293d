// SPDX-License-Identifier: MIT
#include "WindowFonts.h"

#include <QFontMetricsF>
#include <QStringList>

namespace nortavi::ui {

namespace {
constexpr qreal kFitStepPoints = 0.25;
// Below this a caption would be unreadable; better cut off than invisible.
constexpr qreal kSmallestPoints = 6.0;
}  // namespace

QFont DesignFont(const QString& family, qreal pointSize, bool bold)
{
    QFont font;
    font.setFamilies(QStringList{family, QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QFont FitFontToWidth(const QFont& font, const QString& text, int width)
{
    QFont fitted = font;
    while (QFontMetricsF(fitted).horizontalAdvance(text) > width &&
           fitted.pointSizeF() - kFitStepPoints >= kSmallestPoints) {
        fitted.setPointSizeF(fitted.pointSizeF() - kFitStepPoints);
    }
    return fitted;
}

}  // namespace nortavi::ui
