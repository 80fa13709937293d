// SPDX-License-Identifier: MIT
#include "frmMain.h"

#include "DialogTemplate.h"
#include "FormTexts.h"
#include "UserLocale.h"
#include "WideText.h"
#include "frmMainDesign.h"
#include "frmSetup.h"
#include "frmSetupDesign.h"

#include <string_view>
#include <utility>
#include <vector>

namespace nortavi::win32 {

namespace {

using Id = forms::frmMainId;

const forms::FormDesign& Design()
{
    return forms::frmMainDesign();
}

// Posted at start when the network publication could not start, so that
// the user is told once the window is up.
constexpr UINT kShowStartupWarning = WM_APP + 1;

// A fixed single-line frame with a minimise button and no maximise button.
constexpr DialogFrame kFrame{
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_SETFOREGROUND,
    WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, true};

// Whether `window` is owned by `owner`, directly or through other windows.
bool IsOwnedBy(HWND window, HWND owner)
{
    for (HWND up = GetWindow(window, GW_OWNER); up != nullptr; up = GetWindow(up, GW_OWNER)) {
        if (up == owner) {
            return true;
        }
    }
    return false;
}

// Closes the modal windows open above the main one: the setup dialog and
// message boxes (the system's dialog class), one over the other included.
// Tool tips and open drop-down lists are left to their controls.
BOOL CALLBACK CloseModalWindow(HWND window, LPARAM mainWindow)
{
    wchar_t className[16] = {};
    GetClassNameW(window, className, static_cast<int>(std::size(className)));
    const std::wstring_view name = className;
    const bool modal = name == L"#32770" || name == WideFromUtf8(forms::frmSetupDesign().name);
    if (modal && IsWindowVisible(window) && IsOwnedBy(window, reinterpret_cast<HWND>(mainWindow))) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

}  // namespace

// While a modal window is open, a request to close the main window closes
// the modal windows first; the close itself comes once they have returned,
// so nothing runs on in a handler whose window has gone.
class frmMain::ModalScope {
public:
    explicit ModalScope(frmMain& form) : form_(form) { ++form_.modalDepth_; }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
    ~ModalScope()
    {
        if (--form_.modalDepth_ == 0 && form_.closeRequested_) {
            form_.closeRequested_ = false;
            PostMessageW(form_.hwnd_, WM_CLOSE, 0, 0);
        }
    }

private:
    frmMain& form_;
};

frmMain::frmMain(Settings& settings, Clock& clock, SoundOutput& sound, ProgramFolders folders,
                 TimeStampFormat timeStampFormat, std::function<void()> onClosed)
    : settings_(settings),
      folders_(std::move(folders)),
      statusFile_(std::move(timeStampFormat)),
      configFile_(folders_.load, folders_.save),
      monitor_(settings_, MonitorPorts{clock, statusFile_, configFile_, fileProbe_, *this, sound,
                                       folders_.program, folders_.user, &publisher_.Board()}),
      onClosed_(std::move(onClosed)),
      conditionColour_(Design().Control(Id::ConditionField).textColour.value_or(kBlack)),
      statusColour_(Design().Control(Id::StatusField).textColour.value_or(kBlack))
{
    const std::vector<WORD> dialog = DialogTemplate(Design(), kFrame);
    // WM_INITDIALOG builds the controls and runs Form_Load before this returns.
    CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                               reinterpret_cast<const DLGTEMPLATE*>(dialog.data()), nullptr,
                               FormDialogProc<frmMain>, reinterpret_cast<LPARAM>(this));
}

frmMain::~frmMain()
{
    onClosed_ = nullptr;
    if (hwnd_ != nullptr) {
        DestroyWindow(hwnd_);
    }
}

bool frmMain::PreTranslateMessage(MSG& message)
{
    return hwnd_ != nullptr && IsDialogMessageW(hwnd_, &message) != FALSE;
}

INT_PTR frmMain::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_INITDIALOG:
            hwnd_ = window;
            controls_ = std::make_unique<FormControls>(hwnd_, Design());
            SendMessageW(hwnd_, DM_SETDEFID, Id::AlarmButton, 0);
            // Nothing to cancel until the first poll says otherwise.
            EnableWindow(Control(Id::AlarmButton), FALSE);
            Form_Load();
            SetFocus(Control(Design().initialFocus));
            return FALSE;  // the focus is set
        case WM_CTLCOLORSTATIC:
            return OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) {
                OnCommand(LOWORD(wParam));
            }
            return TRUE;
        case WM_TIMER:
            if (wParam == Id::Timer1) {
                Timer1_Timer();
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
        case WM_ACTIVATE:
            // Asked again whenever the user turns to another window while
            // the alarm is up: some window managers drop the request for the
            // window in use, or for one not yet shown.
            if (LOWORD(wParam) == WA_INACTIVE && askingForAttention_) {
                Flash(true);
            }
            return FALSE;  // the dialog manager keeps the focus as ever
        case WM_SETTINGCHANGE:
            // The user changed Region in Control Panel: the sensor's next
            // time stamps follow the new format, and so does the reader.
            if (lParam != 0 &&
                std::wstring_view(reinterpret_cast<const wchar_t*>(lParam)) == L"intl") {
                statusFile_.SetTimeStampFormat(UserTimeStampFormat());
            }
            return FALSE;
        case WM_CLOSE:
            OnClose();
            return TRUE;
        case kShowStartupWarning:
            if (!startupWarning_.empty() && !unloading_) {
                const ModalScope modal(*this);
                ShowMessage(std::exchange(startupWarning_, {}), MB_ICONWARNING);
            }
            return TRUE;
        case WM_NCDESTROY: {
            hwnd_ = nullptr;
            if (auto onClosed = std::move(onClosed_)) {
                onClosed();
            }
            return FALSE;
        }
        default:
            return FALSE;
    }
}

