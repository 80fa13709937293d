// SPDX-License-Identifier: MIT
#include "UserLocale.h"

#include "WideText.h"

#include <windows.h>

namespace nortavi::win32 {

namespace {

std::wstring FromUtf8(std::string_view text)
{
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string ToUtf8(std::wstring_view text)
{
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

// One of the locale's values in UTF-8; empty when Windows has none.
std::string LocaleText(const wchar_t* localeName, LCTYPE type)
{
    wchar_t text[128] = {};
    if (GetLocaleInfoEx(localeName, type, text, static_cast<int>(std::size(text))) == 0) {
        return {};
    }
    return ToUtf8(text);
}

}  // namespace

TimeStampFormat LocaleTimeStampFormat(const wchar_t* localeName)
{
    const RegionalPatterns patterns{
        LocaleText(localeName, LOCALE_SSHORTDATE),
        {LocaleText(localeName, LOCALE_STIMEFORMAT), LocaleText(localeName, LOCALE_SSHORTTIME)},
        {LocaleText(localeName, LOCALE_S1159)},
        {LocaleText(localeName, LOCALE_S2359)},
        {}};
    // The sensor writes its file in the system code page, so the patterns'
    // text and AM/PM are looked for in that code page's bytes.
    const TextEncoder encode = [](std::string_view utf8) { return NarrowExactly(FromUtf8(utf8)); };
    return TimeStampFormat::FromPatterns(patterns, PatternLetters::Windows, encode)
        .value_or(TimeStampFormat{});
}

TimeStampFormat UserTimeStampFormat()
{
    return LocaleTimeStampFormat(LOCALE_NAME_USER_DEFAULT);
}

}  // namespace nortavi::win32
