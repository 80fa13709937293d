// SPDX-License-Identifier: MIT
#include "RunningCopy.h"

#include "WideText.h"
#include "frmMain.h"
#include "frmMainDesign.h"

#include <string_view>

namespace nortavi::win32 {

namespace {

constexpr UINT kAnswerWaitMs = 2000;
constexpr DWORD kLookAgainMs = 50;
constexpr int kLooks = 40;

struct ShowRequest {
    UINT message;
    bool answered = false;
};

// Asks each main window in turn: only the copy on the same settings file
// knows the message, and answers it. Other copies, on other settings
// files, are left as they are.
BOOL CALLBACK AskMainWindow(HWND window, LPARAM request)
{
    auto& ask = *reinterpret_cast<ShowRequest*>(request);
    wchar_t className[16] = {};
    GetClassNameW(window, className, static_cast<int>(std::size(className)));
    if (std::wstring_view(className) != WideFromUtf8(forms::frmMainDesign().name)) {
        return TRUE;
    }
    // This start came from the user, so it may pass the foreground on.
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    AllowSetForegroundWindow(process);
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutW(window, ask.message, 0, 0, SMTO_ABORTIFHUNG, kAnswerWaitMs, &answer) !=
            0 &&
        answer == static_cast<DWORD_PTR>(frmMain::kShown)) {
        ask.answered = true;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

UINT ShowRequestMessage(const std::string& key)
{
    return RegisterWindowMessageW((L"Nortavi.ShowWindow." + WideFromUtf8(key)).c_str());
}

bool AskRunningCopyToShow(UINT showRequest)
{
    // The running copy takes the lock before it makes its window.
    for (int look = 0; look < kLooks; ++look) {
        ShowRequest request{showRequest};
        EnumWindows(AskMainWindow, reinterpret_cast<LPARAM>(&request));
        if (request.answered) {
            return true;
        }
        Sleep(kLookAgainMs);
    }
    return false;
}

}  // namespace nortavi::win32
