// SPDX-License-Identifier: MIT
#include "Module1.h"

#include "FileSystem.h"
#include "InstanceLock.h"
#include "RunningCopy.h"
#include "SystemSound.h"
#include "TimeStampParser.h"
#include "UserLocale.h"
#include "WideText.h"
#include "frmMain.h"

#include <commctrl.h>

#include <string>
#include <utility>

namespace nortavi::win32 {

namespace {

// How the window first shows for the command the shortcut or `start` gave.
// A window of fixed size has nothing to gain from being maximised, and one
// started hidden could not be closed, so its settings would never be saved:
// both show normally. Minimised stays minimised.
int StartShowCommand(int requested)
{
    switch (requested) {
        case SW_SHOWMINIMIZED:
        case SW_MINIMIZE:
        case SW_SHOWMINNOACTIVE:
        case SW_SHOWNOACTIVATE:
        case SW_SHOWNA:
            return requested;
        default:
            return SW_SHOWNORMAL;
    }
}

void ShowAtStart(HWND window, int requested)
{
    ShowWindow(window, StartShowCommand(requested));
    // Windows may still put the shortcut's own command in place of the
    // first SW_SHOWNORMAL of a main window.
    if (IsZoomed(window) || !IsWindowVisible(window)) {
        ShowWindow(window, SW_SHOWNORMAL);
    }
}

}  // namespace

Module1::Module1(ProgramFolders folders)
    : sound_(platform::MakeSystemSound()),
      mainForm_(std::make_unique<frmMain>(settings_, clock_, *sound_, std::move(folders),
                                          UserTimeStampFormat(), [] { PostQuitMessage(0); }))
{
}

Module1::~Module1() = default;

int Module1::Main(int showCommand)
{
    ProgramFolders folders = LocateProgramFolders();
    const std::string settingsPath = folders.save + "config.ini";
    const platform::InstanceLock lock(settingsPath);
    const UINT showRequest = ShowRequestMessage(lock.Key());
    if (!lock.Held()) {
        // The copy that runs would write its own settings over ours at its
        // close: this one shows that copy's window and ends, writing nothing.
        if (!AskRunningCopyToShow(showRequest)) {
            const std::wstring text =
                L"Nortavi is already running with " + WideFromUtf8(settingsPath) + L".";
            MessageBoxW(nullptr, text.c_str(), L"Nortavi", MB_OK | MB_ICONINFORMATION);
        }
        return 0;
    }

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_BAR_CLASSES;  // buttons, edits, lists; tool tips
    InitCommonControlsEx(&controls);

    Module1 module(std::move(folders));
    const HWND window = module.mainForm_->hWnd();
    if (window == nullptr) {
        // Without its window the program could only run on unseen.
        MessageBoxW(nullptr, L"Nortavi could not open its window.", L"Nortavi",
                    MB_OK | MB_ICONERROR);
        return 1;
    }
    module.mainForm_->AnswerShowRequests(showRequest);
    ShowAtStart(window, showCommand);
    return RunMessageLoop(*module.mainForm_);
}

int RunMessageLoop(frmMain& mainForm)
{
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!mainForm.PreTranslateMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

}  // namespace nortavi::win32
