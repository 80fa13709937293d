// SPDX-License-Identifier: MIT
#include "CodePageWindows.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace nortavi::platform {

std::wstring WideFromUtf8(std::string_view text)
{
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::optional<std::string> Utf8FromWide(std::wstring_view text)
{
    if (text.empty()) {
        return std::string();
    }
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return std::nullopt;
    }
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), size, utf8.data(), length, nullptr,
                        nullptr);
    return utf8;
}

std::wstring Widen(std::string_view text)
{
    if (text.empty()) {
        return {};
    }
    const int length =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::optional<std::string> NarrowExactly(std::wstring_view text)
{
    if (text.empty()) {
        return std::string();
    }
    // Where the system code page is UTF-8 (a Windows 10 and 11 option)
    // every character fits, and the call takes neither the best-fit flag nor
    // a default character: invalid UTF-16 fails instead.
    const bool utf8 = GetACP() == CP_UTF8;
    const UINT codePage = utf8 ? CP_UTF8 : CP_ACP;
    const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* const usedDefaultOut = utf8 ? nullptr : &usedDefault;
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr,
                                           usedDefaultOut);
    if (length <= 0 || usedDefault) {
        return std::nullopt;
    }
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, text.data(), size, narrow.data(), length, nullptr,
                        usedDefaultOut);
    // A lone surrogate converts without a default character on some
    // systems; the round trip catches it.
    if (usedDefault || Widen(narrow) != text) {
        return std::nullopt;
    }
    return narrow;
}

}  // namespace nortavi::platform
