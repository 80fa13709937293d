// SPDX-License-Identifier: MIT
#pragma once

#include "Ports.h"
#include "Settings.h"
#include "SystemClock.h"

#include <memory>

class frmMain;

// The program's start-up module. It holds, for the whole run, the shared
// settings and the main window, together with the real clock and speaker
// that the window is given.
class Module1 {
public:
    // The program's entry: creates the main window (which loads itself and
    // polls once), shows it, and runs the event loop until the last window
    // has closed.
    static int Main(int argc, char** argv);

    Module1(const Module1&) = delete;
    Module1& operator=(const Module1&) = delete;
    ~Module1();

private:
    Module1();

    nortavi::Settings settings_;
    nortavi::platform::SystemClock clock_;
    std::unique_ptr<nortavi::SoundOutput> sound_;
    std::unique_ptr<frmMain> mainForm_;
};
