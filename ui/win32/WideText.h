// SPDX-License-Identifier: MIT
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace nortavi::win32 {

// Settings, paths and files are 8-bit text in the system code page; the
// controls hold UTF-16. These are the only places the two meet.

// 8-bit text in the system code page (captions are plain ASCII) as UTF-16.
std::wstring Widen(std::string_view text);

// UTF-16 as 8-bit text in the system code page; nullopt when the code page
// cannot hold a character of it, since storing a stand-in letter would
// silently change the text.
std::optional<std::string> NarrowExactly(std::wstring_view text);

// A control's text.
std::wstring WindowText(HWND window);

}  // namespace nortavi::win32
