// SPDX-License-Identifier: MIT
#pragma once

#include "FileSystem.h"
#include "Ports.h"
#include "Settings.h"
#include "SystemClock.h"

#include <memory>

namespace nortavi::win32 {

class frmMain;

// The program's start-up module. It holds, for the whole run, the shared
// settings and the main window, together with the real clock and speaker
// that the window is given.
class Module1 {
public:
    // The program's entry: creates the main window (which loads itself and
    // polls once), shows it, and runs the message loop until it has closed.
    // A second start on the same config.ini brings the first copy's window
    // to the front instead and ends at once.
    static int Main(int showCommand);

    Module1(const Module1&) = delete;
    Module1& operator=(const Module1&) = delete;
    ~Module1();

private:
    explicit Module1(ProgramFolders folders);

    Settings settings_;
    platform::SystemClock clock_;
    std::unique_ptr<SoundOutput> sound_;
    std::unique_ptr<frmMain> mainForm_;
};

// Runs the thread's messages until WM_QUIT, giving the main window's
// keyboard handling the first look at each; returns WM_QUIT's code.
int RunMessageLoop(frmMain& mainForm);

}  // namespace nortavi::win32
