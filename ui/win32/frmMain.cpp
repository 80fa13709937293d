// SPDX-License-Identifier: MIT
#include "frmMain.h"

#include "DialogTemplate.h"
#include "ReadableColour.h"
#include "UserLocale.h"
#include "WideText.h"
#include "frmHistory.h"
#include "frmHistoryDesign.h"
#include "frmMainDesign.h"
#include "frmNotifyDesign.h"
#include "frmSetup.h"
#include "frmSetupDesign.h"

#include <string_view>
#include <utility>
#include <vector>

namespace nortavi::win32 {

namespace {

using Id = forms::frmMainId;
using behaviour::CloseReason;
using behaviour::MessageKind;

const forms::FormDesign& Design()
{
    return forms::frmMainDesign();
}

// Posted for each task of RunLater.
constexpr UINT kRunLater = WM_APP + 1;

// The system menu's "Night history..." item: below 0xF000, where the
// system's own commands are, and with the low four bits clear, which the
// system uses.
constexpr UINT kNightHistoryCommand = 0x0110;

// Ctrl+H, without Alt or Shift.
bool IsNightHistoryKey(const MSG& message)
{
    return message.message == WM_KEYDOWN && message.wParam == static_cast<WPARAM>(forms::kNightHistoryKey) &&
           GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0 && GetKeyState(VK_SHIFT) >= 0;
}

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
    const bool modal = name == L"#32770" || name == WideFromUtf8(forms::frmSetupDesign().name) ||
                       name == WideFromUtf8(forms::frmNotifyDesign().name);
    if (modal && IsWindowVisible(window) && IsOwnedBy(window, reinterpret_cast<HWND>(mainWindow))) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

bool HighContrastOn()
{
    HIGHCONTRASTW highContrast{};
    highContrast.cbSize = sizeof highContrast;
    if (!SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof highContrast, &highContrast, 0)) {
        return false;
    }
    return (highContrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace

frmMain::frmMain(Settings& settings, Clock& clock, SoundOutput& sound, ProgramFolders folders,
                 TimeStampFormat timeStampFormat, std::function<void()> onClosed)
    : behaviour_(settings, clock, sound, std::move(folders), std::move(timeStampFormat), *this),
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
    fHistoryForm.reset();
    if (hwnd_ != nullptr) {
        DestroyWindow(hwnd_);
    }
}

bool frmMain::PreTranslateMessage(MSG& message)
{
    if (hwnd_ == nullptr) {
        return false;
    }
    // Taken before a text box would see it as a backspace.
    if (IsNightHistoryKey(message) && (message.hwnd == hwnd_ || IsChild(hwnd_, message.hwnd))) {
        behaviour_.NightHistory_Click();
        return true;
    }
    if (fHistoryForm != nullptr && fHistoryForm->PreTranslateMessage(message)) {
        return true;
    }
    return IsDialogMessageW(hwnd_, &message) != FALSE;
}

INT_PTR frmMain::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_INITDIALOG:
            hwnd_ = window;
            highContrast_ = HighContrastOn();
            controls_ = std::make_unique<FormControls>(hwnd_, Design());
            fSetupForm = std::make_unique<frmSetup>(behaviour_.SetupForm());
            SendMessageW(hwnd_, DM_SETDEFID, Id::AlarmButton, 0);
            // The way into the night history window, without a control of
            // the window changing for it.
            if (const HMENU systemMenu = GetSystemMenu(hwnd_, FALSE); systemMenu != nullptr) {
                const std::wstring item = WideFromUtf8(forms::kNightHistoryItem) + L"\tCtrl+" +
                                          static_cast<wchar_t>(forms::kNightHistoryKey);
                AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
                AppendMenuW(systemMenu, MF_STRING, kNightHistoryCommand, item.c_str());
            }
            // Nothing to cancel until the first poll says otherwise.
            EnableWindow(Control(Id::AlarmButton), FALSE);
            behaviour_.Form_Load();
            SetFocus(Control(Design().initialFocus));
            return FALSE;  // the focus is set
        case WM_CTLCOLORSTATIC:
            return OnControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) {
                OnCommand(LOWORD(wParam));
            }
            return TRUE;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == kNightHistoryCommand) {
                behaviour_.NightHistory_Click();
                return TRUE;
            }
            return FALSE;  // the system's own commands
        case WM_TIMER:
            if (wParam == Id::Timer1) {
                behaviour_.Timer1_Timer();
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
            if (LOWORD(wParam) == WA_INACTIVE) {
                behaviour_.Form_Deactivate();
            }
            return FALSE;  // the dialog manager keeps the focus as ever
        case WM_SETTINGCHANGE:
            // The user changed Region in Control Panel: the sensor's next
            // time stamps follow the new format, and so does the reader.
            if (lParam != 0 &&
                std::wstring_view(reinterpret_cast<const wchar_t*>(lParam)) == L"intl") {
                behaviour_.SetTimeStampFormat(UserTimeStampFormat());
            }
            OnSystemLookChanged();  // High Contrast comes as SPI_SETHIGHCONTRAST
            return FALSE;
        case WM_SYSCOLORCHANGE:
            OnSystemLookChanged();
            return FALSE;
        case WM_QUERYENDSESSION:
            // Nothing here is worth holding up a log-off or shut-down for,
            // not even an open dialog: the settings are saved at the end.
            SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_ENDSESSION:
            // Windows ends the process once this returns, without WM_CLOSE;
            // under a dialog too, which then never returns.
            if (wParam != FALSE) {
                behaviour_.SessionEnding();
            }
            return FALSE;
        case WM_CLOSE:
            if (behaviour_.Form_QueryUnload(CloseReason::User)) {
                DestroyWindow(hwnd_);
            }
            return TRUE;
        case kRunLater:
            if (!runLater_.empty()) {
                const std::function<void()> task = std::move(runLater_.front());
                runLater_.pop_front();
                task();
            }
            return TRUE;
        case WM_NCDESTROY: {
            hwnd_ = nullptr;
            runLater_.clear();
            if (auto onClosed = std::move(onClosed_)) {
                onClosed();
            }
            return FALSE;
        }
        default:
            if (message == showRequest_ && showRequest_ != 0) {
                BringToFront();
                SetWindowLongPtrW(window, DWLP_MSGRESULT, kShown);
                return TRUE;
            }
            return FALSE;
    }
}