INT_PTR frmMain::OnControlColour(HDC dc, HWND control)
{
    Colour colour = 0;
    if (control == Control(Id::ConditionField)) {
        colour = conditionColour_;
    } else if (control == Control(Id::StatusField)) {
        colour = statusColour_;
    } else {
        return FALSE;  // the system's colours
    }
    // The stored colours are COLORREFs already: red in the low byte.
    SetTextColor(dc, static_cast<COLORREF>(colour & 0xFFFFFFu));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

void frmMain::OnCommand(int id)
{
    switch (id) {
        case Id::AlarmButton:
            // Enter reaches here too; a disabled button cancels nothing.
            if (IsWindowEnabled(Control(Id::AlarmButton))) {
                AlarmButton_Click();
            }
            break;
        case Id::AboutButton:
            AboutButton_Click();
            break;
        case Id::SetupButton:
            SetupButton_Click();
            break;
        default:
            break;  // Esc (IDCANCEL) does not close the main window
    }
}

void frmMain::OnClose()
{
    if (unloading_) {
        return;
    }
    if (modalDepth_ > 0) {
        closeRequested_ = true;
        EnumThreadWindows(GetCurrentThreadId(), CloseModalWindow, reinterpret_cast<LPARAM>(hwnd_));
        return;
    }
    Form_Unload();
    DestroyWindow(hwnd_);
}

void frmMain::Form_Load()
{
    polling_ = true;
    monitor_.StartUp([this] {
        fSetupForm = std::make_unique<frmSetup>(settings_, [this](std::uint16_t port, bool allowRemote) {
            return publisher_.PortUsable(port, allowRemote);
        });
        SetTimer(hwnd_, Id::Timer1, forms::kPollIntervalMs, nullptr);
    });
    polling_ = false;
    // Told once, as soon as the window is up: the window works without it.
    if (const auto problem = PublishStatus()) {
        startupWarning_ = *problem;
        PostMessageW(hwnd_, kShowStartupWarning, 0, 0);
    }
}

void frmMain::Timer1_Timer()
{
    // Ticks arrive through the message loop, so they cannot interrupt a
    // poll; should anything inside a poll ever run a loop (a message box, a
    // sound backend that waits), a tick that comes meanwhile is dropped,
    // not nested.
    if (polling_) {
        return;
    }
    polling_ = true;
    monitor_.RefreshStatus();
    polling_ = false;
}

void frmMain::AlarmButton_Click()
{
    monitor_.AlarmButton_Click();
}

void frmMain::AboutButton_Click()
{
    const ModalScope modal(*this);
    ShowMessage(forms::AboutText(), 0);
}

void frmMain::SetupButton_Click()
{
    const ModalScope modal(*this);
    fSetupForm->ShowModal(hwnd_);
    // Before the save, which then keeps a unique id made for a first start.
    const auto problem = PublishStatus();
    SaveConfig();  // after OK and Cancel alike
    if (problem) {
        ShowMessage(*problem, MB_ICONWARNING);
    }
}

std::optional<std::string> frmMain::PublishStatus()
{
    return publisher_.Apply(settings_.alpaca);
}

void frmMain::AskForAttention(bool ask)
{
    if (ask == askingForAttention_) {
        return;
    }
    askingForAttention_ = ask;
    Flash(ask);
}

void frmMain::Flash(bool on)
{
    FLASHWINFO flash{};
    flash.cbSize = sizeof flash;
    flash.hwnd = hwnd_;
    flash.dwFlags = on ? FLASHW_TRAY | FLASHW_TIMER : FLASHW_STOP;
    FlashWindowEx(&flash);
}

void frmMain::Form_Unload()
{
    // The window is going away: no further poll, and no alarm sweep while
    // the settings are saved.
    unloading_ = true;
    KillTimer(hwnd_, Id::Timer1);
    SaveConfig();
}

void frmMain::SaveConfig()
{
    if (!configFile_.SaveConfig(settings_)) {
        ShowMessage(forms::SaveFailedText(configFile_.Path()), MB_ICONWARNING);
    }
}

int frmMain::ShowMessage(const std::string& text, UINT icon)
{
    return MessageBoxW(hwnd_, WideFromUtf8(text).c_str(), WideFromUtf8(Design().caption).c_str(), MB_OK | icon);
}

void frmMain::SetConditionCaption(const std::string& caption)
{
    controls_->SetCaption(Id::ConditionField, caption);
}

void frmMain::SetConditionColour(Colour colour)
{
    conditionColour_ = colour;
    InvalidateRect(Control(Id::ConditionField), nullptr, TRUE);
}

void frmMain::SetStatusCaption(const std::string& caption)
{
    controls_->SetCaption(Id::StatusField, caption);
}

void frmMain::SetStatusColour(Colour colour)
{
    statusColour_ = colour;
    InvalidateRect(Control(Id::StatusField), nullptr, TRUE);
}

void frmMain::SetMinsSinceClearText(const std::string& text)
{
    SetWindowTextW(Control(Id::MinsSinceClearField), WideFromUtf8(text).c_str());
}

void frmMain::SetMinsSinceCloudyText(const std::string& text)
{
    SetWindowTextW(Control(Id::MinsSinceCloudyField), WideFromUtf8(text).c_str());
}

void frmMain::SetMinsSinceVCloudyText(const std::string& text)
{
    SetWindowTextW(Control(Id::MinsSinceVCloudyField), WideFromUtf8(text).c_str());
}

void frmMain::SetAlarmButtonCaption(const std::string& caption)
{
    controls_->SetCaption(Id::AlarmButton, caption);
}

void frmMain::SetAlarmButtonEnabled(bool enabled)
{
    const HWND button = Control(Id::AlarmButton);
    // A disabled control keeps no focus: hand it on, or the keyboard would
    // reach nothing.
    if (!enabled && GetFocus() == button) {
        SendMessageW(hwnd_, WM_NEXTDLGCTL, 0, FALSE);
    }
    EnableWindow(button, enabled ? TRUE : FALSE);
    // The button is enabled exactly while an alarm is up.
    AskForAttention(enabled);
}

}  // namespace nortavi::win32
