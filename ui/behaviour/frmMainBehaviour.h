// SPDX-License-Identifier: MIT
#pragma once

#include "ChartDrawing.h"
#include "FileSystem.h"
#include "MonitorService.h"
#include "Ports.h"
#include "Settings.h"
#include "TimeStampParser.h"
#include "frmHistoryEvents.h"
#include "frmMainHost.h"
#include "frmSetupBehaviour.h"

#include <memory>
#include <optional>
#include <string>

namespace nortavi::behaviour {

// Who asked for the window to close.
enum class CloseReason {
    User,     // the close box, Alt+F4, the task bar: questions may be asked
    Session,  // log-off, shut-down, a signal: nobody is there to answer
};

// What the main window does, written once for every front end: the load
// sequence, the guard that keeps polls from nesting, the buttons, the
// network publication and its warning, saving config.ini (after Setup, on
// close and when the session ends), the night log's warning, asking for
// attention while an alarm is up, a notification route that delivers
// nothing, in the title, and the night history window (opened from here,
// drawn again at each poll, saved as PNG, closed with the main window). It
// runs the monitoring service; the window only draws what it is told
// (frmMainHost) and routes its events here.
class frmMainBehaviour final : private MainDisplay {
public:
    // `folders` say where config.ini and alarm.wav are; `timeStampFormat`
    // is how the system writes a date and time.
    frmMainBehaviour(Settings& settings, Clock& clock, SoundOutput& sound, ProgramFolders folders,
                     TimeStampFormat timeStampFormat, frmMainHost& host);
    frmMainBehaviour(const frmMainBehaviour&) = delete;
    frmMainBehaviour& operator=(const frmMainBehaviour&) = delete;
    ~frmMainBehaviour() override;

    // The load sequence, first poll included, then the network
    // publication, saving config.ini when it made the unique id; a problem
    // with the publication is told once the window is up.
    void Form_Load();
    void Timer1_Timer();
    // Enter reaches here too: with no alarm up it does nothing.
    void AlarmButton_Click();
    void AboutButton_Click();
    void SetupButton_Click();
    // "Night history..." (a menu of the window, or Ctrl+H): opens the
    // history window, or brings it to the front.
    void NightHistory_Click();

    // A request to close the window. True when it may close now: the timer
    // has stopped and the settings are saved. Modal windows open above it
    // are asked to close first; where they close only once the event loop
    // runs, this is false and, once the last has returned, the host is
    // asked to close again (CloseLater), so nothing runs on in a handler
    // whose window has gone.
    bool Form_QueryUnload(CloseReason reason);

    // The session is ending (log-off, shut-down): the settings are saved
    // now, without a word, since the process may be ended at any moment
    // after. The window goes on as before should the session not end.
    void SessionEnding();

    // The user turned to another window: a window manager may have dropped
    // the request for attention of the window in use.
    void Form_Deactivate();

    // The system's date and time format changed (Region in Control Panel).
    void SetTimeStampFormat(TimeStampFormat format) { service_.SetTimeStampFormat(std::move(format)); }

    // What the setup dialog draws; it lives as long as this.
    frmSetupBehaviour& SetupForm() { return fSetupForm; }
    // What the night history window draws and does; it lives as long as this.
    frmHistoryEvents& HistoryForm();

    // The night chart of the last twelve hours up to the latest poll, laid
    // out in `width` x `height` logical pixels (1/96 inch) for a window to
    // draw: ask again after each poll to keep it current.
    history::ChartDrawing NightChart(double width, double height) const
    {
        return service_.NightChartDrawing(width, height);
    }

    const MonitorState& State() const { return service_.State(); }

private:
    class ModalScope;
    class HistoryEvents;

    // The display operations of the monitoring core, passed on to the host.
    void SetConditionCaption(const std::string& caption) override;
    void SetConditionColour(Colour colour) override;
    void SetStatusCaption(const std::string& caption) override;
    void SetStatusColour(Colour colour) override;
    void SetMinsSinceClearText(const std::string& text) override;
    void SetMinsSinceCloudyText(const std::string& text) override;
    void SetMinsSinceVCloudyText(const std::string& text) override;
    void SetAlarmButtonCaption(const std::string& caption) override;
    void SetAlarmButtonEnabled(bool enabled) override;

    void Form_Unload(CloseReason reason);
    // Writes config.ini; unless `quiet`, tells the user when it could not
    // be written, since the settings would otherwise be lost without a word.
    void SaveConfig(bool quiet);
    void ShowMessage(MessageKind kind, const std::string& text);
    // "Nortavi", or "Nortavi - ntfy not delivered since 21:03" while a
    // route fails; asked at each poll, so no thread calls into the window.
    void ShowNotifyTrouble();
    void SaveHistoryPicture();

    Settings& settings_;
    Clock& clock_;
    frmMainHost& host_;
    MonitorService service_;
    frmSetupBehaviour fSetupForm;
    std::unique_ptr<HistoryEvents> fHistoryForm;

    std::string title_;  // as the design has it until a route fails
    bool polling_ = false;
    bool alarmUp_ = false;  // the alarm button is enabled
    bool historyOpen_ = false;
    int modalDepth_ = 0;
    std::optional<CloseReason> closeRequested_;  // while modal windows close
    bool unloading_ = false;
    bool unloaded_ = false;
};

}  // namespace nortavi::behaviour
