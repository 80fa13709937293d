// SPDX-License-Identifier: MIT
#pragma once

#include "FileSystem.h"
#include "NightChart.h"
#include "NightFiles.h"
#include "StateChanges.h"
#include "StatusPage.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace nortavi {

// The night log: a line for each change a poll brings (condition, feed,
// status, an alarm raised, cancelled or ended), one every ten minutes
// while nothing changes, and one when the program starts and when it
// stops, so that time it did not run shows. Each poll's lines go to the
// night's file in one write; a file that cannot be written turns the log
// off with one warning, and nothing else changes. The last twelve hours
// are also kept in memory, for the chart and the status page.
class NightLogListener final : public MonitorListener {
public:
    using UtcOffset = std::function<std::chrono::seconds()>;
    using Warning = std::function<void(const std::string& text)>;

    static constexpr std::chrono::minutes kUnchangedEvery{10};

    // The log's folder beside the settings file: nights/ for config.ini,
    // nights-NAME/ for a settings file NAME.ini, so that two programs on
    // two settings files never write into one log.
    static std::string FolderFor(const ProgramFolders& folders);

    // `utcOffset` says how far local time is ahead of UTC now.
    NightLogListener(std::string folder, UtcOffset utcOffset);

    // Before the first poll.
    void SetUtcOffset(UtcOffset utcOffset) { utcOffset_ = std::move(utcOffset); }
    // Told once, on the polls' thread, when the log turns off.
    void SetWarning(Warning warning) { warning_ = std::move(warning); }

    void PollEnded(const PollReport& report) override;
    void AlarmsCancelled(LocalTime at, Alarms silenced) override;
    // The program ends (at `at`): its last line. Once; nothing before the first poll.
    void Stop(LocalTime at);

    // From any thread. The chart of the twelve hours up to the latest poll.
    history::NightChart Chart() const;
    // How things stand after the latest poll.
    history::PageNow Now() const;
    // Changes at every poll and at the alarm button.
    std::uint64_t Version() const;
    // On the polls' thread: whether lines still go to the files.
    bool Writing() const { return writing_; }
    const std::string& Folder() const { return files_.Folder(); }

private:
    history::Moment MomentOf(LocalTime at) const;
    history::NightLine LineOf(const PollReport& report, history::Moment at) const;
    void LoadRecentNights(history::Moment now);
    // Into memory, then into the night's file.
    void Keep(const std::vector<history::NightLine>& lines, const history::PageNow* now);
    void Write(const std::vector<history::NightLine>& lines);

    history::NightFiles files_;
    UtcOffset utcOffset_;
    Warning warning_;
    StateChanges changes_;
    bool started_ = false;
    bool stopped_ = false;
    bool writing_ = true;
    history::NightLine polled_;  // how things stood at the latest poll
    history::NightLine last_;    // the latest line written

    mutable std::mutex mutex_;  // guards what follows: the page's thread reads it
    std::deque<history::NightLine> recent_;
    history::PageNow now_;
    bool running_ = false;  // between the first poll and Stop
    std::uint64_t version_ = 0;
};

}  // namespace nortavi
