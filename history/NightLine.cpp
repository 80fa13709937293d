// SPDX-License-Identifier: MIT
#include "NightLine.h"

#include <array>
#include <charconv>
#include <cstdlib>
#include <vector>

namespace nortavi::history {

namespace {

using namespace std::chrono;

constexpr std::array kSkyTexts{"CLEAR", "CLOUDY", "V.CLOUDY", "UNKNOWN"};
constexpr std::array kFeedTexts{"fresh", "stale", "unreadable", "missing"};
constexpr std::array kAlarmTexts{"", "safe", "unsafe", "comms"};
// By LogEvent; the alarm events follow "<alarm> alarm ".
constexpr std::array kEventTexts{"started", "stopped", "unchanged", "condition", "feed",
                                 "status",  "raised",  "cancelled", "ended"};
constexpr auto kFirstAlarmEvent = static_cast<std::size_t>(LogEvent::AlarmRaised);

// Offsets beyond any time zone's are a damaged line.
constexpr auto kLargestOffset = hours(18);

void AppendDigits(std::string& text, long long value, int width)
{
    const std::string digits = std::to_string(value < 0 ? -value : value);
    text.append(width > static_cast<int>(digits.size()) ? width - digits.size() : 0, '0');
    text += digits;
}

template <typename T, std::size_t N>
std::optional<T> Find(const std::array<const char*, N>& texts, std::string_view text)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (text == texts[i]) {
            return static_cast<T>(i);
        }
    }
    return std::nullopt;
}

// Exactly `width` digits.
std::optional<int> Digits(std::string_view text, std::size_t at, std::size_t width)
{
    if (at + width > text.size()) {
        return std::nullopt;
    }
    int value = 0;
    const char* first = text.data() + at;
    const auto [end, error] = std::from_chars(first, first + width, value);
    if (error != std::errc{} || end != first + width || *first == '-' || *first == '+') {
        return std::nullopt;
    }
    return value;
}

std::optional<Moment> ParseMoment(std::string_view text)
{
    // 2026-12-07T21:03:05+01:00
    if (text.size() != 25 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':' || (text[19] != '+' && text[19] != '-') ||
        text[22] != ':') {
        return std::nullopt;
    }
    const auto year = Digits(text, 0, 4);
    const auto month = Digits(text, 5, 2);
    const auto day = Digits(text, 8, 2);
    const auto hour = Digits(text, 11, 2);
    const auto minute = Digits(text, 14, 2);
    const auto second = Digits(text, 17, 2);
    const auto offsetHours = Digits(text, 20, 2);
    const auto offsetMinutes = Digits(text, 23, 2);
    if (!year || !month || !day || !hour || !minute || !second || !offsetHours || !offsetMinutes ||
        *offsetMinutes > 59) {
        return std::nullopt;
    }
    const auto local = MakeLocalTime(*year, *month, *day, *hour, *minute, *second);
    const seconds offset =
        (text[19] == '-' ? -1 : 1) * (hours(*offsetHours) + minutes(*offsetMinutes));
    if (!local || abs(offset) > kLargestOffset) {
        return std::nullopt;
    }
    return Moment{UtcTime{local->time_since_epoch()} - offset, offset};
}

std::optional<std::int16_t> Minutes(std::string_view text)
{
    std::int16_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::pair<LogEvent, AlarmKind>> ParseEvent(std::string_view text)
{
    if (const auto event = Find<LogEvent>(kEventTexts, text);
        event && static_cast<std::size_t>(*event) < kFirstAlarmEvent) {
        return std::pair{*event, AlarmKind::None};
    }
    const std::size_t space = text.find(" alarm ");
    if (space == std::string_view::npos) {
        return std::nullopt;
    }
    const auto alarm = Find<AlarmKind>(kAlarmTexts, text.substr(0, space));
    const auto event = Find<LogEvent>(kEventTexts, text.substr(space + 7));
    if (!alarm || *alarm == AlarmKind::None || !event ||
        static_cast<std::size_t>(*event) < kFirstAlarmEvent) {
        return std::nullopt;
    }
    return std::pair{*event, *alarm};
}

}  // namespace

const char* const kCsvHeader =
    "time,event,condition,status,feed,mins_since_clear,mins_since_cloudy,mins_since_vcloudy\r\n";

std::string CsvLine(const NightLine& line)
{
    std::string text = FormatMoment(line.at);
    text += ',';
    text += EventText(line.event, line.alarm);
    text += ',';
    text += SkyText(line.condition);
    text += ',';
    text += kStatusCaptions[static_cast<std::size_t>(line.status)];
    text += ',';
    text += FeedText(line.feed);
    for (const std::int16_t minutes :
         {line.minsSinceClear, line.minsSinceCloudy, line.minsSinceVCloudy}) {
        text += ',';
        text += std::to_string(minutes);
    }
    text += "\r\n";
    return text;
}

std::optional<NightLine> ParseCsvLine(std::string_view text)
{
    std::vector<std::string_view> fields;
    for (std::size_t from = 0;;) {
        const std::size_t comma = text.find(',', from);
        fields.push_back(text.substr(from, comma - from));
        if (comma == std::string_view::npos) {
            break;
        }
        from = comma + 1;
    }
    if (fields.size() != 8) {
        return std::nullopt;
    }
    const auto at = ParseMoment(fields[0]);
    const auto event = ParseEvent(fields[1]);
    const auto condition = Find<Sky>(kSkyTexts, fields[2]);
    const auto status = Find<ShownStatus>(kStatusCaptions, fields[3]);
    const auto feed = Find<Feed>(kFeedTexts, fields[4]);
    const auto clear = Minutes(fields[5]);
    const auto cloudy = Minutes(fields[6]);
    const auto vcloudy = Minutes(fields[7]);
    if (!at || !event || !condition || !status || !feed || !clear || !cloudy || !vcloudy) {
        return std::nullopt;
    }
    return NightLine{*at,   event->first, event->second, *condition, *status,
                     *feed, *clear,       *cloudy,       *vcloudy};
}

std::string FormatMoment(Moment at)
{
    const LocalTime local = at.Local();
    std::string text = FormatLocalTime(local);
    text[10] = 'T';
    return text + FormatOffset(at.offset);
}

std::string FormatOffset(seconds offset)
{
    const auto whole = duration_cast<minutes>(offset).count();
    std::string text(whole < 0 ? "-" : "+");
    AppendDigits(text, std::abs(whole) / 60, 2);
    text += ':';
    AppendDigits(text, std::abs(whole) % 60, 2);
    return text;
}

std::string NightOf(LocalTime local)
{
    return FormatLocalTime(local - hours(12)).substr(0, 10);
}

const char* SkyText(Sky sky)
{
    return kSkyTexts[static_cast<std::size_t>(sky)];
}

const char* FeedText(Feed feed)
{
    return kFeedTexts[static_cast<std::size_t>(feed)];
}

const char* AlarmText(AlarmKind alarm)
{
    return kAlarmTexts[static_cast<std::size_t>(alarm)];
}

std::string EventText(LogEvent event, AlarmKind alarm)
{
    const char* text = kEventTexts[static_cast<std::size_t>(event)];
    if (static_cast<std::size_t>(event) < kFirstAlarmEvent) {
        return text;
    }
    return std::string(AlarmText(alarm)) + " alarm " + text;
}

Sky SkyOf(const std::string& condition)
{
    return Find<Sky>(kSkyTexts, condition).value_or(Sky::Unknown);
}

}  // namespace nortavi::history
