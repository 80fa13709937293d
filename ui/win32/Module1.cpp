// SPDX-License-Identifier: MIT
#include "Module1.h"

#include "FileSystem.h"
#include "SystemSound.h"
#include "TimeStampParser.h"
#include "UserLocale.h"
#include "frmMain.h"

#include <commctrl.h>

namespace nortavi::win32 {

Module1::Module1()
    : sound_(platform::MakeSystemSound()),
      mainForm_(std::make_unique<frmMain>(settings_, clock_, *sound_, LocateProgramFolders(),
                                          UserTimeStampFormat(), [] { PostQuitMessage(0); }))
{
}

Module1::~Module1() = default;

int Module1::Main(int showCommand)
{
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_BAR_CLASSES;  // buttons, edits, lists; tool tips
    InitCommonControlsEx(&controls);

    Module1 module;
    if (module.mainForm_->hWnd() == nullptr) {
        // Without its window the program could only run on unseen.
        MessageBoxW(nullptr, L"Nortavi could not open its window.", L"Nortavi",
                    MB_OK | MB_ICONERROR);
        return 1;
    }
    // As the shortcut or the command that started it asks: normal, or minimised.
    ShowWindow(module.mainForm_->hWnd(), showCommand);
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
