// SPDX-License-Identifier: MIT
#include "TimeStampFormat.h"

#include <algorithm>

namespace nortavi {

namespace {

using Kind = FormatElement::Kind;

void AppendText(FormatElements& elements, std::string_view text)
{
    for (const char c : text) {
        const Kind kind = c == ' ' ? Kind::Spaces : Kind::Text;
        if (elements.empty() || elements.back().kind != kind) {
            elements.push_back({kind, {}});
        }
        if (kind == Kind::Text) {
            elements.back().text += c;
        }
    }
}

// Reads quoted text from the opening quote at `at`; '' within or outside
// quotes is one quote.
std::size_t ReadQuoted(std::string_view pattern, std::size_t at, FormatElements& elements)
{
    std::string text;
    std::size_t i = at + 1;
    if (i < pattern.size() && pattern[i] == '\'') {
        AppendText(elements, "'");
        return i + 1;
    }
    while (i < pattern.size()) {
        if (pattern[i] == '\'') {
            if (i + 1 < pattern.size() && pattern[i + 1] == '\'') {
                text += '\'';
                i += 2;
                continue;
            }
            ++i;
            break;
        }
        text += pattern[i++];
    }
    AppendText(elements, text);
    return i;
}

// What a run of one pattern letter stands for: a field, literal text,
// nothing (a time zone, which no time stamp carries) or, for names of days,
// months and eras, which the reader does not know, a failure.
enum class RunMeaning { Field, Nothing, Literal, Unsupported };

RunMeaning Interpret(char letter, std::size_t run, PatternLetters letters, FormatElement& field)
{
    const bool qt = letters == PatternLetters::Qt;
    switch (letter) {
        case 'd':
            field.kind = Kind::Day;
            break;
        case 'M':
            field.kind = Kind::Month;
            break;
        case 'h':
        case 'H':
            field.kind = Kind::Hour;
            break;
        case 'm':
            field.kind = Kind::Minute;
            break;
        case 's':
            field.kind = Kind::Second;
            break;
        case 'y':
            field.kind = Kind::Year;
            if (qt) {
                return run == 2 || run == 4 ? RunMeaning::Field : RunMeaning::Unsupported;
            }
            field.minYearDigits = run == 1 ? 1 : 2;
            return RunMeaning::Field;
        case 't':
            if (qt) {
                return RunMeaning::Nothing;
            }
            field.kind = Kind::AmPm;
            return run <= 2 ? RunMeaning::Field : RunMeaning::Unsupported;
        case 'g':
            return qt ? RunMeaning::Literal : RunMeaning::Unsupported;
        case 'z':
            return qt ? RunMeaning::Unsupported : RunMeaning::Literal;
        default:
            return RunMeaning::Literal;
    }
    return run <= 2 ? RunMeaning::Field : RunMeaning::Unsupported;
}

// A pattern as elements, with its text still in UTF-8; nullopt when it
// holds something a time stamp cannot be read by.
std::optional<FormatElements> ReadPattern(std::string_view pattern, PatternLetters letters)
{
    FormatElements elements;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char letter = pattern[i];
        if (letter == '\'') {
            i = ReadQuoted(pattern, i, elements);
            continue;
        }
        // Qt's AM/PM: "AP", "ap", "Ap", "aP", "A" or "a".
        if (letters == PatternLetters::Qt && (letter == 'A' || letter == 'a')) {
            elements.push_back({Kind::AmPm, {}});
            i += i + 1 < pattern.size() && (pattern[i + 1] == 'P' || pattern[i + 1] == 'p') ? 2 : 1;
            continue;
        }
        std::size_t run = 0;
        while (i + run < pattern.size() && pattern[i + run] == letter) {
            ++run;
        }
        FormatElement field;
        switch (Interpret(letter, run, letters, field)) {
            case RunMeaning::Field:
                elements.push_back(field);
                break;
            case RunMeaning::Nothing:
                break;
            case RunMeaning::Literal:
                AppendText(elements, pattern.substr(i, run));
                break;
            case RunMeaning::Unsupported:
                return std::nullopt;
        }
        i += run;
    }
    return elements;
}

std::size_t CountOf(const FormatElements& elements, Kind kind)
{
    return static_cast<std::size_t>(std::count_if(
        elements.begin(), elements.end(), [kind](const auto& e) { return e.kind == kind; }));
}

bool IsDate(const FormatElements& elements)
{
    return CountOf(elements, Kind::Day) == 1 && CountOf(elements, Kind::Month) == 1 &&
           CountOf(elements, Kind::Year) == 1 && CountOf(elements, Kind::Hour) == 0 &&
           CountOf(elements, Kind::Minute) == 0 && CountOf(elements, Kind::Second) == 0 &&
           CountOf(elements, Kind::AmPm) == 0;
}

bool IsTime(const FormatElements& elements)
{
    return CountOf(elements, Kind::Hour) == 1 && CountOf(elements, Kind::Minute) == 1 &&
           CountOf(elements, Kind::Second) <= 1 && CountOf(elements, Kind::AmPm) <= 1 &&
           CountOf(elements, Kind::Day) == 0 && CountOf(elements, Kind::Month) == 0 &&
           CountOf(elements, Kind::Year) == 0;
}

bool EncodeText(FormatElements& elements, const TextEncoder& encode)
{
    for (auto& element : elements) {
        if (element.kind == Kind::Text && encode) {
            auto text = encode(element.text);
            if (!text) {
                return false;
            }
            element.text = std::move(*text);
        }
    }
    return true;
}

std::optional<FormatElements> ReadEncoded(std::string_view pattern, PatternLetters letters,
                                          const TextEncoder& encode,
                                          bool (*fits)(const FormatElements&))
{
    auto elements = ReadPattern(pattern, letters);
    if (!elements || !fits(*elements) || !EncodeText(*elements, encode)) {
        return std::nullopt;
    }
    return elements;
}

// The pattern without its seconds, and without what stands between the
// minutes and the seconds: "H.mm.ss" gives "H.mm". Sensors that leave the
// seconds out write their time so.
std::optional<FormatElements> WithoutSeconds(const FormatElements& elements)
{
    const auto second = std::find_if(elements.begin(), elements.end(),
                                     [](const auto& e) { return e.kind == Kind::Second; });
    const auto minute = std::find_if(elements.begin(), elements.end(),
                                     [](const auto& e) { return e.kind == Kind::Minute; });
    if (second == elements.end() || second < minute) {
        return std::nullopt;
    }
    FormatElements shorter(elements.begin(), minute + 1);
    shorter.insert(shorter.end(), second + 1, elements.end());
    return shorter;
}

// The texts the encoding can hold, without empty ones.
std::vector<std::string> EncodeAll(const std::vector<std::string>& texts, const TextEncoder& encode)
{
    std::vector<std::string> result;
    for (const auto& text : texts) {
        auto encoded = encode ? encode(text) : std::optional<std::string>(text);
        if (encoded && !encoded->empty()) {
            result.push_back(std::move(*encoded));
        }
    }
    return result;
}

}  // namespace

