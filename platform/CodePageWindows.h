// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace nortavi::platform {

// On Windows paths, settings and files are 8-bit text in the system code
// page, while the system's wide calls and the controls hold UTF-16.

// 8-bit text in the system code page as UTF-16.
std::wstring Widen(std::string_view text);

// UTF-16 as 8-bit text in the system code page; nullopt when the code page
// cannot hold a character of it, since a stand-in letter would silently
// change the text (and a path would name another folder, or none).
std::optional<std::string> NarrowExactly(std::wstring_view text);

}  // namespace nortavi::platform