void frmMain::OnSystemLookChanged()
{
    highContrast_ = HighContrastOn();
    if (controls_ == nullptr) {
        return;  // not built yet: they are painted with it
    }
    InvalidateRect(Control(Id::ConditionField), nullptr, TRUE);
    InvalidateRect(Control(Id::StatusField), nullptr, TRUE);
}

void frmMain::BringToFront()
{
    // The second start gave this process the right to take the foreground.
    ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(GetLastActivePopup(hwnd_));
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
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    if (highContrast_) {
        colour = forms::ReadableTextColour(colour, face, GetSysColor(COLOR_BTNTEXT));
    }
    SetTextColor(dc, static_cast<COLORREF>(colour & 0xFFFFFFu));
    SetBkColor(dc, face);
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

void frmMain::OnCommand(int id)
{
    switch (id) {
        case Id::AlarmButton:
            behaviour_.AlarmButton_Click();  // Enter reaches here too
            break;
        case Id::AboutButton:
            behaviour_.AboutButton_Click();
            break;
        case Id::SetupButton:
            behaviour_.SetupButton_Click();
            break;
        default:
            break;  // Esc (IDCANCEL) does not close the main window
    }
}

void frmMain::Flash(bool on)
{
    FLASHWINFO flash{};
    flash.cbSize = sizeof flash;
    flash.hwnd = hwnd_;
    flash.dwFlags = on ? FLASHW_TRAY | FLASHW_TIMER : FLASHW_STOP;
    FlashWindowEx(&flash);
}

void frmMain::SetCaption(int control, const std::string& text)
{
    controls_->SetCaption(control, text);
}

void frmMain::SetTextColour(int control, Colour colour)
{
    if (control == Id::ConditionField) {
        conditionColour_ = colour;
    } else if (control == Id::StatusField) {
        statusColour_ = colour;
    } else {
        return;
    }
    InvalidateRect(Control(control), nullptr, TRUE);
}

void frmMain::SetEnabled(int control, bool enabled)
{
    const HWND button = Control(control);
    // A disabled control keeps no focus: hand it on, or the keyboard would
    // reach nothing.
    if (!enabled && GetFocus() == button) {
        SendMessageW(hwnd_, WM_NEXTDLGCTL, 0, FALSE);
    }
    EnableWindow(button, enabled ? TRUE : FALSE);
}

void frmMain::SetTitle(const std::string& title)
{
    SetWindowTextW(hwnd_, WideFromUtf8(title).c_str());
}

void frmMain::ShowMessage(MessageKind kind, const std::string& text)
{
    const UINT icon = kind == MessageKind::About ? 0 : MB_ICONWARNING;
    // The chart's own warning comes over the chart, and leaves the main
    // window at hand as its file dialog does.
    HWND owner = hwnd_;
    if (kind == MessageKind::PictureSaveFailed && fHistoryForm != nullptr && fHistoryForm->hWnd() != nullptr) {
        owner = fHistoryForm->hWnd();
    }
    MessageBoxW(owner, WideFromUtf8(text).c_str(), WideFromUtf8(Design().caption).c_str(), MB_OK | icon);
}

void frmMain::ShowSetupDialog()
{
    fSetupForm->ShowModal(hwnd_);
}

void frmMain::StartTimer(int intervalMs)
{
    SetTimer(hwnd_, Id::Timer1, static_cast<UINT>(intervalMs), nullptr);
}

void frmMain::StopTimer()
{
    KillTimer(hwnd_, Id::Timer1);
}

void frmMain::AskForAttention(bool ask)
{
    // Flashes the task-bar button while an alarm is up, without taking the
    // keyboard from wherever the user is.
    Flash(ask);
}

bool frmMain::CloseModalWindows()
{
    // Each closes once its own loop takes the message: the main window's,
    // and the file dialog and warning over the night history window.
    EnumThreadWindows(GetCurrentThreadId(), CloseModalWindow, reinterpret_cast<LPARAM>(hwnd_));
    if (fHistoryForm != nullptr && fHistoryForm->hWnd() != nullptr) {
        EnumThreadWindows(GetCurrentThreadId(), CloseModalWindow,
                          reinterpret_cast<LPARAM>(fHistoryForm->hWnd()));
    }
    return false;
}

void frmMain::CloseLater()
{
    PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

void frmMain::RunLater(std::function<void()> task)
{
    runLater_.push_back(std::move(task));
    PostMessageW(hwnd_, kRunLater, 0, 0);
}

void frmMain::ShowHistoryWindow()
{
    if (fHistoryForm == nullptr) {
        fHistoryForm = std::make_unique<frmHistory>(behaviour_.HistoryForm());
    }
    fHistoryForm->Show(hwnd_);
}

void frmMain::RedrawHistory()
{
    if (fHistoryForm != nullptr) {
        fHistoryForm->Redraw();
    }
}

void frmMain::CloseHistoryWindow()
{
    if (fHistoryForm != nullptr) {
        fHistoryForm->Close();
    }
}

std::optional<std::string> frmMain::AskPicturePath(const std::string& suggested)
{
    return fHistoryForm != nullptr ? fHistoryForm->AskPicturePath(suggested) : std::nullopt;
}

std::string frmMain::HistoryPicture()
{
    return fHistoryForm != nullptr ? fHistoryForm->Picture() : std::string();
}

}  // namespace nortavi::win32
