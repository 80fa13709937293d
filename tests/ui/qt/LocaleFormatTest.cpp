// SPDX-License-Identifier: MIT
// Every locale Qt knows: a time stamp written in its short date and time is
// read back as the same moment by the format built from that locale.
#include "LocaleFormat.h"
#include "TimeStampParser.h"

#include <gtest/gtest.h>
#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

namespace {

// A sensor writes no time zone.
QString WithoutZone(QString pattern)
{
    static const QRegularExpression zone(QStringLiteral("[(\\[]?\\bt+\\b[)\\]]?"));
    return pattern.remove(zone).trimmed();
}

TEST(LocaleFormatTest, EveryLocaleReadsBackItsOwnTimeStamps)
{
    // Day above 12 and hour above 12, so neither can pass for another field.
    const QDateTime moments[] = {QDateTime(QDate(2026, 12, 17), QTime(21, 3, 4)),
                                 QDateTime(QDate(2026, 3, 24), QTime(8, 5, 9))};
    const auto locales =
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    QStringList misread;
    int refused = 0;
    for (const QLocale& locale : locales) {
        const auto format = nortavi::ui::LocaleTimeStampFormat(locale);
        const QString date = locale.dateFormat(QLocale::ShortFormat);
        for (const QDateTime& moment : moments) {
            for (const QString& time : {locale.timeFormat(QLocale::ShortFormat),
                                        WithoutZone(locale.timeFormat(QLocale::LongFormat))}) {
                const QString text = locale.toString(moment, date + u' ' + time);
                const auto read = nortavi::ParseTimeStamp(text.toStdString(), format);
                QDateTime expected = moment;
                if (!time.contains(u's')) {
                    expected.setTime(QTime(moment.time().hour(), moment.time().minute()));
                }
                const auto wanted = expected.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
                // Names of months are not read: refused, never misread.
                if (!read && date.contains(QStringLiteral("MMM"))) {
                    ++refused;
                } else if (!read || nortavi::FormatLocalTime(*read) != wanted.toStdString()) {
                    misread
                        << QStringLiteral("%1 %2 | %3: %4").arg(locale.name(), date, time, text);
                }
            }
        }
    }
    EXPECT_GT(locales.size(), 500);
    EXPECT_LE(refused, 4);  // the C locale's "d MMM yyyy", its four stamps
    EXPECT_TRUE(misread.isEmpty()) << misread.size() << " misread:\n"
                                   << misread.join(u'\n').toStdString();
}

}  // namespace
