// SPDX-License-Identifier: MIT
#include "ChartPainter.h"

#include "ChartPixels.h"
#include "QtColour.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>
#include <QStringList>

namespace nortavi::ui {

namespace {

QRect ToQRect(const forms::PixelBox& box)
{
    return {box.left, box.top, box.Width(), box.Height()};
}

// A sans-serif face close in width to the one Windows draws the chart in.
QFont ChartFont(const history::DrawText& text, double scale)
{
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(forms::TextPixels(text.size, scale));
    font.setBold(text.bold);
    return font;
}

void DrawLine(QPainter& painter, const history::DrawLine& line, double scale)
{
    if (const auto box = forms::StraightLinePixels(line, scale)) {
        painter.fillRect(ToQRect(*box), ToQColor(line.colour));
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(ToQColor(line.colour), forms::LinePixels(line.width, scale), Qt::SolidLine,
                        Qt::FlatCap));
    painter.drawLine(QPointF(line.x1 * scale, line.y1 * scale),
                     QPointF(line.x2 * scale, line.y2 * scale));
    painter.setRenderHint(QPainter::Antialiasing, false);
}

void DrawMark(QPainter& painter, const history::DrawMark& mark, double scale)
{
    QPolygonF triangle;
    for (const forms::PointF corner : forms::MarkCorners(mark, scale)) {
        triangle << QPointF(corner.x, corner.y);
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ToQColor(mark.fill));
    painter.drawPolygon(triangle);
    painter.setRenderHint(QPainter::Antialiasing, false);
}

void DrawText(QPainter& painter, const history::DrawText& text, double scale)
{
    const QString words = QString::fromUtf8(text.text.data(), static_cast<qsizetype>(text.text.size()));
    const QFont font = ChartFont(text, scale);
    const qreal advance = QFontMetricsF(font).horizontalAdvance(words);
    qreal x = forms::ScaledPixels(text.x, scale);
    if (text.anchor == history::DrawText::Anchor::Middle) {
        x -= advance / 2;
    } else if (text.anchor == history::DrawText::Anchor::End) {
        x -= advance;
    }
    painter.setFont(font);
    painter.setPen(ToQColor(text.colour));
    painter.drawText(QPointF(x, forms::ScaledPixels(text.y, scale)), words);
}

}  // namespace

QImage ChartImage(const history::ChartDrawing& drawing, QSize pixels, double scale)
{
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(ToQColor(drawing.background));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (const history::DrawRect& rect : drawing.rects) {
        painter.fillRect(ToQRect(forms::RectPixels(rect, scale)), ToQColor(rect.fill));
    }
    for (const history::DrawLine& line : drawing.lines) {
        DrawLine(painter, line, scale);
    }
    for (const history::DrawMark& mark : drawing.marks) {
        DrawMark(painter, mark, scale);
    }
    for (const history::DrawText& text : drawing.texts) {
        DrawText(painter, text, scale);
    }
    return image;
}

}  // namespace nortavi::ui
