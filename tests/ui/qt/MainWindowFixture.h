// SPDX-License-Identifier: MIT
#pragma once

#include "ModalWatchdog.h"
#include "RecordingPorts.h"
#include "frmMain.h"

#include <QApplication>
#include <QByteArray>
#include <QColor>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

// The real main window on real files in a private program folder, with a
// hand-set clock and a speaker that records what it was told to play.
class MainWindowFixture : public ::testing::Test {
protected:
    static const nortavi::LocalTime kStart;

    void TearDown() override;

    // The program folder, ending in '/'.
    std::string Folder() const;
    std::string StatusPath() const { return Folder() + "status.txt"; }
    void WriteFile(const QString& name, const QByteArray& bytes) const;
    QByteArray ReadFile(const QString& name) const;
    // config.ini pointing at status.txt, the other settings as given.
    void WriteConfig(const QByteArray& afterStatusPath = "timeToSafe,15\r\ntimeToUnsafe,5\r\n"
                                                         "cloudyAsClear,False\r\n"
                                                         "alarmOnSafe,False\r\nalarmOnUnsafe,True\r\n") const;
    // One status line stamped `age` before the clock's current time.
    void WriteStatus(const char* condition, std::chrono::seconds age = std::chrono::seconds{0});

    // Creates the window, which loads and polls once; `sound` replaces the
    // recording speaker.
    frmMain& Open(nortavi::SoundOutput* sound = nullptr);
    // One tick of Timer1, delivered as the timer delivers it.
    void Tick();
    // Moves the clock on and ticks once.
    void TickAfter(std::chrono::seconds wait);

    template <typename T>
    T* Control(const char* name) const
    {
        T* control = form_->findChild<T*>(QLatin1String(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QTimer* Timer1() const { return Control<QTimer>("Timer1"); }
    QString Caption(const char* name) const;
    QColor TextColour(const char* name) const;
    bool AlarmButtonEnabled() const;

    // Runs `answer` on the next modal window once it is open, then makes
    // sure it closes. Checks belong after the call that opened the modal.
    static void AnswerNextModal(std::function<void(QWidget*)> answer);

    QTemporaryDir dir_;
    nortavi::Settings settings_;
    nortavi::ManualClock clock_{kStart};
    nortavi::RecordingSound sound_;
    ModalWatchdog watchdog_;
    std::unique_ptr<frmMain> form_;
};
