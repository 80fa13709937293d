// SPDX-License-Identifier: MIT
#pragma once

#include "FormControls.h"
#include "SetupEntries.h"
#include "frmNotify.h"
#include "frmSetupBehaviour.h"

#include <windows.h>

#include <memory>
#include <string>

namespace nortavi::win32 {

// The setup dialog: draws what frmSetupBehaviour does. Each opening builds
// the window anew and fills its controls from the settings; only OK stores
// them back. Closing destroys the window; this object stays for the next
// opening.
class frmSetup {
public:
    explicit frmSetup(behaviour::frmSetupBehaviour& behaviour);
    frmSetup(const frmSetup&) = delete;
    frmSetup& operator=(const frmSetup&) = delete;

    // Shows the dialog modally over `owner`, centred on it; returns when it
    // has closed, by whatever means: IDOK after OK, IDCANCEL otherwise.
    INT_PTR ShowModal(HWND owner);

    // The open dialog's window; null while it is closed.
    HWND hWnd() const { return hwnd_; }

private:
    template <typename Form>
    friend INT_PTR CALLBACK FormDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    void Form_Load();
    void cmdOK_Click();
    void cmdCancel_Click();

    // Tells the user why OK did not close, then hands the field back with
    // its text selected so the next keystroke replaces it.
    void Refuse(const forms::SetupRefusal& refusal);

    forms::SetupEntries ReadEntries() const;

    behaviour::frmSetupBehaviour& behaviour_;
    HWND hwnd_ = nullptr;
    std::unique_ptr<FormControls> controls_;
    frmNotify fNotifyForm;

    // The path's bytes as this opening found them, and the text that showed
    // them: a path the field cannot show exactly is stored back unchanged
    // as long as the user leaves the field alone.
    std::string loadedPath_;
    std::wstring loadedPathText_;
};

}  // namespace nortavi::win32
