// SPDX-License-Identifier: MIT
#pragma once

// A plausible night as the night log would hold it, for the screenshots of
// the night history window: 18:30 to 06:30, a cloudy spell with the unsafe
// alarm raised and cancelled at the button, a feed that goes stale for 20
// minutes after 02:10 with the comms alarm. Charted and laid out as the
// running program does it.

#include "ChartDrawing.h"
#include "ChartLayout.h"
#include "NightChart.h"
#include "NightLine.h"

#include <chrono>
#include <vector>

namespace nortavi::test {

inline history::ChartDrawing SampleNight(double width, double height)
{
    using namespace std::chrono;
    using history::AlarmKind;
    using history::Feed;
    using history::LogEvent;
    using history::Sky;
    struct Step {
        int minute;  // after 18:30
        LogEvent event;
        AlarmKind alarm;
        Sky sky;
        ShownStatus status;
        Feed feed;
    };
    const std::vector<Step> steps{
        {0, LogEvent::Started, AlarmKind::None, Sky::Clear, ShownStatus::Safe, Feed::Fresh},
        {250, LogEvent::Condition, AlarmKind::None, Sky::Cloudy, ShownStatus::Safe, Feed::Fresh},
        {265, LogEvent::Condition, AlarmKind::None, Sky::VeryCloudy, ShownStatus::Safe, Feed::Fresh},
        {270, LogEvent::Status, AlarmKind::None, Sky::VeryCloudy, ShownStatus::Unsafe, Feed::Fresh},
        {270, LogEvent::AlarmRaised, AlarmKind::Unsafe, Sky::VeryCloudy, ShownStatus::Unsafe, Feed::Fresh},
        {290, LogEvent::AlarmCancelled, AlarmKind::Unsafe, Sky::VeryCloudy, ShownStatus::Unsafe, Feed::Fresh},
        {360, LogEvent::Condition, AlarmKind::None, Sky::Clear, ShownStatus::Unsafe, Feed::Fresh},
        {375, LogEvent::Status, AlarmKind::None, Sky::Clear, ShownStatus::Safe, Feed::Fresh},
        {460, LogEvent::Feed, AlarmKind::None, Sky::Unknown, ShownStatus::Unknown, Feed::Stale},
        {460, LogEvent::AlarmRaised, AlarmKind::Comms, Sky::Unknown, ShownStatus::Unknown, Feed::Stale},
        {480, LogEvent::Feed, AlarmKind::None, Sky::Clear, ShownStatus::Safe, Feed::Fresh},
        {480, LogEvent::AlarmEnded, AlarmKind::Comms, Sky::Clear, ShownStatus::Safe, Feed::Fresh},
    };
    constexpr int kNow = 720;
    // 18:30 at UTC+1.
    const sys_seconds start = sys_days{2026y / 12 / 7} + 17h + 30min;
    const auto line = [&](int minute, const Step& step, LogEvent event) {
        history::NightLine written;
        written.at = {start + minutes(minute), hours(1)};
        written.event = event;
        written.alarm = event == LogEvent::Unchanged ? AlarmKind::None : step.alarm;
        written.condition = step.sky;
        written.status = step.status;
        written.feed = step.feed;
        return written;
    };
    // Each change, and a line every ten minutes while nothing changes.
    std::vector<history::NightLine> lines;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        lines.push_back(line(steps[i].minute, steps[i], steps[i].event));
        const int next = i + 1 < steps.size() ? steps[i + 1].minute : kNow;
        for (int quiet = steps[i].minute + 10; quiet < next; quiet += 10) {
            lines.push_back(line(quiet, steps[i], LogEvent::Unchanged));
        }
    }
    const history::Moment now{start + minutes(kNow), hours(1)};
    return history::DrawNightChart(history::BuildNightChart(std::move(lines), now, true), width,
                                   height, true);
}

}  // namespace nortavi::test
