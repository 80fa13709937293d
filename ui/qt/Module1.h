// SPDX-License-Identifier: MIT
#pragma once

#include "FileSystem.h"
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
    // has closed. A second start on the same settings file brings the first
    // copy's window to the front instead, and ends.
    static int Main(int argc, char** argv);

    Module1(const Module1&) = delete;
    Module1& operator=(const Module1&) = delete;
    ~Module1();

private:
    explicit Module1(nortavi::ProgramFolders folders);

    nortavi::Settings settings_;
    nortavi::platform::SystemClock clock_;
    std::unique_ptr<nortavi::SoundOutput> sound_;
    std::unique_ptr<frmMain> mainForm_;
};
