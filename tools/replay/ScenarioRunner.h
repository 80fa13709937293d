// SPDX-License-Identifier: MIT
#pragma once

#include "MonitorService.h"
#include "RecordingPorts.h"

#include <chrono>
#include <filesystem>
#include <iosfwd>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace nortavi {

// A scenario line that cannot be run.
class ScenarioError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Runs the monitoring core on real files in a private folder that stands for
// the program's folder, with a hand-set clock, and prints one line per poll
// (one per run of polls), the night chart and the night log when asked.
class ScenarioRunner {
public:
    // `workFolder` must exist; it ends up holding config.ini, status.txt and
    // alarm.wav as the scenario makes them.
    ScenarioRunner(std::filesystem::path workFolder, std::ostream& out);
    ~ScenarioRunner();

    // Runs one scenario line; throws ScenarioError for an unknown command or
    // a malformed argument.
    void Run(const std::string& line);

    // The poll line for the window's current state.
    std::string DescribePoll() const;

private:
    void RequireStarted(const std::string& command) const;
    void Poll(bool print = true);
    void Run(std::chrono::seconds duration);
    void WriteSensorLine();
    void Stop();
    void PrintNightLog();
    // The program as it is before its start: a service of its own.
    std::unique_ptr<MonitorService> NewService();
    void Set(const std::string& assignment);
    void Publish(const std::string& argument);
    std::string Expand(const std::string& text) const;
    // The work folder as {dir}, so that output does not depend on where it ran.
    std::string Shown(std::string text) const;
    std::filesystem::path InFolder(const char* name) const;

    std::filesystem::path workFolder_;
    std::string folderText_;  // the work folder with its trailing separator
    std::ostream& out_;
    ManualClock clock_;
    RecordingDisplay display_;
    RecordingSound sound_;
    Settings settings_;
    TimeStampFormat format_;
    std::chrono::seconds utcOffset_{0};
    std::optional<std::string> sensor_;  // the condition a live sensor writes before each poll
    std::unique_ptr<MonitorService> service_;
    std::string publishedId_;
    bool started_ = false;
};

// "\r" for CR, "\n" for LF; every other byte as it is.
std::string ShowLineEnds(const std::string& bytes);

// C escapes \r \n \t \" \\ \xHH; throws ScenarioError for a bad one.
std::string UnescapeC(const std::string& text);

}  // namespace nortavi
