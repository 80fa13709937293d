// SPDX-License-Identifier: MIT
#include "frmMainBehaviour.h"

#include "FormTexts.h"
#include "Platform.h"
#include "frmMainDesign.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace nortavi::behaviour {

namespace {

using Id = forms::frmMainId;

// Set for as long as it lives.
class Raised {
public:
    explicit Raised(bool& flag) : flag_(flag) { flag_ = true; }
    Raised(const Raised&) = delete;
    Raised& operator=(const Raised&) = delete;
    ~Raised() { flag_ = false; }

private:
    bool& flag_;
};

}  // namespace

// While a modal window is open, a request to close the main window closes
// the modal windows first; the close itself comes once they have returned.
class frmMainBehaviour::ModalScope {
public:
    explicit ModalScope(frmMainBehaviour& form) : form_(form) { ++form_.modalDepth_; }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
    ~ModalScope()
    {
        if (--form_.modalDepth_ == 0 && form_.closeRequested_ && !form_.unloading_) {
            form_.host_.CloseLater();
        }
    }

private:
    frmMainBehaviour& form_;
};

// The night history window's events, answered by the main window's behaviour.
class frmMainBehaviour::HistoryEvents final : public frmHistoryEvents {
public:
    explicit HistoryEvents(frmMainBehaviour& form) : form_(form) {}

    history::ChartDrawing NightChart(double width, double height) override
    {
        return form_.NightChart(width, height);
    }
    void SaveButton_Click() override { form_.SaveHistoryPicture(); }
    void Form_Unload() override { form_.historyOpen_ = false; }

private:
    frmMainBehaviour& form_;
};

frmMainBehaviour::frmMainBehaviour(Settings& settings, Clock& clock, SoundOutput& sound,
                                   ProgramFolders folders, TimeStampFormat timeStampFormat,
                                   frmMainHost& host)
    : settings_(settings),
      clock_(clock),
      host_(host),
      service_(settings_, clock, sound, *this, std::move(folders), std::move(timeStampFormat)),
      fSetupForm(settings_, service_.PortCheck(),
                 [this](const NotifySettings& trial) { return service_.SendTestMessage(trial); }),
      fHistoryForm(std::make_unique<HistoryEvents>(*this)),
      title_(forms::frmMainDesign().caption)
{
    // Said once the poll that found it has ended, like the network warning:
    // the window works without the log.
    service_.SetNightLogWarning([this](const std::string& text) {
        host_.RunLater([this, text] {
            if (!closeRequested_ && !unloading_ && !unloaded_) {
                ShowMessage(MessageKind::NightLogWarning, text);
            }
        });
    });
}

frmMainBehaviour::~frmMainBehaviour() = default;

void frmMainBehaviour::Form_Load()
{
    {
        // The first poll runs inside the load sequence; a tick meanwhile
        // waits its turn like any other.
        const Raised polling(polling_);
        service_.StartUp([this] { host_.StartTimer(forms::kPollIntervalMs); });
    }
    bool madeUniqueId = false;
    const auto problem = service_.ApplySettings(&madeUniqueId);
    // A unique id made now is kept at once: a program ended before its
    // first close would otherwise make another at the next start. A save
    // that fails here fails again, and is told, at the close.
    if (madeUniqueId) {
        SaveConfig(true);
    }
    ShowNotifyTrouble();
    // Told once, as soon as the window is up: the window works without it.
    if (problem) {
        host_.RunLater([this, text = *problem] {
            if (!closeRequested_ && !unloading_ && !unloaded_) {
                ShowMessage(MessageKind::NetworkWarning, text);
            }
        });
    }
}

void frmMainBehaviour::Timer1_Timer()
{
    // Ticks arrive through the event loop, so they cannot interrupt a poll;
    // should anything inside a poll ever run the loop (a sound backend, a
    // message box), a tick that comes meanwhile is dropped, not nested.
    if (polling_ || unloading_ || unloaded_) {
        return;
    }
    const Raised polling(polling_);
    service_.RefreshStatus();
    ShowNotifyTrouble();
    if (historyOpen_) {
        host_.RedrawHistory();
    }
}

void frmMainBehaviour::ShowNotifyTrouble()
{
    const std::vector<notify::RouteTrouble> trouble = service_.NotifyTrouble();
    std::string title(forms::frmMainDesign().caption);
    if (!trouble.empty()) {
        std::string routes;
        LocalTime since = trouble.front().since;
        for (const notify::RouteTrouble& route : trouble) {
            routes += (routes.empty() ? "" : ", ") + route.route;
            since = std::min(since, route.since);
        }
        title += " - " + routes + " not delivered since " + notify::ClockText(since, clock_.Now());
    }
    if (title != title_) {
        title_ = title;
        host_.SetTitle(title_);
    }
}

void frmMainBehaviour::AlarmButton_Click()
{
    if (alarmUp_) {
        service_.AlarmButton_Click();
    }
}

void frmMainBehaviour::AboutButton_Click()
{
    ShowMessage(MessageKind::About, forms::AboutText());
}

