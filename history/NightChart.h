// SPDX-License-Identifier: MIT
#pragma once

// The chart of the last twelve hours as data, built from the night log:
// what the sky and the status were, when alarms were raised and ended,
// and where the local hours fall. Time runs on real (UTC) time, so a
// change of daylight saving time neither folds nor stretches it; only the
// hour ticks' labels are local.

#include "NightLine.h"

#include <chrono>
#include <string>
#include <vector>

namespace nortavi::history {

inline constexpr std::chrono::hours kChartSpan{12};
// How long a line's state is taken to last without another line: the ten
// minutes between lines while nothing changes, and a minute's grace. After
// that, a program that ended without a word (a crash, a power cut, a
// computer put to sleep) shows as not running.
inline constexpr std::chrono::minutes kLineLasts{11};

enum class SkyBand : std::uint8_t { Clear, Cloudy, VeryCloudy, NoFreshData, NotRunning };
enum class StatusBand : std::uint8_t { Safe, Unsafe, Unknown, Pending, NotRunning };

struct SkySpan {
    Moment from;
    Moment to;
    SkyBand state = SkyBand::NotRunning;

    bool operator==(const SkySpan&) const = default;
};

struct StatusSpan {
    Moment from;
    Moment to;
    StatusBand state = StatusBand::NotRunning;

    bool operator==(const StatusSpan&) const = default;
};

// An alarm raised, cancelled at the button, or ended by the opposite event.
struct AlarmMark {
    Moment at;
    AlarmKind alarm = AlarmKind::None;
    LogEvent event = LogEvent::AlarmRaised;

    bool operator==(const AlarmMark&) const = default;
};

struct NightChart {
    Moment from;  // twelve hours before `to`
    Moment to;    // now
    // Each band covers from..to without a gap, in time order, no two
    // neighbours alike.
    std::vector<SkySpan> sky;
    std::vector<StatusSpan> status;
    std::vector<AlarmMark> alarms;
    // Each whole local hour: twice the same hour where the clocks went
    // back, none for the hour skipped where they went forward.
    std::vector<Moment> ticks;
};

// The chart of the twelve hours up to `now` from the log's lines (in any
// order). `running`: the program that wrote the last line runs now, so its
// state lasts until now; otherwise it lasts kLineLasts at most, as every
// line's does. Lines after `now` (a clock set back) are passed over.
NightChart BuildNightChart(std::vector<NightLine> lines, Moment now, bool running);

// The chart as text, one span, alarm or list of ticks a line, in local
// time with its offset: for the replay tool and for reading a night
// without a window.
std::string NightChartText(const NightChart& chart);

const char* SkyBandText(SkyBand band);        // CLEAR, ..., "no fresh data", "not running"
const char* StatusBandText(StatusBand band);  // SAFE, ..., "not running"

}  // namespace nortavi::history
