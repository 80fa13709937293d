// SPDX-License-Identifier: MIT
#include "TimeStampParser.h"

#include <algorithm>
#include <cctype>

namespace nortavi {

namespace {

using Kind = FormatElement::Kind;

bool IsAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A tiny cursor over the text; every Read* either consumes what it matched
// or reports failure. `digits` are the region's own digits, if any.
class Cursor {
public:
    explicit Cursor(std::string_view text, const std::vector<std::string>* digits = nullptr)
        : text_(text), digits_(digits)
    {
    }

    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
    std::size_t Position() const { return pos_; }
    void Seek(std::size_t pos) { pos_ = pos; }

    bool Skip(char c)
    {
        if (Peek() != c) {
            return false;
        }
        ++pos_;
        return true;
    }

    bool Skip(std::string_view text)
    {
        if (text_.substr(pos_).substr(0, text.size()) != text) {
            return false;
        }
        pos_ += text.size();
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
        int digit = 0;
        while (digits < maxDigits && ReadDigit(digit)) {
            value = value * 10 + digit;
            ++digits;
        }
        const std::size_t end = pos_;
        const bool more = ReadDigit(digit);
        pos_ = end;
        return digits >= minDigits && !more;
    }

    bool ReadNumber(int minDigits, int maxDigits, int& value)
    {
        int digits = 0;
        return ReadNumber(minDigits, maxDigits, value, digits);
    }

    // The length of `word` at the cursor, ignoring the case of ASCII
    // letters; 0 when it is not there.
    std::size_t MatchIgnoringCase(std::string_view word) const
    {
        if (word.empty() || text_.size() - pos_ < word.size()) {
            return 0;
        }
        for (std::size_t i = 0; i < word.size(); ++i) {
            if (std::toupper(static_cast<unsigned char>(text_[pos_ + i])) !=
                std::toupper(static_cast<unsigned char>(word[i]))) {
                return 0;
            }
        }
        return word.size();
    }

