// SPDX-License-Identifier: MIT
#pragma once

// Stand-ins for the status file, config.ini and the file system, for tests
// of the monitoring core without any disk.

#include "Ports.h"

#include <optional>
#include <set>
#include <utility>
#include <vector>
#include <string>

namespace nortavi {

// Hands back whatever the test put in the "file".
class ScriptedStatus final : public StatusReader {
public:
    enum class Outcome { Missing, Failed, Read };

    void Read(const std::string& newWord, LocalTime newStamp)
    {
        outcome = Outcome::Read;
        word = newWord;
        stamp = newStamp;
    }

    StatusRead LoadStatus(const std::string& /*statusPath*/, std::string& statusString,
                          LocalTime& lastStatusTime) override
    {
        ++reads;
        if (outcome == Outcome::Missing) {
            return StatusRead::NoFile;
        }
        statusString.clear();
        if (outcome == Outcome::Failed) {
            return StatusRead::Unreadable;
        }
        statusString = word;
        lastStatusTime = stamp;
        return StatusRead::Read;
    }

    Outcome outcome = Outcome::Missing;
    std::string word;
    LocalTime stamp{};
    int reads = 0;
};

// config.ini as a record: LoadConfig copies it in when there is one.
class FakeConfig final : public ConfigStore {
public:
    void LoadConfig(Settings& settings) override
    {
        if (stored) {
            settings = *stored;
        }
    }
    bool SaveConfig(const Settings& settings) override
    {
        stored = settings;
        return true;
    }

    std::optional<Settings> stored;
};

class FakeFiles final : public FileProbe {
public:
    bool FileExists(const std::string& fileName) override { return existing.count(fileName) != 0; }
    std::set<std::string> existing;
};

// Keeps what each poll reported and what the alarm button silenced.
class RecordingListener final : public MonitorListener {
public:
    void PollEnded(const PollReport& report) override { reports.push_back(report); }
    void AlarmsCancelled(LocalTime at, Alarms silenced) override { cancels.emplace_back(at, silenced); }

    std::vector<PollReport> reports;
    std::vector<std::pair<LocalTime, Alarms>> cancels;
};

}  // namespace nortavi
