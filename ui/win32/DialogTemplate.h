// SPDX-License-Identifier: MIT
#pragma once

#include "FormDesign.h"

#include <windows.h>

#include <vector>

namespace nortavi::win32 {

// The two windows are dialogs, so that the system's dialog manager gives
// them Tab, Enter and Esc as users know them, but each has a window class
// of its own, named after the form ("frmMain", "frmSetup"). The template
// holds no controls: FormControls builds them in pixels for the DPI.
struct DialogFrame {
    DWORD style = 0;
    DWORD exStyle = 0;
    bool systemPlacesIt = false;  // where the system puts new windows
};

// Registers the form's window class once, and returns a template for it.
// The words must stay alive while the dialog is created.
std::vector<WORD> DialogTemplate(const forms::FormDesign& design, const DialogFrame& frame);

// Puts a dialog at the centre of its owner, whole on the owner's monitor.
void CentreOver(HWND window, HWND owner);

// The dialog procedure of a form object: the object comes as the creation
// parameter with WM_INITDIALOG and gets every message from then on.
template <typename Form>
INT_PTR CALLBACK FormDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
    }
    auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(window, DWLP_USER));
    return form != nullptr ? form->OnMessage(window, message, wParam, lParam) : FALSE;
}

}  // namespace nortavi::win32
