// SPDX-License-Identifier: MIT
#pragma once

#include "AlpacaPublisher.h"
#include "ConfigFile.h"
#include "FileSystem.h"
#include "Monitor.h"
#include "Ports.h"
#include "Settings.h"
#include "StatusFile.h"
#include "TimeStampParser.h"

#include <QFont>
#include <QWidget>

#include <string>

class QCloseEvent;
class QFrame;
class QKeyEvent;
class QShowEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class frmSetup;

// The main window: shows the sky condition, the minutes since each
// condition and the SAFE/UNSAFE status, polls the status file every five
// seconds and owns the alarm button. It is the display the monitoring core
// writes to, and it runs the load sequence as soon as it is created, so the
// first poll has run before it is first shown.
class frmMain final : public QWidget, public nortavi::MainDisplay {
    Q_OBJECT

public:
    // `folders` say where config.ini and alarm.wav are (a single folder for
    // the portable layout); `timeStampFormat` is how the system writes a
    // date and time.
    frmMain(nortavi::Settings& settings, nortavi::Clock& clock, nortavi::SoundOutput& sound,
            nortavi::ProgramFolders folders, nortavi::TimeStampFormat timeStampFormat,
            QWidget* parent = nullptr);
    ~frmMain() override;

    // The display operations of the monitoring core.
    void SetConditionCaption(const std::string& caption) override;
    void SetConditionColour(nortavi::Colour colour) override;
    void SetStatusCaption(const std::string& caption) override;
    void SetStatusColour(nortavi::Colour colour) override;
    void SetMinsSinceClearText(const std::string& text) override;
    void SetMinsSinceCloudyText(const std::string& text) override;
    void SetMinsSinceVCloudyText(const std::string& text) override;
    void SetAlarmButtonCaption(const std::string& caption) override;
    void SetAlarmButtonEnabled(bool enabled) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildControls();

    void Form_Load();
    void Form_Unload();
    void Timer1_Timer();
    void AlarmButton_Click();
    void AboutButton_Click();
    void SetupButton_Click();

    // Writes config.ini; tells the user when it could not be written, since
    // the settings would otherwise be lost without a word.
    void SaveConfig();
    // Serves the status on the network as the settings say; what went wrong
    // comes back to be told.
    std::optional<std::string> PublishStatus();
    void Warn(const std::string& text);

    nortavi::Settings& settings_;
    nortavi::ProgramFolders folders_;
    nortavi::StatusFile statusFile_;
    nortavi::ConfigFile configFile_;
    nortavi::DiskFileProbe fileProbe_;
    nortavi::alpaca::AlpacaPublisher publisher_;
    nortavi::Monitor monitor_;
    bool polling_ = false;
    // While an alarm is up; asked of the window manager once the window is shown.
    bool demandsAttention_ = false;

    // The design fonts of the big captions; FitFontToWidth may shrink a
    // stand-in font from these for a caption that would not fit.
    QFont conditionFont_;
    QFont statusFont_;
    QFont alarmFont_;

    frmSetup* fSetupForm = nullptr;
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
