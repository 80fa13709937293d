// SPDX-License-Identifier: MIT
#pragma once

#include "FileSystem.h"
#include "Ports.h"
#include "Settings.h"
#include "TimeStampParser.h"
#include "frmMainBehaviour.h"
#include "frmMainHost.h"

#include <QFont>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QCloseEvent;
class QFrame;
class QKeyEvent;
class QShowEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class frmHistory;
class frmSetup;

// The main window: draws the sky condition, the minutes since each
// condition and the SAFE/UNSAFE status, and routes its timer, buttons and
// keys to what the window does (frmMainBehaviour). Its context menu and
// Ctrl+H open the night history window. It runs the load
// sequence as soon as it is created, so the first poll has run before it is
// first shown.
class frmMain final : public QWidget, public nortavi::behaviour::frmMainHost {
    Q_OBJECT

public:
    // `folders` say where config.ini and alarm.wav are (a single folder for
    // the portable layout); `timeStampFormat` is how the system writes a
    // date and time.
    frmMain(nortavi::Settings& settings, nortavi::Clock& clock, nortavi::SoundOutput& sound,
            nortavi::ProgramFolders folders, nortavi::TimeStampFormat timeStampFormat,
            QWidget* parent = nullptr);
    ~frmMain() override;

    // The session is ending: the settings are saved now, without a word.
    void SessionEnding() { behaviour_.SessionEnding(); }
    // An orderly close that asks nothing (a signal, the session's end):
    // modal windows close first, then the window, which saves the settings.
    void CloseForSessionEnd();

    // What the behaviour asks of the window.
    void SetCaption(int control, const std::string& text) override;
    void SetTextColour(int control, nortavi::Colour colour) override;
    void SetEnabled(int control, bool enabled) override;
    void SetTitle(const std::string& title) override;
    void ShowMessage(nortavi::behaviour::MessageKind kind, const std::string& text) override;
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

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls();
    // Paints the big captions in their colours, made readable where the
    // desktop's palette is dark.
    void ShowTextColours();

    nortavi::behaviour::frmMainBehaviour behaviour_;
    nortavi::behaviour::CloseReason closeReason_ = nortavi::behaviour::CloseReason::User;
    // While an alarm is up; asked of the window manager once the window is shown.
    bool demandsAttention_ = false;

    // The colours the big captions are to have.
    nortavi::Colour conditionColour_ = nortavi::kBlack;
    nortavi::Colour statusColour_ = nortavi::kBlack;

    // The design fonts of the big captions; FitFontToWidth may shrink a
    // stand-in font from these for a caption that would not fit.
    QFont conditionFont_;
    QFont statusFont_;
    QFont alarmFont_;

    frmSetup* fSetupForm = nullptr;
    // Built at its first opening; a window of its own (see frmHistory).
    std::unique_ptr<frmHistory> fHistoryForm;
    QTimer* Timer1 = nullptr;

    QLabel* Label1 = nullptr;
    QLineEdit* MinsSinceClearField = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* MinsSinceCloudyField = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* MinsSinceVCloudyField = nullptr;
    QFrame* Line3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* ConditionField = nullptr;
    QFrame* Line1 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* StatusField = nullptr;
    QPushButton* SetupButton = nullptr;
    QPushButton* AboutButton = nullptr;
    QPushButton* AlarmButton = nullptr;
    QFrame* Line2 = nullptr;
};
