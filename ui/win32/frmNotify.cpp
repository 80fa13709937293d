// SPDX-License-Identifier: MIT
#include "frmNotify.h"

#include "DialogTemplate.h"
#include "WideText.h"
#include "frmNotifyDesign.h"

#include <utility>
#include <vector>

namespace nortavi::win32 {

namespace {

using Id = forms::frmNotifyId;

const forms::FormDesign& Design()
{
    return forms::frmNotifyDesign();
}

// As Setup's: a fixed frame with a close box, owned by the window below.
constexpr DialogFrame kFrame{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                             WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, false};

}  // namespace

frmNotify::frmNotify(behaviour::frmNotifyBehaviour& behaviour) : behaviour_(behaviour)
{
}

INT_PTR frmNotify::ShowModal(HWND owner)
{
    const std::vector<WORD> dialog = DialogTemplate(Design(), kFrame);
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                   reinterpret_cast<const DLGTEMPLATE*>(dialog.data()), owner,
                                   FormDialogProc<frmNotify>, reinterpret_cast<LPARAM>(this));
}

INT_PTR frmNotify::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_INITDIALOG:
            hwnd_ = window;
            controls_ = std::make_unique<FormControls>(hwnd_, Design());
            CentreOver(hwnd_, GetWindow(hwnd_, GW_OWNER));
            Form_Load();
            SetFocus(controls_->Get(Design().initialFocus));
            return FALSE;  // the focus is set
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case Id::cmdOK:  // Enter too
                    cmdOK_Click();
                    break;
                case Id::cmdCancel:  // Esc and the close box too
                    EndDialog(hwnd_, IDCANCEL);
                    break;
                case Id::cmdTest:
                    if (HIWORD(wParam) == BN_CLICKED) {
                        cmdTest_Click();
                    }
                    break;
                default:
                    break;
            }
            return TRUE;
        case WM_TIMER:
            if (wParam == Id::Timer1) {
                Timer1_Timer();
            }
            return TRUE;
        case WM_DPICHANGED:
            if (controls_ != nullptr) {
                controls_->OnDpiChanged(wParam, lParam);
            }
            return TRUE;
        case WM_NCDESTROY:
            controls_.reset();
            hwnd_ = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

void frmNotify::Form_Load()
{
    const forms::NotifyEntries e = behaviour_.Form_Load();
    for (const auto& check : forms::kNotifyChecks) {
        SendMessageW(controls_->Get(check.id), BM_SETCHECK,
                     e.*check.entry ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    for (const auto& field : forms::kNotifyTexts) {
        SetWindowTextW(controls_->Get(field.id), WideFromUtf8(e.*field.entry).c_str());
    }
    // A test still on its way from an earlier opening is told here.
    ShowTesting(behaviour_.Testing());
}

forms::NotifyEntries frmNotify::ReadEntries() const
{
    const auto checked = [this](int id) {
        return SendMessageW(controls_->Get(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    };
    // A lone surrogate cannot be UTF-8; it reads as U+FFFD, which no entry takes.
    const auto text = [this](int id) {
        return Utf8FromWide(WindowText(controls_->Get(id))).value_or("\xEF\xBF\xBD");
    };
    forms::NotifyEntries e;
    for (const auto& check : forms::kNotifyChecks) {
        e.*check.entry = checked(check.id);
    }
    for (const auto& field : forms::kNotifyTexts) {
        e.*field.entry = text(field.id);
    }
    return e;
}

void frmNotify::cmdOK_Click()
{
    const auto stored = behaviour_.cmdOK_Click(ReadEntries());
    if (stored.refusal) {
        Refuse(*stored.refusal);
        return;
    }
    if (!stored.warning.empty()) {
        Tell(stored.warning, true);
    }
    if (hwnd_ != nullptr) {
        EndDialog(hwnd_, IDOK);
    }
}

void frmNotify::cmdTest_Click()
{
    if (const auto refusal = behaviour_.cmdTest_Click(ReadEntries())) {
        Refuse(*refusal);
        return;
    }
    ShowTesting(true);
}

void frmNotify::Timer1_Timer()
{
    if (const auto result = behaviour_.TestResult()) {
        ShowTesting(false);
        Tell(*result, false);
    }
}

void frmNotify::ShowTesting(bool testing)
{
    const HWND button = controls_->Get(Id::cmdTest);
    if (!testing) {
        KillTimer(hwnd_, Id::Timer1);
    }
    // A disabled button keeps no focus: hand it on first.
    if (testing && GetFocus() == button) {
        SendMessageW(hwnd_, WM_NEXTDLGCTL, 0, FALSE);
    }
    controls_->SetCaption(
        Id::cmdTest, testing ? forms::kTestSendingCaption : Design().Control(Id::cmdTest).caption);
    EnableWindow(button, testing ? FALSE : TRUE);
    if (testing) {
        SetTimer(hwnd_, Id::Timer1, forms::kTestPollIntervalMs, nullptr);
    }
}

void frmNotify::Refuse(const forms::SetupRefusal& refusal)
{
    Tell(refusal.message, true);
    if (hwnd_ == nullptr) {
        return;  // closed while the message was up
    }
    const HWND field = controls_->Get(refusal.field);
    SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
    SendMessageW(field, EM_SETSEL, 0, -1);
}

void frmNotify::Tell(const std::string& message, bool warning)
{
    MessageBoxW(hwnd_, WideFromUtf8(message).c_str(), WideFromUtf8(Design().caption).c_str(),
                MB_OK | (warning ? MB_ICONWARNING : MB_ICONINFORMATION));
}

}  // namespace nortavi::win32
