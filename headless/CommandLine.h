// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <variant>
#include <vector>

namespace nortavi::headless {

// The monitor's exit codes, as --help and the README list them.
enum ExitCode : int {
    kExitEnded = 0,           // ended by SIGTERM or SIGINT (or --help, --version)
    kExitFailed = 1,          // could not go on: the system refused what it needs
    kExitUsage = 2,           // the command line is wrong
    kExitAlreadyRunning = 3,  // another copy runs on the same settings file
};

struct Options {
    std::string configPath;  // absolute; empty: the settings file the window uses
};

enum class Request { Help, Version };

// What the command line asks for; a wrong one comes back as the text to
// say, with kExitUsage.
std::variant<Options, Request, std::string> ReadCommandLine(
    const std::vector<std::string>& arguments);

std::string HelpText();

}  // namespace nortavi::headless