    void Advance(std::size_t count) { pos_ += count; }

private:
    bool ReadDigit(int& digit)
    {
        if (IsAsciiDigit(Peek())) {
            digit = Peek() - '0';
            ++pos_;
            return true;
        }
        if (digits_ != nullptr) {
            for (std::size_t k = 0; k < digits_->size(); ++k) {
                if (Skip(std::string_view((*digits_)[k]))) {
                    digit = static_cast<int>(k);
                    return true;
                }
            }
        }
        return false;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    const std::vector<std::string>* digits_;
};

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
};

enum class Designator { None, Am, Pm };

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
    Designator designator = Designator::None;
};

// Two-digit years fall in 1930-2029, as Windows reads them by default.
int ExpandYear(int year, int digits)
{
    if (digits == 4) {
        return year;
    }
    return year < 30 ? 2000 + year : 1900 + year;
}

// Two digits or four, whatever the pattern says; one only where it says so.
bool ReadYear(Cursor& cursor, int minDigits, int& year)
{
    int digits = 0;
    if (!cursor.ReadNumber(minDigits, 4, year, digits) || digits == 3) {
        return false;
    }
    year = ExpandYear(year, digits);
    return true;
}

// The region's AM or PM text, or English AM or PM, whichever is longest
// there.
Designator ReadDesignator(Cursor& cursor, const TimeStampFormat& format)
{
    Designator found = Designator::None;
    std::size_t length = 0;
    const auto consider = [&](std::string_view text, Designator designator) {
        const std::size_t matched = cursor.MatchIgnoringCase(text);
        if (matched > length) {
            length = matched;
            found = designator;
        }
    };
    for (const auto& text : format.amTexts) {
        consider(text, Designator::Am);
    }
    for (const auto& text : format.pmTexts) {
        consider(text, Designator::Pm);
    }
    consider("AM", Designator::Am);
    consider("PM", Designator::Pm);
    cursor.Advance(length);
    return found;
}

bool ReadField(Cursor& cursor, const FormatElement& element, Date& date, TimeOfDay& time)
{
    switch (element.kind) {
        case Kind::Day:
            return cursor.ReadNumber(1, 2, date.day);
        case Kind::Month:
            return cursor.ReadNumber(1, 2, date.month);
        case Kind::Year:
            return ReadYear(cursor, element.minYearDigits, date.year);
        case Kind::Hour:
            return cursor.ReadNumber(1, 2, time.hour);
        case Kind::Minute:
            return cursor.ReadNumber(1, 2, time.minute);
        case Kind::Second:
            return cursor.ReadNumber(1, 2, time.second);
        default:
            return false;
    }
}

bool IsNumber(const FormatElement& element)
{
    return element.kind != Kind::Text && element.kind != Kind::Spaces && element.kind != Kind::AmPm;
}

// Reads the text by the pattern's elements. Spaces match any number of
// spaces and AM/PM may be missing (a 24-hour time); text after the last
// number may be missing too (a sensor that leaves out the "." after the
// year or the "h" after the hour), and is then not read at all.
bool ReadElements(Cursor& cursor, const FormatElements& elements, const TimeStampFormat& format,
                  Date& date, TimeOfDay& time)
{
    std::size_t read = cursor.Position();
    for (auto element = elements.begin(); element != elements.end(); ++element) {
        bool matched = true;
        if (element->kind == Kind::Spaces) {
            cursor.SkipSpaces();
            continue;
        }
        if (element->kind == Kind::AmPm) {
            time.designator = ReadDesignator(cursor, format);
            if (time.designator == Designator::None) {
                continue;
            }
        } else if (element->kind == Kind::Text) {
            matched = cursor.Skip(std::string_view(element->text));
        } else {
            matched = ReadField(cursor, *element, date, time);
        }
        if (!matched) {
            if (std::none_of(element, elements.end(), IsNumber)) {
                cursor.Seek(read);
                return true;
            }
            return false;
        }
        read = cursor.Position();
    }
    return true;
}

// The hour on the 24-hour clock; false for an hour AM/PM cannot have.
bool ResolveHour(TimeOfDay& time)
{
    if (time.designator == Designator::None) {
        return true;
    }
    if (time.hour < 1 || time.hour > 12) {
        return false;
    }
    time.hour = time.hour % 12 + (time.designator == Designator::Pm ? 12 : 0);
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

// The region's date, at least one space, then the time in the first of
// the region's time patterns (or the English ones) that reads it all.
// AM/PM may stand after any time, where the region's patterns have none.
std::optional<LocalTime> ParseRegional(std::string_view text, const TimeStampFormat& format)
{
    Cursor cursor(text, &format.digits);
    Date date;
    TimeOfDay unused;
    if (!ReadElements(cursor, format.date, format, date, unused) || cursor.SkipSpaces() == 0) {
        return std::nullopt;
    }
    const std::size_t timeStart = cursor.Position();
    for (const auto* patterns : {&format.times, &EnglishTimes()}) {
        for (const auto& pattern : *patterns) {
            cursor.Seek(timeStart);
            TimeOfDay time;
            if (!ReadElements(cursor, pattern, format, date, time)) {
                continue;
            }
            // A sensor set to a 12-hour clock on a 24-hour system puts its
            // AM or PM after the time.
            cursor.SkipSpaces();
            if (time.designator == Designator::None) {
                time.designator = ReadDesignator(cursor, format);
                cursor.SkipSpaces();
            }
            if (cursor.AtEnd() && ResolveHour(time)) {
                return Combine(date, time);
            }
        }
    }
    return std::nullopt;
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

std::optional<LocalTime> ParseTimeStamp(std::string_view text, const TimeStampFormat& format)
{
    text = TrimSpaces(text);
    if (auto iso = ParseIso(text)) {
        return iso;
    }
    return ParseRegional(text, format);
}

}  // namespace nortavi
