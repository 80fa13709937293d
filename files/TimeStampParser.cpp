// SPDX-License-Identifier: MIT
#include "TimeStampParser.h"

#include <array>
#include <cctype>

namespace nortavi {

namespace {

// A tiny cursor over the text; every Read* either consumes what it matched
// or reports failure.
class Cursor {
public:
    explicit Cursor(std::string_view text) : text_(text) {}

    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }

    bool Skip(char c)
    {
        if (Peek() != c) {
            return false;
        }
        ++pos_;
        return true;
    }

    int SkipSpaces()
    {
        int skipped = 0;
        while (Peek() == ' ') {
            ++pos_;
            ++skipped;
        }
        return skipped;
    }

    // Reads minDigits..maxDigits decimal digits; sets `digits` to how many.
    bool ReadNumber(int minDigits, int maxDigits, int& value, int& digits)
    {
        value = 0;
        digits = 0;
        while (digits < maxDigits && std::isdigit(static_cast<unsigned char>(Peek())) != 0) {
            value = value * 10 + (Peek() - '0');
            ++pos_;
            ++digits;
        }
        return digits >= minDigits && std::isdigit(static_cast<unsigned char>(Peek())) == 0;
    }

    bool ReadNumber(int minDigits, int maxDigits, int& value)
    {
        int digits = 0;
        return ReadNumber(minDigits, maxDigits, value, digits);
    }

    bool SkipWordIgnoringCase(std::string_view word)
    {
        if (text_.size() - pos_ < word.size()) {
            return false;
        }
        for (std::size_t i = 0; i < word.size(); ++i) {
            if (std::toupper(static_cast<unsigned char>(text_[pos_ + i])) != word[i]) {
                return false;
            }
        }
        pos_ += word.size();
        return true;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
};

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Two-digit years fall in 1930-2029, as Windows reads them by default.
int ExpandYear(int year, int digits)
{
    if (digits == 4) {
        return year;
    }
    return year < 30 ? 2000 + year : 1900 + year;
}

bool ReadYear(Cursor& cursor, int& year)
{
    int digits = 0;
    if (!cursor.ReadNumber(2, 4, year, digits) || digits == 3) {
        return false;
    }
    year = ExpandYear(year, digits);
    return true;
}

bool ReadRegionalDate(Cursor& cursor, const ShortDatePattern& pattern, Date& date)
{
    using Order = ShortDatePattern::Order;
    const char sep = pattern.separator;
    switch (pattern.order) {
    case Order::MonthDayYear:
        return cursor.ReadNumber(1, 2, date.month) && cursor.Skip(sep) &&
               cursor.ReadNumber(1, 2, date.day) && cursor.Skip(sep) && ReadYear(cursor, date.year);
    case Order::DayMonthYear:
        return cursor.ReadNumber(1, 2, date.day) && cursor.Skip(sep) &&
               cursor.ReadNumber(1, 2, date.month) && cursor.Skip(sep) && ReadYear(cursor, date.year);
    case Order::YearMonthDay:
        return ReadYear(cursor, date.year) && cursor.Skip(sep) &&
               cursor.ReadNumber(1, 2, date.month) && cursor.Skip(sep) &&
               cursor.ReadNumber(1, 2, date.day);
    }
    return false;
}

// H:mm or H:mm:ss, optionally followed by AM or PM (with or without a space).
bool ReadTimeOfDay(Cursor& cursor, TimeOfDay& time)
{
    if (!cursor.ReadNumber(1, 2, time.hour) || !cursor.Skip(':') ||
        !cursor.ReadNumber(2, 2, time.minute)) {
        return false;
    }
    if (cursor.Skip(':') && !cursor.ReadNumber(2, 2, time.second)) {
        return false;
    }
    cursor.SkipSpaces();
    const bool am = cursor.SkipWordIgnoringCase("AM");
    const bool pm = !am && cursor.SkipWordIgnoringCase("PM");
    if (am || pm) {
        if (time.hour < 1 || time.hour > 12) {
            return false;
        }
        time.hour = time.hour % 12 + (pm ? 12 : 0);
    }
    return true;
}

std::optional<LocalTime> Combine(const Date& date, const TimeOfDay& time)
{
    return MakeLocalTime(date.year, date.month, date.day, time.hour, time.minute, time.second);
}

std::optional<LocalTime> ParseIso(std::string_view text)
{
    Cursor cursor(text);
    Date date;
    TimeOfDay time;
    if (!cursor.ReadNumber(4, 4, date.year) || !cursor.Skip('-') ||
        !cursor.ReadNumber(2, 2, date.month) || !cursor.Skip('-') ||
        !cursor.ReadNumber(2, 2, date.day)) {
        return std::nullopt;
    }
    if (!cursor.Skip('T') && !cursor.Skip(' ')) {
        return std::nullopt;
    }
    if (!cursor.ReadNumber(2, 2, time.hour) || !cursor.Skip(':') ||
        !cursor.ReadNumber(2, 2, time.minute)) {
        return std::nullopt;
    }
    if (cursor.Skip(':') && !cursor.ReadNumber(2, 2, time.second)) {
        return std::nullopt;
    }
    if (!cursor.AtEnd()) {
        return std::nullopt;
    }
    return Combine(date, time);
}

std::optional<LocalTime> ParseRegional(std::string_view text, const ShortDatePattern& pattern)
{
    Cursor cursor(text);
    Date date;
    TimeOfDay time;
    if (!ReadRegionalDate(cursor, pattern, date) || cursor.SkipSpaces() == 0 ||
        !ReadTimeOfDay(cursor, time)) {
        return std::nullopt;
    }
    cursor.SkipSpaces();
    if (!cursor.AtEnd()) {
        return std::nullopt;
    }
    return Combine(date, time);
}

std::string_view TrimSpaces(std::string_view text)
{
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

std::optional<ShortDatePattern> ShortDatePattern::FromQtPattern(std::string_view pattern)
{
    std::array<char, 3> letters{};
    std::size_t count = 0;
    char separator = '\0';
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char letter = pattern[i];
        std::size_t run = 0;
        while (i < pattern.size() && pattern[i] == letter) {
            ++i;
            ++run;
        }
        const bool field = letter == 'd' || letter == 'M' || letter == 'y';
        if (field) {
            const bool runOk = letter == 'y' ? (run == 2 || run == 4) : run <= 2;
            if (!runOk || count == letters.size()) {
                return std::nullopt;
            }
            letters[count++] = letter;
        } else if (run != 1 || count == 0 || count == letters.size() ||
                   (separator != '\0' && separator != letter) ||
                   std::isalnum(static_cast<unsigned char>(letter)) != 0) {
            return std::nullopt;
        } else {
            separator = letter;
        }
    }
    if (count != 3 || separator == '\0') {
        return std::nullopt;
    }
    const std::string_view order(letters.data(), letters.size());
    if (order == "Mdy") {
        return ShortDatePattern{Order::MonthDayYear, separator};
    }
    if (order == "dMy") {
        return ShortDatePattern{Order::DayMonthYear, separator};
    }
    if (order == "yMd") {
        return ShortDatePattern{Order::YearMonthDay, separator};
    }
    return std::nullopt;
}

std::optional<LocalTime> ParseTimeStamp(std::string_view text, const ShortDatePattern& pattern)
{
    text = TrimSpaces(text);
    if (auto iso = ParseIso(text)) {
        return iso;
    }
    return ParseRegional(text, pattern);
}

}  // namespace nortavi
