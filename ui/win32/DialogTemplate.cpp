// SPDX-License-Identifier: MIT
#include "DialogTemplate.h"

#include "Resources.h"
#include "WideText.h"

#include <algorithm>
#include <cstring>

namespace nortavi::win32 {

namespace {

// The 16-bit form of CW_USEDEFAULT that a dialog template may hold.
constexpr short kDefaultPosition = static_cast<short>(0x8000);

void Append(std::vector<WORD>& words, const std::wstring& text)
{
    words.insert(words.end(), text.begin(), text.end());
    words.push_back(0);
}

void RegisterFormClass(const std::wstring& name)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, name.c_str(), &existing)) {
        return;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefDlgProcW;
    windowClass.cbWndExtra = DLGWINDOWEXTRA;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_NORTAVI));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_NORTAVI),
                                                        IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name.c_str();
    RegisterClassExW(&windowClass);
}

}  // namespace

std::vector<WORD> DialogTemplate(const forms::FormDesign& design, const DialogFrame& frame)
{
    const std::wstring className = WideFromUtf8(design.name);
    RegisterFormClass(className);

    DLGTEMPLATE header{};
    header.style = frame.style;
    header.dwExtendedStyle = frame.exStyle;
    header.cdit = 0;
    header.x = frame.systemPlacesIt ? kDefaultPosition : 0;
    header.y = 0;
    std::vector<WORD> words(sizeof header / sizeof(WORD));
    static_assert(sizeof header % sizeof(WORD) == 0);
    std::memcpy(words.data(), &header, sizeof header);
    words.push_back(0);  // no menu
    Append(words, className);
    Append(words, WideFromUtf8(design.caption));
    return words;
}

void CentreOver(HWND window, HWND owner)
{
    if (owner == nullptr) {
        return;
    }
    RECT ownerRect{};
    RECT own{};
    GetWindowRect(owner, &ownerRect);
    GetWindowRect(window, &own);
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    int left = (ownerRect.left + ownerRect.right - width) / 2;
    int top = (ownerRect.top + ownerRect.bottom - height) / 2;
    // Whole on the screen, even over a main window half off it.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        left = std::clamp(left, static_cast<int>(work.left),
                          std::max<int>(work.left, work.right - width));
        top = std::clamp(top, static_cast<int>(work.top),
                         std::max<int>(work.top, work.bottom - height));
    }
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace nortavi::win32
