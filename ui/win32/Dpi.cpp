// SPDX-License-Identifier: MIT
#include "Dpi.h"

#include "WinDynCalls.h"

namespace nortavi::win32 {

namespace {

// The per-monitor calls are looked up at run time (WinDynCalls.h), so that
// the program still starts on Windows versions without them.
constexpr int kDialogDisableAll = 1;  // DDC_DISABLE_ALL

}  // namespace

UINT WindowDpi(HWND window)
{
    if (const auto getDpiForWindow = platform::DynGetDpiForWindow(); getDpiForWindow != nullptr) {
        if (const UINT dpi = getDpiForWindow(window); dpi != 0) {
            return dpi;
        }
    }
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

void SetClientSize(HWND window, int width, int height, UINT dpi, const POINT* position)
{
    const auto adjustForDpi = platform::DynAdjustWindowRectExForDpi();
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    RECT frame{0, 0, width, height};
    if (adjustForDpi != nullptr) {
        adjustForDpi(&frame, style, FALSE, exStyle, dpi);
    } else {
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    }
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (position == nullptr) {
        flags |= SWP_NOMOVE;
    }
    SetWindowPos(window, nullptr, position ? position->x : 0, position ? position->y : 0,
                 frame.right - frame.left, frame.bottom - frame.top, flags);
    // A frame can wrap its caption, or the system can round, so that the
    // first guess is off by a pixel or two: measure and correct once.
    RECT client{};
    GetClientRect(window, &client);
    const int dx = width - (client.right - client.left);
    const int dy = height - (client.bottom - client.top);
    if (dx != 0 || dy != 0) {
        RECT outer{};
        GetWindowRect(window, &outer);
        SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left + dx,
                     outer.bottom - outer.top + dy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    }
}

void TakeOverDialogDpiScaling(HWND dialog)
{
    const auto setBehavior = platform::DynSetDialogDpiChangeBehavior();
    if (setBehavior != nullptr) {
        setBehavior(dialog, kDialogDisableAll, kDialogDisableAll);
    }
}

}  // namespace nortavi::win32
