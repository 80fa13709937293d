// SPDX-License-Identifier: MIT
#include "NightChart.h"

#include <algorithm>
#include <array>
#include <optional>

namespace nortavi::history {

namespace {

using namespace std::chrono;

constexpr std::array kSkyBandTexts{"CLEAR", "CLOUDY", "V.CLOUDY", "no fresh data", "not running"};
constexpr std::array kStatusBandTexts{"SAFE", "UNSAFE", "UNKNOWN", "PENDING", "not running"};

SkyBand SkyBandOf(const NightLine& line)
{
    if (line.feed != Feed::Fresh) {
        return SkyBand::NoFreshData;
    }
    switch (line.condition) {
        case Sky::Clear:
            return SkyBand::Clear;
        case Sky::Cloudy:
            return SkyBand::Cloudy;
        case Sky::VeryCloudy:
            return SkyBand::VeryCloudy;
        case Sky::Unknown:
            break;
    }
    return SkyBand::NoFreshData;
}

StatusBand StatusBandOf(const NightLine& line)
{
    switch (line.status) {
        case ShownStatus::Safe:
            return StatusBand::Safe;
        case ShownStatus::Unsafe:
            return StatusBand::Unsafe;
        case ShownStatus::Unknown:
            return StatusBand::Unknown;
        case ShownStatus::Pending:
            break;
    }
    return StatusBand::Pending;
}

// The local time's offset along the chart. The log says it at each line;
// between two lines that disagree, the later one's holds from just after
// the earlier one (a change of daylight saving time falls on a whole hour,
// and lines come at most ten minutes apart while the program runs).
class Offsets {
public:
    Offsets(const std::vector<NightLine>& lines, Moment now) : lines_(lines), now_(now) {}

    // The offset at `at`: that of the first line at or after it.
    seconds At(UtcTime at) const
    {
        const auto next =
            std::lower_bound(lines_.begin(), lines_.end(), at,
                             [](const NightLine& line, UtcTime t) { return line.at.utc < t; });
        return next == lines_.end() ? now_.offset : next->at.offset;
    }

    Moment MomentAt(UtcTime at) const { return {at, At(at)}; }

