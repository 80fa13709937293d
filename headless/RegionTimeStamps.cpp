// SPDX-License-Identifier: MIT
#include "RegionTimeStamps.h"

#include <langinfo.h>
#include <locale.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace nortavi::headless {

namespace {

bool IsAscii(std::string_view text)
{
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

// A text as the region writes it, in upper and in lower case (sensors
// differ); only ASCII has case here.
std::vector<std::string> CaseVariants(const std::string& text)
{
    if (text.empty()) {
        return {};
    }
    std::string upper = text;
    std::string lower = text;
    for (std::size_t i = 0; i < text.size(); ++i) {
        upper[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
        lower[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
    }
    return {text, upper, lower};
}

}  // namespace

std::optional<std::string> QtPatternFromStrftime(std::string_view format, std::string_view ampmTime)
{
    std::string pattern;
    // Letters are Qt's pattern letters unless quoted; so is the quote itself.
    const auto literal = [&pattern](char c) {
        if (c == '\'') {
            pattern += "''";
        } else if (std::isalpha(static_cast<unsigned char>(c)) != 0) {
            pattern += '\'';
            pattern += c;
            pattern += '\'';
        } else {
            pattern += c;
        }
    };
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            literal(format[i]);
            continue;
        }
        if (++i == format.size()) {
            return std::nullopt;
        }
        // Alternative digits (%O) read as the plain ones; eras (%E) are not read.
        if (format[i] == 'O' && i + 1 < format.size()) {
            ++i;
        }
        // glibc's flags and widths (%-d, %_H, %02m) change only padding.
        while (i + 1 < format.size() &&
               (format[i] == '-' || format[i] == '_' || format[i] == '0' || format[i] == '^' ||
                format[i] == '#' || std::isdigit(static_cast<unsigned char>(format[i])) != 0)) {
            ++i;
        }
        switch (format[i]) {
            case 'd':
            case 'e':
                pattern += "d";
                break;
            case 'm':
                pattern += "M";
                break;
            case 'Y':
                pattern += "yyyy";
                break;
            case 'y':
                pattern += "yy";
                break;
            case 'H':
            case 'k':
                pattern += "H";
                break;
            case 'I':
            case 'l':
                pattern += "h";
                break;
            case 'M':
                pattern += "mm";
                break;
            case 'S':
                pattern += "ss";
                break;
            case 'p':
            case 'P':
                pattern += "AP";
                break;
            case 'Z':
            case 'z':
                pattern += "t";  // a time zone, which no time stamp carries
                break;
            case 'T':
                pattern += "H:mm:ss";
                break;
            case 'R':
                pattern += "H:mm";
                break;
            case 'D':
                pattern += "M/d/yy";
                break;
            case 'F':
                pattern += "yyyy-M-d";
                break;
            case 'r': {
                if (ampmTime.empty() || ampmTime.find("%r") != std::string_view::npos) {
                    return std::nullopt;
                }
                const auto time = QtPatternFromStrftime(ampmTime);
                if (!time) {
                    return std::nullopt;
                }
                pattern += *time;
                break;
            }
            case 'n':
            case 't':
                pattern += ' ';
                break;
            case '%':
                pattern += '%';
                break;
            default:
                return std::nullopt;
        }
    }
    return pattern;
}

TimeStampFormat RegionTimeStampFormat(std::string& problem)
{
    locale_t region = ::newlocale(LC_TIME_MASK | LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (region == static_cast<locale_t>(nullptr)) {
        const char* name = std::getenv("LC_ALL");
        for (const char* variable : {"LC_TIME", "LANG"}) {
            if (name == nullptr || *name == '\0') {
                name = std::getenv(variable);
            }
        }
        problem = std::string("the locale ") + (name != nullptr ? name : "") +
                  " is not installed (locale -a lists those that are)";
        return {};
    }
    // Text in another encoding than UTF-8 is left out where it is not ASCII.
    const bool utf8 = std::strcmp(::nl_langinfo_l(CODESET, region), "UTF-8") == 0;
    const auto text = [region, utf8](nl_item item) -> std::string {
        const std::string value = ::nl_langinfo_l(item, region);
        return utf8 || IsAscii(value) ? value : std::string();
    };
    const std::string ampmTime = text(T_FMT_AMPM);
    RegionalPatterns patterns;
    patterns.shortDate = QtPatternFromStrftime(text(D_FMT), ampmTime).value_or("");
    for (const nl_item item : {T_FMT, T_FMT_AMPM}) {
        if (auto time = QtPatternFromStrftime(text(item), ampmTime)) {
            patterns.times.push_back(std::move(*time));
        }
    }
    patterns.amTexts = CaseVariants(text(AM_STR));
    patterns.pmTexts = CaseVariants(text(PM_STR));
    ::freelocale(region);
    return TimeStampFormat::FromPatterns(patterns, PatternLetters::Qt).value_or(TimeStampFormat{});
}

}  // namespace nortavi::headless
