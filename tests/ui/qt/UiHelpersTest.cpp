// SPDX-License-Identifier: MIT
// The window's small helpers: colours, fonts, the clock and the icon files.
#include "QtColour.h"
#include "SystemClock.h"
#include "WindowFonts.h"

#include <QDateTime>
#include <QFile>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QIcon>
#include <QImage>
#include <QtEndian>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

namespace {

using nortavi::ui::DesignFont;
using nortavi::ui::FitFontToWidth;

TEST(QtColourTest, RedSitsInTheLowByte)
{
    struct Case {
        nortavi::Colour colour;
        QColor expected;
    };
    const Case cases[] = {
        {nortavi::kRed, QColor(255, 0, 0)},
        {nortavi::kGreen, QColor(0, 255, 0)},
        {nortavi::kOrange, QColor(255, 128, 0)},
        {nortavi::kBlack, QColor(0, 0, 0)},
        {0x00123456u, QColor(0x56, 0x34, 0x12)},
        {0xFF0000FFu, QColor(255, 0, 0)},  // the unused high byte is ignored
    };
    for (const Case& c : cases) {
        EXPECT_EQ(nortavi::ui::ToQColor(c.colour), c.expected) << c.colour;
    }
}

TEST(WindowFontsTest, MissingWindowsFontsFallBackToLiberationSans)
{
    for (const char* family : {"MS Sans Serif", "Microsoft Sans Serif"}) {
        const QFontInfo info(DesignFont(QLatin1String(family), 36, true));
        // Windows keeps the named font; elsewhere the metric stand-in, not
        // whatever the system picks for an unknown name.
        EXPECT_TRUE(info.family() == QLatin1String(family) || info.family() == "Liberation Sans")
            << family << " became " << info.family().toStdString();
        EXPECT_TRUE(info.bold());
    }
}

TEST(WindowFontsTest, FitFontToWidthShrinksOnlyWhatDoesNotFit)
{
    const QFont font = DesignFont(QStringLiteral("Microsoft Sans Serif"), 36, true);
    const QString caption = QStringLiteral("UNKNOWN");
    const qreal natural = QFontMetricsF(font).horizontalAdvance(caption);

    EXPECT_EQ(FitFontToWidth(font, caption, static_cast<int>(natural) + 1), font);

    const int narrow = static_cast<int>(natural * 0.8);
    const QFont fitted = FitFontToWidth(font, caption, narrow);
    EXPECT_LT(fitted.pointSizeF(), font.pointSizeF());
    EXPECT_LE(QFontMetricsF(fitted).horizontalAdvance(caption), narrow);
    EXPECT_EQ(fitted.bold(), font.bold());

    // No room at all: it stops at a readable size rather than vanishing.
    EXPECT_GE(FitFontToWidth(font, caption, 1).pointSizeF(), 6.0);
}

TEST(SystemClockTest, AgreesWithQtsLocalTime)
{
    nortavi::platform::SystemClock clock;
    const QDateTime before = QDateTime::currentDateTime();
    const nortavi::LocalTime now = clock.Now();
    const QDateTime after = QDateTime::currentDateTime();

    // Same fields, read as the status file's time stamps are written.
    const auto asLocal = [](const QDateTime& t) {
        const QDate d = t.date();
        const QTime tm = t.time();
        return *nortavi::MakeLocalTime(d.year(), d.month(), d.day(), tm.hour(), tm.minute(),
                                       std::min(tm.second(), 59));
    };
    EXPECT_GE(now, asLocal(before));
    EXPECT_LE(now, asLocal(after));
}

std::uint16_t U16(const QByteArray& bytes, int at)
{
    return qFromLittleEndian<std::uint16_t>(bytes.constData() + at);
}

TEST(ProgramIconTest, IcoHoldsTheThreeWindowsImages)
{
    QFile file(QStringLiteral(NORTAVI_ICON_FILE));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray ico = file.readAll();
    ASSERT_GE(ico.size(), 6 + 3 * 16);
    EXPECT_EQ(U16(ico, 0), 0);  // reserved
    EXPECT_EQ(U16(ico, 2), 1);  // icon, not cursor
    ASSERT_EQ(U16(ico, 4), 3);

    struct Expected {
        int size;
        int colours;
        int bitsPerPixel;
    };
    const Expected expected[] = {{32, 2, 1}, {32, 16, 4}, {16, 16, 4}};
    for (int i = 0; i < 3; ++i) {
        const int entry = 6 + 16 * i;
        EXPECT_EQ(static_cast<unsigned char>(ico[entry]), expected[i].size) << i;
        EXPECT_EQ(static_cast<unsigned char>(ico[entry + 1]), expected[i].size) << i;
        EXPECT_EQ(static_cast<unsigned char>(ico[entry + 2]), expected[i].colours) << i;
        EXPECT_EQ(U16(ico, entry + 6), expected[i].bitsPerPixel) << i;
        const auto length = qFromLittleEndian<std::uint32_t>(ico.constData() + entry + 8);
        const auto offset = qFromLittleEndian<std::uint32_t>(ico.constData() + entry + 12);
        ASSERT_LE(offset + length, static_cast<std::uint32_t>(ico.size())) << i;
        // A bitmap header twice as high as the image: colours over the mask.
        const auto height = qFromLittleEndian<std::int32_t>(ico.constData() + offset + 8);
        EXPECT_EQ(height, 2 * expected[i].size) << i;
    }
}

TEST(ProgramIconTest, WindowIconImagesAreBuiltIn)
{
    for (const int size : {16, 32, 48, 64}) {
        const QImage image(QStringLiteral(":/icons/nortavi-%1.png").arg(size));
        EXPECT_EQ(image.size(), QSize(size, size)) << size;
        EXPECT_TRUE(image.hasAlphaChannel()) << size;
    }
}

}  // namespace
