// SPDX-License-Identifier: MIT
#include "ChartLayout.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace nortavi::history {

namespace {

constexpr Colour kNoFreshData = Rgb(150, 150, 150);
constexpr Colour kNotRunning = Rgb(225, 225, 225);
constexpr Colour kOutline = Rgb(128, 128, 128);
constexpr Colour kGrid = Rgb(255, 255, 255);
constexpr Colour kText = Rgb(32, 32, 32);

constexpr double kFont = 11;
constexpr double kMark = 8;
constexpr double kTick = 4;
constexpr double kLeft = 50;  // room for "Status"
constexpr double kRight = 4;
constexpr double kTop = 2;

// Sans serif at `size`, digits and lower case: a little wider than most
// fonts draw them, so that labels judged apart are apart.
double TextWidth(const std::string& text, double size)
{
    return 0.62 * size * static_cast<double>(text.size());
}

constexpr double kLegendRow = kFont + 8;
constexpr double kSwatch = 10;

// One entry of the legend: a colour's square or an alarm's mark, and what
// it means.
struct LegendEntry {
    Colour colour;
    std::optional<DrawMark::Kind> mark;
    const char* words;
};

double EntryWidth(const LegendEntry& entry)
{
    return kSwatch + 5 + TextWidth(entry.words, kFont) + 14;
}

// The entries flowed into rows as wide as `width`; how many rows.
int LegendRows(const std::vector<LegendEntry>& entries, double width)
{
    int rows = 1;
    double x = 4;
    for (const LegendEntry& entry : entries) {
        if (x > 4 && x + EntryWidth(entry) > width) {
            ++rows;
            x = 4;
        }
        x += EntryWidth(entry);
    }
    return rows;
}

void DrawLegend(ChartDrawing& drawing, const std::vector<LegendEntry>& entries, double top)
{
    double x = 4;
    double rowTop = top;
    for (const LegendEntry& entry : entries) {
        if (x > 4 && x + EntryWidth(entry) > drawing.width) {
            x = 4;
            rowTop += kLegendRow;
        }
        const double middle = rowTop + kLegendRow / 2;
        if (entry.mark) {
            const bool raised = *entry.mark == DrawMark::Kind::AlarmRaised;
            drawing.marks.push_back({*entry.mark, x + kSwatch / 2,
                                     raised ? middle + kMark / 2 : middle - kMark / 2, kMark,
                                     entry.colour});
        } else {
            drawing.rects.push_back(
                {x, middle - kSwatch / 2, kSwatch, kSwatch, entry.colour});
        }
        drawing.texts.push_back({x + kSwatch + 5, middle + kFont / 3, entry.words, kFont, false,
                                 DrawText::Anchor::Start, kText});
        x += EntryWidth(entry);
    }
}

}  // namespace

Colour SkyBandColour(SkyBand band)
{
    constexpr std::array kColours{kGreen, kOrange, kRed, kNoFreshData, kNotRunning};
    return kColours[static_cast<std::size_t>(band)];
}

Colour StatusBandColour(StatusBand band)
{
    constexpr std::array kColours{kGreen, kRed, kNoFreshData, Rgb(90, 90, 90), kNotRunning};
    return kColours[static_cast<std::size_t>(band)];
}

Colour AlarmMarkColour(LogEvent event)
{
    switch (event) {
        case LogEvent::AlarmCancelled:
            return Rgb(0, 90, 200);
        case LogEvent::AlarmEnded:
            return Rgb(110, 110, 110);
        default:
            break;
    }
    return kBlack;
}