void frmMainBehaviour::SetupButton_Click()
{
    const ModalScope modal(*this);
    host_.ShowSetupDialog();
    if (closeRequested_ || unloaded_) {
        return;  // the window is closing: its unload saves
    }
    // Before the save, which then keeps a unique id made for a first start.
    const auto problem = service_.ApplySettings();
    ShowNotifyTrouble();  // a route changed starts afresh
    SaveConfig(false);  // after OK and Cancel alike
    if (problem) {
        ShowMessage(MessageKind::NetworkWarning, *problem);
    }
}

bool frmMainBehaviour::Form_QueryUnload(CloseReason reason)
{
    if (unloaded_) {
        return true;
    }
    if (closeRequested_ == CloseReason::Session) {
        reason = CloseReason::Session;  // once nobody can answer, nobody is asked
    }
    if (unloading_) {
        // A message box of the unload itself: it closes, and the unload
        // under way ends the window.
        closeRequested_ = reason;
        host_.CloseModalWindows();
        return false;
    }
    if (modalDepth_ > 0) {
        closeRequested_ = reason;
        if (!host_.CloseModalWindows()) {
            return false;
        }
    }
    closeRequested_.reset();
    Form_Unload(reason);
    return true;
}

void frmMainBehaviour::NightHistory_Click()
{
    if (closeRequested_ || unloading_ || unloaded_) {
        return;
    }
    historyOpen_ = true;
    host_.ShowHistoryWindow();
}

frmHistoryEvents& frmMainBehaviour::HistoryForm()
{
    return *fHistoryForm;
}

void frmMainBehaviour::SaveHistoryPicture()
{
    const auto closing = [this] { return closeRequested_ || unloading_ || unloaded_ || !historyOpen_; };
    if (closing()) {
        return;
    }
    std::optional<std::string> path;
    {
        // The main window's close waits for the file dialog as for any
        // modal window of its own.
        const ModalScope modal(*this);
        path = host_.AskPicturePath(forms::PictureFileName(clock_.Now()));
    }
    if (!path || closing()) {
        return;
    }
    // Written whole or not at all: a picture that failed leaves whatever
    // file had that name as it was.
    const std::string png = host_.HistoryPicture();
    if (png.empty() || !platform::ReplaceFileContents(*path, png)) {
        ShowMessage(MessageKind::PictureSaveFailed, forms::PictureSaveFailedText(*path));
    }
}

void frmMainBehaviour::Form_Unload(CloseReason reason)
{
    // The window is going away: no further poll, and no alarm sweep while
    // the settings are saved. Its other window goes with it.
    unloading_ = true;
    host_.StopTimer();
    service_.ProgramEnding();
    if (historyOpen_) {
        historyOpen_ = false;
        host_.CloseHistoryWindow();
    }
    SaveConfig(reason == CloseReason::Session);
    unloading_ = false;
    unloaded_ = true;
}

void frmMainBehaviour::SessionEnding()
{
    if (!unloaded_) {
        SaveConfig(true);
    }
}

void frmMainBehaviour::Form_Deactivate()
{
    if (alarmUp_) {
        host_.AskForAttention(true);
    }
}

void frmMainBehaviour::SaveConfig(bool quiet)
{
    if (!service_.SaveConfig() && !quiet) {
        ShowMessage(MessageKind::SaveFailed, forms::SaveFailedText(service_.ConfigPath()));
    }
}

void frmMainBehaviour::ShowMessage(MessageKind kind, const std::string& text)
{
    const ModalScope modal(*this);
    host_.ShowMessage(kind, text);
}

void frmMainBehaviour::SetConditionCaption(const std::string& caption)
{
    host_.SetCaption(Id::ConditionField, caption);
}

void frmMainBehaviour::SetConditionColour(Colour colour)
{
    host_.SetTextColour(Id::ConditionField, colour);
}

void frmMainBehaviour::SetStatusCaption(const std::string& caption)
{
    host_.SetCaption(Id::StatusField, caption);
}

void frmMainBehaviour::SetStatusColour(Colour colour)
{
    host_.SetTextColour(Id::StatusField, colour);
}

void frmMainBehaviour::SetMinsSinceClearText(const std::string& text)
{
    host_.SetCaption(Id::MinsSinceClearField, text);
}

void frmMainBehaviour::SetMinsSinceCloudyText(const std::string& text)
{
    host_.SetCaption(Id::MinsSinceCloudyField, text);
}

void frmMainBehaviour::SetMinsSinceVCloudyText(const std::string& text)
{
    host_.SetCaption(Id::MinsSinceVCloudyField, text);
}

void frmMainBehaviour::SetAlarmButtonCaption(const std::string& caption)
{
    host_.SetCaption(Id::AlarmButton, caption);
}

void frmMainBehaviour::SetAlarmButtonEnabled(bool enabled)
{
    host_.SetEnabled(Id::AlarmButton, enabled);
    // The button is enabled exactly while an alarm is up.
    if (enabled != alarmUp_) {
        alarmUp_ = enabled;
        host_.AskForAttention(enabled);
    }
}

}  // namespace nortavi::behaviour
