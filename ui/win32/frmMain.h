// SPDX-License-Identifier: MIT
#pragma once

#include "AlpacaPublisher.h"
#include "ConfigFile.h"
#include "FileSystem.h"
#include "FormControls.h"
#include "Monitor.h"
#include "Ports.h"
#include "Settings.h"
#include "StatusFile.h"
#include "TimeStampParser.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <memory>
#include <string>

namespace nortavi::win32 {

class frmSetup;

// The main window: shows the sky condition, the minutes since each
// condition and the SAFE/UNSAFE status, polls the status file every five
// seconds and owns the alarm button. It is the display the monitoring core
// writes to, and it runs the load sequence as soon as it is created, so the
// first poll has run before it is first shown.
class frmMain final : public MainDisplay {
public:
    // `folders` say where config.ini and alarm.wav are (a single folder for
    // the portable layout); `timeStampFormat` is how the user's region
    // writes a date and time.
    // `onClosed` runs once the window has gone.
    frmMain(Settings& settings, Clock& clock, SoundOutput& sound, ProgramFolders folders,
            TimeStampFormat timeStampFormat, std::function<void()> onClosed = {});
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;
    ~frmMain() override;

    HWND hWnd() const { return hwnd_; }
    HWND Control(int id) const { return controls_->Get(id); }

    // The dialog manager's turn at a message (Tab, Enter, Esc); true when
    // it took it.
    bool PreTranslateMessage(MSG& message);

    // The display operations of the monitoring core.
    void SetConditionCaption(const std::string& caption) override;
    void SetConditionColour(Colour colour) override;
    void SetStatusCaption(const std::string& caption) override;
    void SetStatusColour(Colour colour) override;
    void SetMinsSinceClearText(const std::string& text) override;
    void SetMinsSinceCloudyText(const std::string& text) override;
    void SetMinsSinceVCloudyText(const std::string& text) override;
    void SetAlarmButtonCaption(const std::string& caption) override;
    void SetAlarmButtonEnabled(bool enabled) override;

private:
    class ModalScope;

    template <typename Form>
    friend INT_PTR CALLBACK FormDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnControlColour(HDC dc, HWND control);
    void OnCommand(int id);
    void OnClose();

    void Form_Load();
    void Form_Unload();
    void Timer1_Timer();
    void AlarmButton_Click();
    void AboutButton_Click();
    void SetupButton_Click();

    // Writes config.ini; tells the user when it could not be written, since
    // the settings would otherwise be lost without a word.
    void SaveConfig();
    int ShowMessage(const std::string& text, UINT icon);
    // Serves the status on the network as the settings say; what went wrong
    // comes back to be told.
    std::optional<std::string> PublishStatus();
    // Flashes the task-bar button while an alarm is up, without taking the
    // keyboard from wherever the user is.
    void AskForAttention(bool ask);
    void Flash(bool on);

    Settings& settings_;
    ProgramFolders folders_;
    StatusFile statusFile_;
    ConfigFile configFile_;
    DiskFileProbe fileProbe_;
    alpaca::AlpacaPublisher publisher_;
    Monitor monitor_;
    std::function<void()> onClosed_;

    HWND hwnd_ = nullptr;
    std::unique_ptr<FormControls> controls_;
    std::unique_ptr<frmSetup> fSetupForm;
    Colour conditionColour_;
    Colour statusColour_;
    bool polling_ = false;
    int modalDepth_ = 0;
    bool closeRequested_ = false;
    bool unloading_ = false;
    bool askingForAttention_ = false;
    std::string startupWarning_;  // told once the window is up
};

}  // namespace nortavi::win32
