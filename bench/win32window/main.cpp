// SPDX-License-Identifier: MIT
// The least a Win32 program does to show a window the size of Nortavi's
// main window: what is left over when Nortavi.exe is measured against it
// is Nortavi's own.
//
//   bare-win32-window.exe       an empty window
//   bare-win32-window-cc6.exe   the same with common controls 6 (the
//                               manifest Nortavi.exe carries), one 36-point
//                               caption and one text box
#include <windows.h>

#ifdef WITH_COMMON_CONTROLS_6
#include <commctrl.h>
#endif

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
#ifdef WITH_COMMON_CONTROLS_6
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
#endif
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"BareWin32Window";
    RegisterClassW(&windowClass);

    constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, 308, 509};
    AdjustWindowRect(&frame, style, FALSE);
    const HWND window = CreateWindowW(
        L"BareWin32Window", L"Bare Win32 window", style, CW_USEDEFAULT, CW_USEDEFAULT,
        frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
#ifdef WITH_COMMON_CONTROLS_6
    const HWND caption = CreateWindowW(L"Static", L"UNKNOWN", WS_CHILD | WS_VISIBLE | SS_CENTER, 16,
                                       184, 273, 65, window, nullptr, instance, nullptr);
    const HFONT font = CreateFontW(-48, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                   DEFAULT_PITCH | FF_SWISS, L"Microsoft Sans Serif");
    SendMessageW(caption, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    const HWND field =
        CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", L"0", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 176,
                        24, 49, 19, window, nullptr, instance, nullptr);
    SetFocus(field);
#endif
    ShowWindow(window, showCommand);

    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
