// SPDX-License-Identifier: MIT
#pragma once

#include "CodePageWindows.h"

#include <windows.h>

#include <string>

namespace nortavi::win32 {

// Settings, paths and files are 8-bit text in the system code page; the
// controls hold UTF-16. The front end converts between them only here.
using platform::NarrowExactly;
using platform::Widen;

// A control's text.
std::wstring WindowText(HWND window);

}  // namespace nortavi::win32
