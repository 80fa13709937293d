// SPDX-License-Identifier: MIT
// nortavi-monitor: the Nortavi monitor without a window, for a service on
// an observatory computer (see HeadlessMonitor).
#include "CommandLine.h"
#include "FileSystem.h"
#include "HeadlessMonitor.h"
#include "InstanceLock.h"
#include "Journal.h"
#include "RegionTimeStamps.h"
#include "ServiceNotifier.h"
#include "SignalPipe.h"

#include <csignal>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace nortavi;
using namespace nortavi::headless;

// The settings file the window uses, or the one named, with the user's
// own folder beside it (alarm.wav's second place).
ProgramFolders Folders(const Options& options)
{
    if (options.configPath.empty()) {
        return LocateProgramFolders();
    }
    const std::filesystem::path path(options.configPath);
    const std::string folder = path.parent_path().string() + "/";
    ProgramFolders folders(GetEXEPath(), folder, folder, folder);
    folders.settingsFile = path.filename().string();
    return folders;
}

int RunMonitor(const Options& options)
{
    // A journal that goes away (restarted) must not end the monitor.
    std::signal(SIGPIPE, SIG_IGN);
    Journal journal;
    const ProgramFolders folders = Folders(options);
    const std::string settingsPath = folders.save + folders.settingsFile;
    const platform::InstanceLock lock(settingsPath);
    if (!lock.Held()) {
        // The copy that runs (or the window) may write the file at any time.
        journal.Warning("another copy runs on " + settingsPath + "; this one ends");
        return kExitAlreadyRunning;
    }
    platform::SignalPipe signals{SIGTERM, SIGINT, SIGHUP};
    if (signals.ReadFd() < 0) {
        journal.Warning("cannot receive signals; not started");
        return kExitFailed;
    }
    std::string localeProblem;
    TimeStampFormat format = RegionTimeStampFormat(localeProblem);
    if (!localeProblem.empty()) {
        journal.Warning(localeProblem + ": time stamps are read as M/d/yyyy or ISO 8601");
    }
    ServiceNotifier manager;
    HeadlessMonitor monitor(folders, std::move(format), journal, manager);
    return monitor.Run(signals);
}

}  // namespace

int main(int argc, char** argv)
{
    const auto request = ReadCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (const auto* wrong = std::get_if<std::string>(&request)) {
        std::fprintf(stderr, "nortavi-monitor: %s\n%s", wrong->c_str(), HelpText().c_str());
        return kExitUsage;
    }
    if (const auto* asked = std::get_if<Request>(&request)) {
        std::fputs(
            *asked == Request::Help ? HelpText().c_str() : "nortavi-monitor " NORTAVI_VERSION "\n",
            stdout);
        return kExitEnded;
    }
    try {
        return RunMonitor(std::get<Options>(request));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "nortavi-monitor: %s\n", error.what());
        return kExitFailed;
    }
}