TimeStampFormat::TimeStampFormat() : date(*ReadPattern("M/d/yyyy", PatternLetters::Qt))
{
}

std::optional<TimeStampFormat> TimeStampFormat::FromPatterns(const RegionalPatterns& patterns,
                                                             PatternLetters letters,
                                                             const TextEncoder& encode)
{
    auto date = ReadEncoded(patterns.shortDate, letters, encode, IsDate);
    if (!date) {
        return std::nullopt;
    }
    TimeStampFormat format;
    format.date = std::move(*date);
    for (const auto& pattern : patterns.times) {
        if (auto time = ReadEncoded(pattern, letters, encode, IsTime)) {
            format.times.push_back(std::move(*time));
        }
    }
    for (std::size_t i = 0, count = format.times.size(); i < count; ++i) {
        auto shorter = WithoutSeconds(format.times[i]);
        if (shorter &&
            std::find(format.times.begin(), format.times.end(), *shorter) == format.times.end()) {
            format.times.push_back(std::move(*shorter));
        }
    }
    format.amTexts = EncodeAll(patterns.amTexts, encode);
    format.pmTexts = EncodeAll(patterns.pmTexts, encode);
    format.digits = EncodeAll(patterns.digits, encode);
    if (format.digits.size() != 10) {
        format.digits.clear();
    }
    return format;
}

std::optional<TimeStampFormat> TimeStampFormat::FromQtPattern(std::string_view shortDate)
{
    return FromPatterns({std::string(shortDate), {}, {}, {}, {}}, PatternLetters::Qt);
}

const std::vector<FormatElements>& EnglishTimes()
{
    static const std::vector<FormatElements> times{
        *ReadPattern("h:mm:ss tt", PatternLetters::Windows),
        *ReadPattern("h:mm tt", PatternLetters::Windows)};
    return times;
}

}  // namespace nortavi