    // Each whole local hour in [from, to].
    std::vector<Moment> Ticks(UtcTime from, UtcTime to) const
    {
        std::vector<Moment> ticks;
        // Stretches of one offset, (start, end]; the first starts at `from`.
        UtcTime start = from - seconds(1);
        auto line = std::lower_bound(lines_.begin(), lines_.end(), from,
                                     [](const NightLine& l, UtcTime t) { return l.at.utc < t; });
        while (start < to) {
            seconds offset = now_.offset;
            UtcTime end = to;
            if (line != lines_.end()) {
                offset = line->at.offset;
                for (; line != lines_.end() && line->at.offset == offset; ++line) {
                    end = std::min(to, line->at.utc);
                }
            }
            for (UtcTime tick = ceil<hours>(start + offset + seconds(1)) - offset; tick <= end;
                 tick += hours(1)) {
                ticks.push_back({tick, offset});
            }
            start = end;
        }
        return ticks;
    }

private:
    const std::vector<NightLine>& lines_;
    Moment now_;
};

// Adds [from, to) in `state` to a band, joining it to a neighbour alike.
template <typename Span, typename State>
void Extend(std::vector<Span>& band, Moment from, Moment to, State state)
{
    if (!band.empty() && band.back().state == state && band.back().to == from) {
        band.back().to = to;
    } else {
        band.push_back({from, to, state});
    }
}

std::string Clock(Moment at)
{
    return FormatMoment(at).substr(11);
}

std::string Duration(seconds length)
{
    const long long total = length.count();
    std::string text = std::to_string(total / 3600) + ":";
    const auto two = [&text](long long value) {
        text += static_cast<char>('0' + value / 10);
        text += static_cast<char>('0' + value % 10);
    };
    two(total / 60 % 60);
    text += ':';
    two(total % 60);
    return text;
}

}  // namespace

NightChart BuildNightChart(std::vector<NightLine> lines, Moment now, bool running)
{
    std::stable_sort(lines.begin(), lines.end(),
                     [](const NightLine& a, const NightLine& b) { return a.at.utc < b.at.utc; });
    lines.erase(std::find_if(lines.begin(), lines.end(),
                             [&now](const NightLine& line) { return line.at.utc > now.utc; }),
                lines.end());
    const Offsets offsets(lines, now);
    NightChart chart;
    chart.to = now;
    chart.from = offsets.MomentAt(now.utc - kChartSpan);
    const UtcTime from = chart.from.utc;

    // Each line's state, from the line to the next one, or until it may
    // be taken to have lasted; the rest of the time nothing ran.
    UtcTime covered = from;
    const auto moment = [&](UtcTime at) { return at == now.utc ? now : offsets.MomentAt(at); };
    const auto fill = [&](UtcTime until, SkyBand sky, StatusBand status) {
        const UtcTime end = std::min(until, now.utc);
        if (end <= covered) {
            return;
        }
        Extend(chart.sky, moment(covered), moment(end), sky);
        Extend(chart.status, moment(covered), moment(end), status);
        covered = end;
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const NightLine& line = lines[i];
        const bool last = i + 1 == lines.size();
        if (line.at.utc > covered) {
            fill(line.at.utc, SkyBand::NotRunning, StatusBand::NotRunning);
        }
        if (line.event == LogEvent::Stopped) {
            continue;
        }
        UtcTime until = last ? now.utc : lines[i + 1].at.utc;
        if (!(last && running)) {
            until = std::min(until, line.at.utc + kLineLasts);
        }
        fill(until, SkyBandOf(line), StatusBandOf(line));
    }
    fill(now.utc, SkyBand::NotRunning, StatusBand::NotRunning);

    for (const NightLine& line : lines) {
        const bool alarm = line.event == LogEvent::AlarmRaised ||
                           line.event == LogEvent::AlarmCancelled ||
                           line.event == LogEvent::AlarmEnded;
        if (alarm && line.at.utc >= from) {
            chart.alarms.push_back({line.at, line.alarm, line.event});
        }
    }
    chart.ticks = offsets.Ticks(from, now.utc);
    return chart;
}

std::string NightChartText(const NightChart& chart)
{
    std::string text =
        "night chart " + FormatMoment(chart.from) + " to " + FormatMoment(chart.to) + "\n";
    const auto span = [&text](const char* band, const auto& part, const char* state) {
        text += std::string(band) + Clock(part.from) + " to " + Clock(part.to) + "  " +
                Duration(part.to.utc - part.from.utc) + "  " + state + "\n";
    };
    for (const SkySpan& part : chart.sky) {
        span("sky     ", part, SkyBandText(part.state));
    }
    for (const StatusSpan& part : chart.status) {
        span("status  ", part, StatusBandText(part.state));
    }
    for (const AlarmMark& mark : chart.alarms) {
        text += "alarm   " + Clock(mark.at) + "  " + EventText(mark.event, mark.alarm) + "\n";
    }
    text += "ticks  ";
    std::optional<seconds> offset;
    for (const Moment& tick : chart.ticks) {
        // The offset where it is new: a change of daylight saving time shows.
        const std::string clock = Clock(tick);
        text += " " + clock.substr(0, 5) + (offset == tick.offset ? "" : clock.substr(8));
        offset = tick.offset;
    }
    return text + "\n";
}

const char* SkyBandText(SkyBand band)
{
    return kSkyBandTexts[static_cast<std::size_t>(band)];
}

const char* StatusBandText(StatusBand band)
{
    return kStatusBandTexts[static_cast<std::size_t>(band)];
}

}  // namespace nortavi::history
