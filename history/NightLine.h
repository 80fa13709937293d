// SPDX-License-Identifier: MIT
#pragma once

// One line of the night log: when it was written, what happened, and how
// things stood after it. Every line states the whole state, so that any
// line can begin a chart and a line lost or cut short costs only itself.

#include "PollReport.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nortavi::history {

using UtcTime = std::chrono::sys_seconds;

// A moment as the log keeps it: the instant, and how far local time was
// ahead of UTC then. Real time runs on `utc`; people read the local time.
struct Moment {
    UtcTime utc{};
    std::chrono::seconds offset{0};

    LocalTime Local() const { return LocalTime{(utc + offset).time_since_epoch()}; }
    bool operator==(const Moment&) const = default;
};

// The condition as the window shows it.
enum class Sky : std::uint8_t { Clear, Cloudy, VeryCloudy, Unknown };
// The status file's feed: fresh, or why not.
enum class Feed : std::uint8_t { Fresh, Stale, Unreadable, Missing };
enum class AlarmKind : std::uint8_t { None, Safe, Unsafe, Comms };

enum class LogEvent : std::uint8_t {
    Started,    // the program's first poll
    Stopped,    // the program ends
    Unchanged,  // ten minutes without a change, so that gaps show
    Condition,
    Feed,
    Status,
    AlarmRaised,
    AlarmCancelled,  // at the alarm button: someone reacted
    AlarmEnded,      // by the opposite event
};

struct NightLine {
    Moment at;
    LogEvent event = LogEvent::Unchanged;
    AlarmKind alarm = AlarmKind::None;  // which, for the alarm events
    Sky condition = Sky::Unknown;
    ShownStatus status = ShownStatus::Pending;
    Feed feed = Feed::Missing;
    std::int16_t minsSinceClear = 0;
    std::int16_t minsSinceCloudy = 0;
    std::int16_t minsSinceVCloudy = 0;

    bool operator==(const NightLine&) const = default;
};

// The first line of every night's file, CR LF at its end.
extern const char* const kCsvHeader;

// The line as the file holds it, CR LF at its end.
std::string CsvLine(const NightLine& line);
// A line without its line end; nullopt for one that does not read (the
// header, a line cut short by a crash or a full disk, an edited one).
std::optional<NightLine> ParseCsvLine(std::string_view text);

// "2026-12-07T21:03:05+01:00"
std::string FormatMoment(Moment at);
// "+01:00", "-03:30"
std::string FormatOffset(std::chrono::seconds offset);
// The night a local time belongs to, noon to noon, named by its evening's
// date: "2026-12-07" from 2026-12-07 12:00:00 to 2026-12-08 11:59:59.
std::string NightOf(LocalTime local);

const char* SkyText(Sky sky);                            // CLEAR, CLOUDY, V.CLOUDY, UNKNOWN
const char* FeedText(Feed feed);                         // fresh, stale, unreadable, missing
const char* AlarmText(AlarmKind alarm);                  // safe, unsafe, comms
std::string EventText(LogEvent event, AlarmKind alarm);  // "status", "unsafe alarm raised"
Sky SkyOf(const std::string& condition);

}  // namespace nortavi::history
