// SPDX-License-Identifier: MIT
#pragma once

#include "FileSystem.h"
#include "FormControls.h"
#include "Ports.h"
#include "Settings.h"
#include "TimeStampParser.h"
#include "frmMainBehaviour.h"
#include "frmMainHost.h"

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace nortavi::win32 {

class frmHistory;
class frmSetup;

// The main window: draws the sky condition, the minutes since each
// condition and the SAFE/UNSAFE status, and routes its timer, buttons,
// keys and the session's end to what the window does (frmMainBehaviour).
// An item of its system menu and Ctrl+H open the night history window.
// It runs the load sequence as soon as it is created, so the first poll
// has run before it is first shown.
class frmMain final : private behaviour::frmMainHost {
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

    // The window's turn at a message before it is dispatched: Ctrl+H, then
    // the dialog manager's keys (Tab, Enter, Esc) here and in the night
    // history window; true when it took it.
    bool PreTranslateMessage(MSG& message);

    // The night history window; null until first opened.
    frmHistory* HistoryForm() const { return fHistoryForm.get(); }

    // From now on `message` (a registered one) brings the window to the
    // front, restored if minimised, and is answered kShown: how a second
    // start on the same settings hands over to this copy.
    void AnswerShowRequests(UINT message) { showRequest_ = message; }
    static constexpr LRESULT kShown = 0x4E56;

private:
    template <typename Form>
    friend INT_PTR CALLBACK FormDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnControlColour(HDC dc, HWND control);
    // High Contrast turned on or off, or the system's colours changed.
    void OnSystemLookChanged();
    void BringToFront();
    void OnCommand(int id);
    void Flash(bool on);

    // What the behaviour asks of the window.
    void SetCaption(int control, const std::string& text) override;
    void SetTextColour(int control, Colour colour) override;
    void SetEnabled(int control, bool enabled) override;
    void SetTitle(const std::string& title) override;
    void ShowMessage(behaviour::MessageKind kind, const std::string& text) override;
    void ShowSetupDialog() override;
    void StartTimer(int intervalMs) override;
    void StopTimer() override;
    void AskForAttention(bool ask) override;
    bool CloseModalWindows() override;
    void CloseLater() override;
    void RunLater(std::function<void()> task) override;
    void ShowHistoryWindow() override;
    void RedrawHistory() override;
    void CloseHistoryWindow() override;
    std::optional<std::string> AskPicturePath(const std::string& suggested) override;
    std::string HistoryPicture() override;

    behaviour::frmMainBehaviour behaviour_;
    std::function<void()> onClosed_;

    HWND hwnd_ = nullptr;
    std::unique_ptr<FormControls> controls_;
    std::unique_ptr<frmSetup> fSetupForm;
    Colour conditionColour_;
    Colour statusColour_;
    bool highContrast_ = false;  // the user asked for the system's own colours
    UINT showRequest_ = 0;
    std::deque<std::function<void()>> runLater_;
    // Destroyed before the behaviour it reports to.
    std::unique_ptr<frmHistory> fHistoryForm;
};

}  // namespace nortavi::win32
