// SPDX-License-Identifier: MIT
#include "CommandLine.h"

#include <filesystem>
#include <system_error>

namespace nortavi::headless {

std::variant<Options, Request, std::string> ReadCommandLine(
    const std::vector<std::string>& arguments)
{
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            return Request::Help;
        }
        if (argument == "--version") {
            return Request::Version;
        }
        std::string path;
        if (argument == "--config" && i + 1 < arguments.size()) {
            path = arguments[++i];
        } else if (argument.rfind("--config=", 0) == 0) {
            path = argument.substr(9);
        } else if (argument == "--config") {
            return std::string("--config needs the settings file's path");
        } else {
            return "unknown argument: " + argument;
        }
        if (path.empty() || path.back() == '/') {
            return "--config names the settings file, not a folder: " + path;
        }
        // Made absolute now: a service starts in /, and the lock is taken
        // per path.
        std::error_code error;
        const auto absolute = std::filesystem::absolute(path, error).lexically_normal();
        if (error || std::filesystem::is_directory(absolute, error)) {
            return "--config names the settings file, not a folder: " + path;
        }
        options.configPath = absolute.string();
    }
    return options;
}

std::string HelpText()
{
    return R"(Usage: nortavi-monitor [--config PATH]

Watches the cloud sensor's status file without a window: polls it every
5 s, decides SAFE or UNSAFE as the Nortavi window does, raises the alarms
(sound where there is an audio device), publishes the ASCOM Alpaca
SafetyMonitor when config.ini turns it on, and writes one line per change
of condition, feed, status or alarm to standard output. An alarm stays up
until the opposite event: there is no button to cancel it.

  --config PATH   the settings file (default: the one the window uses,
                  $XDG_CONFIG_HOME/nortavi/config.ini or ~/.config/nortavi/config.ini)
  --help          this text
  --version       the version

Signals: SIGTERM and SIGINT end it; SIGHUP reads the settings file again
(a file that does not read is named with its line, and the running
settings stay). It writes the settings file only to keep a newly made
Alpaca unique id.

Exit codes:
  0  ended by SIGTERM or SIGINT
  1  could not go on (the system refused what the monitor needs)
  2  the command line is wrong
  3  another copy (or the Nortavi window) runs on the same settings file
)";
}

}  // namespace nortavi::headless
