// SPDX-License-Identifier: MIT
#pragma once

#include "CodePageWindows.h"

#include <windows.h>

#include <string>

namespace nortavi::win32 {

// Settings and paths are UTF-8 text, the controls hold UTF-16: the front
// end converts between them with these. The code-page pair is for the text
// the status file holds (its time stamps), which is in the system code page.
using platform::NarrowExactly;
using platform::Utf8FromWide;
using platform::Widen;
using platform::WideFromUtf8;

// A control's text.
std::wstring WindowText(HWND window);

}  // namespace nortavi::win32
