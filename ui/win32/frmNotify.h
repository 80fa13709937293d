// SPDX-License-Identifier: MIT
#pragma once

#include "FormControls.h"
#include "frmNotifyBehaviour.h"

#include <windows.h>

#include <memory>
#include <string>

namespace nortavi::win32 {

// The notification settings, opened from Setup: draws what
// frmNotifyBehaviour does. Each opening builds the window anew and fills
// its controls; OK stores them in Setup's settings, "Send test message"
// sends without storing. Closing destroys the window; this object stays.
class frmNotify {
public:
    explicit frmNotify(behaviour::frmNotifyBehaviour& behaviour);
    frmNotify(const frmNotify&) = delete;
    frmNotify& operator=(const frmNotify&) = delete;

    // Shows the dialog modally over `owner`; returns when it has closed:
    // IDOK after OK, IDCANCEL otherwise.
    INT_PTR ShowModal(HWND owner);

    // The open dialog's window; null while it is closed.
    HWND hWnd() const { return hwnd_; }

private:
    template <typename Form>
    friend INT_PTR CALLBACK FormDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    void Form_Load();
    void cmdOK_Click();
    void cmdTest_Click();
    void Timer1_Timer();

    forms::NotifyEntries ReadEntries() const;
    void Refuse(const forms::SetupRefusal& refusal);
    void Tell(const std::string& message, bool warning);
    void ShowTesting(bool testing);

    behaviour::frmNotifyBehaviour& behaviour_;
    HWND hwnd_ = nullptr;
    std::unique_ptr<FormControls> controls_;
};

}  // namespace nortavi::win32
