// SPDX-License-Identifier: MIT
#pragma once

#include "ChartGdi.h"

#include <windows.h>

#include <optional>
#include <string>

namespace nortavi::win32 {

// Save as PNG through what Windows has: the common file dialog and the
// Windows Imaging Component. Their libraries (comdlg32, ole32) are loaded
// from the system folder at the first save, not at every start: most runs
// never save a picture.

// The system's Save As dialog, modal over `owner`, offering `suggested`
// (a file name) as a PNG image; asks before a file is replaced. The path
// chosen, or none when cancelled.
std::optional<std::wstring> AskPngPath(HWND owner, const std::wstring& title, const std::wstring& typeName,
                                       const std::wstring& suggested);

// The bitmap's pixels as a PNG file's bytes, marked with `dpi`; empty when
// they could not be encoded.
std::string PngBytes(const ChartBitmap& bitmap, UINT dpi);

}  // namespace nortavi::win32
