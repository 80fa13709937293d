// SPDX-License-Identifier: MIT
#include "frmSetup.h"

#include "DialogTemplate.h"
#include "WideText.h"
#include "frmSetupDesign.h"

#include <vector>

namespace nortavi::win32 {

namespace {

using Id = forms::frmSetupId;

const forms::FormDesign& Design()
{
    return forms::frmSetupDesign();
}

// A fixed dialog frame with a close box; owned by the main window, so it
// has no task-bar entry of its own.
constexpr DialogFrame kFrame{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                             WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, false};

// A number's text, whatever the code page: anything but ASCII (full-width
// digits, say) is no number, and the empty text is refused the same way.
std::string AsciiOrNothing(const std::wstring& text)
{
    std::string ascii;
    for (const wchar_t c : text) {
        if (c > 0x7F) {
            return {};
        }
        ascii += static_cast<char>(c);
    }
    return ascii;
}

}  // namespace

frmSetup::frmSetup(behaviour::frmSetupBehaviour& behaviour)
    : behaviour_(behaviour), fNotifyForm(behaviour.NotifyForm())
{
}

INT_PTR frmSetup::ShowModal(HWND owner)
{
    const std::vector<WORD> dialog = DialogTemplate(Design(), kFrame);
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr),
                                   reinterpret_cast<const DLGTEMPLATE*>(dialog.data()), owner,
                                   FormDialogProc<frmSetup>, reinterpret_cast<LPARAM>(this));
}

INT_PTR frmSetup::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
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
            // Enter gives IDOK, Esc and the close box IDCANCEL: the ids of the
            // two buttons.
            if (LOWORD(wParam) == Id::cmdOK) {
                cmdOK_Click();
            } else if (LOWORD(wParam) == Id::cmdCancel) {
                cmdCancel_Click();
            } else if (LOWORD(wParam) == Id::NotifyButton && HIWORD(wParam) == BN_CLICKED) {
                fNotifyForm.ShowModal(hwnd_);
            }
            return TRUE;
        case WM_DPICHANGED:
            // Also sent while the controls are first placed, should that
            // carry the window onto another monitor; they then follow its
            // DPI at once.
            if (controls_ != nullptr) {
                controls_->OnDpiChanged(wParam, lParam);
            }
            return TRUE;
        case WM_NCDESTROY:
            // The controls have gone; their fonts go now.
            controls_.reset();
            hwnd_ = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

void frmSetup::Form_Load()
{
    // Every control is filled afresh, so nothing typed in an earlier
    // opening shows again.
    const forms::SetupEntries entries = behaviour_.Form_Load();
    loadedPath_ = behaviour_.Stored().statusPath;
    loadedPathText_ = WideFromUtf8(loadedPath_);
    SetWindowTextW(controls_->Get(Id::StatusPathField), loadedPathText_.c_str());
    SetWindowTextW(controls_->Get(Id::TimeToSafeField), WideFromUtf8(entries.timeToSafe).c_str());
    SetWindowTextW(controls_->Get(Id::TimeToUnsafeField), WideFromUtf8(entries.timeToUnsafe).c_str());
    SendMessageW(controls_->Get(Id::Combo1), CB_SETCURSEL, static_cast<WPARAM>(entries.comboIndex),
                 0);
    SendMessageW(controls_->Get(Id::AlarmOnSafeCheck), BM_SETCHECK,
                 entries.alarmOnSafe ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageW(controls_->Get(Id::AlarmOnUnsafeCheck), BM_SETCHECK,
                 entries.alarmOnUnsafe ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageW(controls_->Get(Id::AlpacaServerCheck), BM_SETCHECK,
                 entries.alpacaServer ? BST_CHECKED : BST_UNCHECKED, 0);
    SetWindowTextW(controls_->Get(Id::AlpacaPortField), WideFromUtf8(entries.alpacaPort).c_str());
    SendMessageW(controls_->Get(Id::AlpacaAllowRemoteCheck), BM_SETCHECK,
                 entries.alpacaAllowRemote ? BST_CHECKED : BST_UNCHECKED, 0);
    SetWindowTextW(controls_->Get(Id::AlpacaDiscoveryPortField), WideFromUtf8(entries.alpacaDiscoveryPort).c_str());
}

forms::SetupEntries frmSetup::ReadEntries() const
{
    forms::SetupEntries entries;
    const std::wstring pathText = WindowText(controls_->Get(Id::StatusPathField));
    entries.statusPathEdited = pathText != loadedPathText_;
    entries.statusPath = entries.statusPathEdited ? Utf8FromWide(pathText) : loadedPath_;
    entries.timeToSafe = AsciiOrNothing(WindowText(controls_->Get(Id::TimeToSafeField)));
    entries.timeToUnsafe = AsciiOrNothing(WindowText(controls_->Get(Id::TimeToUnsafeField)));
    entries.comboIndex =
        static_cast<int>(SendMessageW(controls_->Get(Id::Combo1), CB_GETCURSEL, 0, 0));
    entries.alarmOnSafe =
        SendMessageW(controls_->Get(Id::AlarmOnSafeCheck), BM_GETCHECK, 0, 0) == BST_CHECKED;
    entries.alarmOnUnsafe =
        SendMessageW(controls_->Get(Id::AlarmOnUnsafeCheck), BM_GETCHECK, 0, 0) == BST_CHECKED;
    entries.alpacaServer = SendMessageW(controls_->Get(Id::AlpacaServerCheck), BM_GETCHECK, 0, 0) == BST_CHECKED;
    entries.alpacaPort = AsciiOrNothing(WindowText(controls_->Get(Id::AlpacaPortField)));
    entries.alpacaAllowRemote =
        SendMessageW(controls_->Get(Id::AlpacaAllowRemoteCheck), BM_GETCHECK, 0, 0) == BST_CHECKED;
    entries.alpacaDiscoveryPort = AsciiOrNothing(WindowText(controls_->Get(Id::AlpacaDiscoveryPortField)));
    return entries;
}

void frmSetup::cmdOK_Click()
{
    if (const auto refusal = behaviour_.cmdOK_Click(ReadEntries())) {
        Refuse(*refusal);
        return;
    }
    EndDialog(hwnd_, IDOK);
}

void frmSetup::cmdCancel_Click()
{
    EndDialog(hwnd_, IDCANCEL);
}

void frmSetup::Refuse(const forms::SetupRefusal& refusal)
{
    MessageBoxW(hwnd_, WideFromUtf8(refusal.message).c_str(), WideFromUtf8(Design().caption).c_str(),
                MB_OK | MB_ICONWARNING);
    if (hwnd_ == nullptr) {
        return;  // closed while the message was up
    }
    const HWND field = controls_->Get(refusal.field);
    SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
    SendMessageW(field, EM_SETSEL, 0, -1);
}

}  // namespace nortavi::win32
