// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace nortavi::platform {

// On Windows the program's own 8-bit text (paths, settings) is UTF-8, as on
// Linux, and every call to the system goes through its wide (UTF-16) form,
// so that a folder named in any script works. Only text files (config.ini,
// the status file) and the ANSI calls the program must make keep the
// system code page.

// UTF-8 as UTF-16; a byte that is not UTF-8 becomes U+FFFD.
std::wstring WideFromUtf8(std::string_view text);

// UTF-16 as UTF-8; nullopt for a lone surrogate, which UTF-8 cannot hold.
std::optional<std::string> Utf8FromWide(std::wstring_view text);

// 8-bit text in the system code page as UTF-16.
std::wstring Widen(std::string_view text);

// UTF-16 as 8-bit text in the system code page; nullopt when the code page
// cannot hold a character of it, since a stand-in letter would silently
// change the text (and a path would name another folder, or none).
std::optional<std::string> NarrowExactly(std::wstring_view text);

}  // namespace nortavi::platform
