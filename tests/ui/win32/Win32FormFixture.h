// SPDX-License-Identifier: MIT
#pragma once

#include "RecordingPorts.h"
#include "ScratchFolder.h"
#include "frmMain.h"
#include "frmMainDesign.h"
#include "frmNotifyDesign.h"
#include "frmSetupDesign.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>

// The real Win32 main window on real files in a private program folder,
// with a hand-set clock and a speaker that records what it was told to
// play. Keys go through the dialog manager as the message loop hands them
// over, and modal windows are answered from a timer that fires inside
// their own message loops.
class Win32FormFixture : public ::testing::Test {
protected:
    using MainId = nortavi::forms::frmMainId;
    using SetupId = nortavi::forms::frmSetupId;

    static const nortavi::LocalTime kStart;

    Win32FormFixture();
    void TearDown() override;

    std::string Folder() const { return folder_.WithSeparator(); }
    std::string ReadFile(const std::string& name) const;
    // config.ini pointing at status.txt, the other settings as given.
    void WriteConfig(const std::string& afterStatusPath =
                         "timeToSafe,15\r\ntimeToUnsafe,5\r\n"
                         "cloudyAsClear,False\r\n"
                         "alarmOnSafe,False\r\nalarmOnUnsafe,True\r\n");
    // One status line stamped `age` before the clock's current time.
    void WriteStatus(const char* condition, std::chrono::seconds age = std::chrono::seconds{0});

    // Creates the window, which loads and polls once.
    nortavi::win32::frmMain& Open(nortavi::SoundOutput* sound = nullptr);
    // One tick of Timer1, as the timer delivers it.
    void Tick();

    HWND Main() const { return form_->hWnd(); }
    HWND MainControl(int id) const { return form_->Control(id); }
    static std::string Text(HWND window);
    // The text colour the window paints a label with.
    static COLORREF TextColour(HWND label);
    static void SetText(HWND window, const std::string& text);
    // A key as the message loop hands it over: the dialog manager of the
    // key's window first.
    static void PressKey(HWND target, UINT key);
    // Runs what is waiting in the thread's queue.
    void Pump();

    // Runs `answer` on the next modal window once it is up, from inside its
    // own message loop; closes it afterwards if it is still up.
    static void AnswerNextModal(std::function<void(HWND)> answer);
    // The words of a message box.
    static std::string MessageText(HWND box);

    ScratchFolder folder_;
    nortavi::Settings settings_;
    nortavi::ManualClock clock_{kStart};
    nortavi::RecordingSound sound_;
    std::unique_ptr<nortavi::win32::frmMain> form_;

private:
    UINT_PTR watchdog_ = 0;
};
