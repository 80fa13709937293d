// SPDX-License-Identifier: MIT
#pragma once

#include <windows.h>

namespace nortavi::win32 {

// The dots per inch a window is drawn at: its monitor's where Windows can
// tell (Windows 10 1607 on), the system's otherwise.
UINT WindowDpi(HWND window);

// Resizes a window so that its client area has this size in pixels at
// `dpi`, the frame drawn at that DPI too. Moves it to `position` if given.
void SetClientSize(HWND window, int width, int height, UINT dpi, const POINT* position = nullptr);

// The windows lay themselves out again for a new DPI; Windows must not
// rescale a dialog's controls and fonts on its own as well.
void TakeOverDialogDpiScaling(HWND dialog);

}  // namespace nortavi::win32