ChartDrawing DrawNightChart(const NightChart& chart, double width, double height, bool legend)
{
    ChartDrawing drawing;
    drawing.width = std::max(width, 120.0);
    drawing.height = std::max(height, 60.0);

    std::vector<LegendEntry> entries;
    if (legend) {
        entries = {
            {kGreen, std::nullopt, "clear / safe"},
            {kOrange, std::nullopt, "cloudy"},
            {kRed, std::nullopt, "very cloudy / unsafe"},
            {kNoFreshData, std::nullopt, "no fresh data / unknown"},
            {StatusBandColour(StatusBand::Pending), std::nullopt, "pending"},
            {kNotRunning, std::nullopt, "not running"},
            {AlarmMarkColour(LogEvent::AlarmRaised), DrawMark::Kind::AlarmRaised, "alarm raised"},
            {AlarmMarkColour(LogEvent::AlarmCancelled), DrawMark::Kind::AlarmCancelled, "cancelled"},
            {AlarmMarkColour(LogEvent::AlarmEnded), DrawMark::Kind::AlarmCancelled, "ended by itself"},
        };
    }
    // The legend takes its rows from the bottom while the bands keep some
    // height; a window too low for both shows the bands alone.
    const double legendHeight =
        entries.empty() ? 0 : LegendRows(entries, drawing.width) * kLegendRow + 4;
    const double chartHeight =
        drawing.height - legendHeight >= 60 ? drawing.height - legendHeight : drawing.height;
    if (chartHeight == drawing.height) {
        entries.clear();
    }

    // Top to bottom: the sky band, room for the raised marks, the status
    // band, room for the cancelled ones (the tick marks beside them), the
    // tick labels.
    const double left = kLeft;
    const double plotWidth = drawing.width - kLeft - kRight;
    const double band = (chartHeight - kTop - 2 * (kMark + 2) - kFont - 3) / 2;
    const double skyTop = kTop;
    const double statusTop = skyTop + band + kMark + 2;
    const double statusBottom = statusTop + band;
    const double baseline = statusBottom + kMark + 2 + kFont;

    const double seconds = static_cast<double>((chart.to.utc - chart.from.utc).count());
    const auto x = [&](const Moment& at) {
        const double part =
            seconds > 0 ? static_cast<double>((at.utc - chart.from.utc).count()) / seconds : 1;
        return left + plotWidth * std::clamp(part, 0.0, 1.0);
    };

    for (const SkySpan& span : chart.sky) {
        drawing.rects.push_back(
            {x(span.from), skyTop, x(span.to) - x(span.from), band, SkyBandColour(span.state)});
    }
    for (const StatusSpan& span : chart.status) {
        drawing.rects.push_back({x(span.from), statusTop, x(span.to) - x(span.from), band,
                                 StatusBandColour(span.state)});
    }

    // Hours: a light line across each band, a tick below, and as many
    // labels as fit (every hour, or every 2, 3, 4, 6 or 12).
    const double perHour = plotWidth / 12;
    const double labelWidth = TextWidth("00:00", kFont);
    int every = 12;
    for (const int step : {1, 2, 3, 4, 6}) {
        if (step * perHour >= labelWidth + 8) {
            every = step;
            break;
        }
    }
    const double nowWidth = TextWidth("now", kFont);
    for (const Moment& tick : chart.ticks) {
        const double at = x(tick);
        for (const double top : {skyTop, statusTop}) {
            drawing.lines.push_back({at, top, at, top + band, kGrid, 1});
        }
        drawing.lines.push_back({at, statusBottom, at, statusBottom + kTick, kOutline, 1});
        const std::string clock = FormatMoment(tick).substr(11, 5);
        const int hour = std::stoi(clock.substr(0, 2));
        const bool fits = at - labelWidth / 2 >= 0 &&
                          at + labelWidth / 2 <= drawing.width - kRight - nowWidth - 4;
        if (hour % every == 0 && fits) {
            drawing.texts.push_back(
                {at, baseline, clock, kFont, false, DrawText::Anchor::Middle, kText});
        }
    }
    drawing.texts.push_back(
        {drawing.width - kRight, baseline, "now", kFont, true, DrawText::Anchor::End, kText});

    // The bands' outlines, over the grid.
    for (const double top : {skyTop, statusTop}) {
        const double right = left + plotWidth;
        drawing.lines.push_back({left, top, right, top, kOutline, 1});
        drawing.lines.push_back({left, top + band, right, top + band, kOutline, 1});
        drawing.lines.push_back({left, top, left, top + band, kOutline, 1});
        drawing.lines.push_back({right, top, right, top + band, kOutline, 1});
    }

    // Raised: above the status band, pointing down at it; cancelled or
    // ended: below it, pointing up.
    for (const AlarmMark& mark : chart.alarms) {
        const bool raised = mark.event == LogEvent::AlarmRaised;
        drawing.marks.push_back(
            {raised ? DrawMark::Kind::AlarmRaised : DrawMark::Kind::AlarmCancelled, x(mark.at),
             raised ? statusTop : statusBottom, kMark, AlarmMarkColour(mark.event)});
    }

    drawing.texts.push_back(
        {4, skyTop + band / 2 + kFont / 3, "Sky", kFont, true, DrawText::Anchor::Start, kText});
    drawing.texts.push_back({4, statusTop + band / 2 + kFont / 3, "Status", kFont, true,
                             DrawText::Anchor::Start, kText});
    if (!entries.empty()) {
        DrawLegend(drawing, entries, chartHeight + 4);
    }
    return drawing;
}

}  // namespace nortavi::history
