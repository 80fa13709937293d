// SPDX-License-Identifier: MIT
#include "LocaleFormat.h"

#include <QLocale>

namespace nortavi::ui {

namespace {

std::vector<std::string> CaseVariants(const QString& text)
{
    return {text.toStdString(), text.toUpper().toStdString(), text.toLower().toStdString()};
}

std::vector<std::string> Digits(const QLocale& locale)
{
    const auto zero = locale.zeroDigit().toUcs4();
    if (zero.size() != 1 || zero[0] == U'0') {
        return {};
    }
    std::vector<std::string> digits;
    for (char32_t k = 0; k < 10; ++k) {
        const char32_t digit = zero[0] + k;
        digits.push_back(QString::fromUcs4(&digit, 1).toStdString());
    }
    return digits;
}

}  // namespace

TimeStampFormat LocaleTimeStampFormat(const QLocale& locale)
{
    // The long time holds the seconds (and a time zone, which is left out).
    const RegionalPatterns patterns{locale.dateFormat(QLocale::ShortFormat).toStdString(),
                                    {locale.timeFormat(QLocale::LongFormat).toStdString(),
                                     locale.timeFormat(QLocale::ShortFormat).toStdString()},
                                    CaseVariants(locale.amText()),
                                    CaseVariants(locale.pmText()),
                                    Digits(locale)};
    return TimeStampFormat::FromPatterns(patterns, PatternLetters::Qt).value_or(TimeStampFormat{});
}

}  // namespace nortavi::ui
