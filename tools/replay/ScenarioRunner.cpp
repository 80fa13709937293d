// SPDX-License-Identifier: MIT
#include "ScenarioRunner.h"

#include "NightChart.h"
#include "Platform.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <ostream>
#include <sstream>
#include <vector>

namespace nortavi {

namespace {

// Before any "now": a fixed, ordinary night.
const LocalTime kDefaultStart = *MakeLocalTime(2026, 1, 1, 22, 0, 0);

std::pair<std::string, std::string> SplitCommand(const std::string& line)
{
    const auto space = line.find(' ');
    if (space == std::string::npos) {
        return {line, ""};
    }
    return {line.substr(0, space), line.substr(space + 1)};
}

// "DATE" or "DATE | TIME | AM | PM" (AM and PM optional), in Qt's letters:
// "d.M.yyyy | H.mm.ss", "yy. M. d. | AP h:mm:ss | 오전 | 오후".
TimeStampFormat ParseRegion(const std::string& argument)
{
    std::vector<std::string> parts;
    for (std::size_t from = 0;;) {
        const auto bar = argument.find(" | ", from);
        parts.push_back(argument.substr(from, bar - from));
        if (bar == std::string::npos) {
            break;
        }
        from = bar + 3;
    }
    if (parts.size() == 3 || parts.size() > 4) {
        throw ScenarioError("region takes a date, or a date, a time, AM and PM: \"" + argument +
                            "\"");
    }
    RegionalPatterns patterns{parts[0], {}, {}, {}, {}};
    if (parts.size() > 1) {
        patterns.times = {parts[1]};
    }
    if (parts.size() == 4) {
        patterns.amTexts = {parts[2]};
        patterns.pmTexts = {parts[3]};
    }
    auto format = TimeStampFormat::FromPatterns(patterns, PatternLetters::Qt);
    if (!format) {
        throw ScenarioError("not a short date pattern: \"" + parts[0] + "\"");
    }
    if (format->times.empty() && !patterns.times.empty()) {
        throw ScenarioError("not a time pattern: \"" + parts[1] + "\"");
    }
    return *format;
}

long long ParseInteger(const std::string& text, const std::string& what)
{
    long long value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+') {
        ++first;
    }
    const auto [end, error] = std::from_chars(first, last, value);
    if (text.empty() || error != std::errc{} || end != last) {
        throw ScenarioError(what + " must be a whole number, not \"" + text + "\"");
    }
    return value;
}

LocalTime ParseClock(const std::string& text)
{
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    char tail = '\0';
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &year, &month, &day, &hour, &minute,
                    &second, &tail) == 6) {
        if (const auto time = MakeLocalTime(year, month, day, hour, minute, second)) {
            return *time;
        }
    }
    throw ScenarioError("now takes yyyy-MM-dd HH:mm:ss, not \"" + text + "\"");
}

// "+01:00", "-03:30"
std::chrono::seconds ParseOffset(const std::string& text)
{
    int hours = 0;
    int minutes = 0;
    char sign = '\0';
    char tail = '\0';
    if (std::sscanf(text.c_str(), "%c%2d:%2d%c", &sign, &hours, &minutes, &tail) != 3 ||
        text.size() != 6 || (sign != '+' && sign != '-') || hours > 18 || minutes > 59) {
        throw ScenarioError("utcoffset takes +HH:MM or -HH:MM, not \"" + text + "\"");
    }
    return (sign == '-' ? -1 : 1) * (std::chrono::hours(hours) + std::chrono::minutes(minutes));
}

// "90s", "20m", "3h", "3h30m": a whole number of polls.
std::chrono::seconds ParseDuration(const std::string& text)
{
    long long total = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t unit = text.find_first_of("hms", at);
        if (unit == std::string::npos) {
            break;
        }
        const long long scale = text[unit] == 'h' ? 3600 : text[unit] == 'm' ? 60 : 1;
        total += scale * ParseInteger(text.substr(at, unit - at), "run");
        at = unit + 1;
    }
    if (text.empty() || at != text.size() || total <= 0 || total % 5 != 0) {
        throw ScenarioError("run takes a time in whole polls, such as 90s, 20m or 3h30m, not \"" +
                            text + "\"");
    }
    return std::chrono::seconds(total);
}

bool ParseFlag(const std::string& text)
{
    if (text == "True") {
        return true;
    }
    if (text == "False") {
        return false;
    }
    throw ScenarioError("a flag is True or False, not \"" + text + "\"");
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes, bool append)
{
    std::ofstream file(path, std::ios::binary | (append ? std::ios::app : std::ios::trunc));
    file << bytes;
    if (!file.flush()) {
        throw ScenarioError("cannot write " + path.string());
    }
}

// A 0.1 s, 8 kHz, 8-bit mono silence: the smallest ordinary PCM wave file.
std::string ShortWave()
{
    constexpr std::uint32_t kSamples = 800;
    std::string wave;
    const auto u32 = [&wave](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            wave.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
        }
    };
    const auto u16 = [&wave](std::uint16_t v) {
        wave.push_back(static_cast<char>(v & 0xFF));
        wave.push_back(static_cast<char>(v >> 8));
    };
    wave += "RIFF";
    u32(36 + kSamples);
    wave += "WAVEfmt ";
    u32(16);
    u16(1);     // PCM
    u16(1);     // mono
    u32(8000);  // samples per second
    u32(8000);  // bytes per second
    u16(1);     // block align
    u16(8);     // bits per sample
    wave += "data";
    u32(kSamples);
    wave.append(kSamples, static_cast<char>(0x80));
    return wave;
}

const char* OnOff(bool on)
{
    return on ? "on" : "off";
}

}  // namespace

ScenarioRunner::ScenarioRunner(std::filesystem::path workFolder, std::ostream& out)
    : workFolder_(std::move(workFolder)),
      folderText_(workFolder_.string() + platform::PathSeparator()),
      out_(out),
      clock_(kDefaultStart),
      service_(NewService())
{
}

std::unique_ptr<MonitorService> ScenarioRunner::NewService()
{
    // A replay's output must not hang on how busy the machine is: the
    // one-second limit on a read is the window's, kept for a real share.
    auto service = std::make_unique<MonitorService>(settings_, clock_, sound_, display_,
                                                    folderText_, format_, std::chrono::hours(1));
    service->SetUtcOffset([this] { return utcOffset_; });
    service->SetNightLogWarning(
        [this](const std::string& text) { out_ << "night log: " << Shown(text) << '\n'; });
    return service;
}

std::string ScenarioRunner::Shown(std::string text) const
{
    for (auto at = text.find(folderText_); at != std::string::npos;
         at = text.find(folderText_, at)) {
        text.replace(at, folderText_.size(), "{dir}");
    }
    return text;
}

ScenarioRunner::~ScenarioRunner() = default;

std::filesystem::path ScenarioRunner::InFolder(const char* name) const
{
    return workFolder_ / name;
}

std::string ScenarioRunner::Expand(const std::string& text) const
{
    std::string result = text;
    const std::string token = "{dir}";
    for (auto at = result.find(token); at != std::string::npos;
         at = result.find(token, at + folderText_.size())) {
        result.replace(at, token.size(), folderText_);
    }
    return result;
}

void ScenarioRunner::RequireStarted(const std::string& command) const
{
    if (!started_) {
        throw ScenarioError(command + " before start");
    }
}

void ScenarioRunner::Run(const std::string& rawLine)
{
    std::string line = rawLine;
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    if (line.find_first_not_of(" \t") == std::string::npos || line.front() == '#') {
        return;
    }
    const auto [command, argument] = SplitCommand(line);
    if (command == "region") {
        format_ = ParseRegion(argument);
        service_->SetTimeStampFormat(format_);
    } else if (command == "now") {
        clock_.Set(ParseClock(argument));
    } else if (command == "advance") {
        clock_.Advance(std::chrono::seconds{ParseInteger(argument, "advance")});
    } else if (command == "config") {
        WriteFile(InFolder("config.ini"), Expand(argument) + "\r\n", true);
    } else if (command == "status") {
        WriteFile(InFolder("status.txt"), Expand(argument) + "\r\n", false);
    } else if (command == "statusbytes") {
        WriteFile(InFolder("status.txt"), Expand(UnescapeC(argument)), false);
    } else if (command == "nostatus" && argument.empty()) {
        std::filesystem::remove(InFolder("status.txt"));
    } else if (command == "wav" && argument.empty()) {
        WriteFile(InFolder("alarm.wav"), ShortWave(), false);
    } else if (command == "nowav" && argument.empty()) {
        std::filesystem::remove(InFolder("alarm.wav"));
    } else if (command == "start" && argument.empty()) {
        if (started_) {
            throw ScenarioError("start a second time");
        }
        started_ = true;
        sound_.Clear();
        WriteSensorLine();
        service_->StartUp();
        out_ << DescribePoll() << '\n';
    } else if (command == "stop" && argument.empty()) {
        RequireStarted(command);
        Stop();
    } else if (command == "run") {
        RequireStarted(command);
        Run(ParseDuration(argument));
    } else if (command == "sensor") {
        if (argument != "off" && argument.find_first_of(", \r\n") != std::string::npos) {
            throw ScenarioError("sensor takes a condition word or off");
        }
        sensor_ = argument == "off" ? std::nullopt : std::optional(argument);
    } else if (command == "utcoffset") {
        utcOffset_ = ParseOffset(argument);
    } else if (command == "chart" && argument.empty()) {
        RequireStarted(command);
        out_ << history::NightChartText(service_->NightChart());
    } else if (command == "nightlog" && argument.empty()) {
        PrintNightLog();
    } else if (command == "poll" && argument.empty()) {
        RequireStarted(command);
        Poll();
    } else if (command == "tick") {
        RequireStarted(command);
        const long long count = argument.empty() ? 1 : ParseInteger(argument, "tick");
        if (count < 0) {
            throw ScenarioError("tick takes a count of 0 or more");
        }
        for (long long i = 0; i < count; ++i) {
            clock_.Advance(std::chrono::seconds{5});
            Poll();
        }
    } else if (command == "alpaca") {
        Publish(argument);
    } else if (command == "click" && argument.empty()) {
        RequireStarted(command);
        service_->AlarmButton_Click();
    } else if (command == "set") {
        Set(argument);
    } else if (command == "save" && argument.empty()) {
        const bool saved = service_->SaveConfig();
        std::ifstream file(InFolder("config.ini"), std::ios::binary);
        std::ostringstream bytes;
        bytes << file.rdbuf();
        out_ << "config.ini: " << (saved ? ShowLineEnds(Shown(bytes.str())) : "(not written)")
             << '\n';
    } else {
        throw ScenarioError("unknown command: " + line);
    }
}

// "alpaca PORT [DISCOVERY_PORT]" serves the Alpaca device on loopback;
// "alpaca off" stops it.
void ScenarioRunner::Publish(const std::string& argument)
{
    AlpacaSettings& alpaca = settings_.alpaca;
    if (argument == "off") {
        alpaca.server = false;
    } else {
        const auto [port, discovery] = SplitCommand(argument);
        const auto portNumber = ParsePort(port);
        const auto discoveryNumber = discovery.empty() ? std::optional<std::uint16_t>(32227) : ParsePort(discovery);
        if (!portNumber || !discoveryNumber) {
            throw ScenarioError("alpaca takes PORT [DISCOVERY_PORT], from 1 to 65535, or off");
        }
        // The id made at the first "alpaca" stays, as config.ini would keep
        // it, even when "start" has since set the defaults again.
        alpaca = {true, *portNumber, false, *discoveryNumber, publishedId_};
    }
    const auto problem = service_->ApplySettings();
    publishedId_ = alpaca.uniqueId;
    out_ << "alpaca: " << (problem ? *problem : alpaca.server ? "serving on " + std::to_string(alpaca.port) : "off")
         << '\n';
}

void ScenarioRunner::Poll(bool print)
{
    sound_.Clear();
    WriteSensorLine();
    service_->RefreshStatus();
    if (print) {
        out_ << DescribePoll() << '\n';
    }
}

// The live sensor's line, written over the last one in place: a file cut
// to nothing and written again is flushed to disk at its close (ext4), a
// wait a night of polls would feel.
void ScenarioRunner::WriteSensorLine()
{
    if (!sensor_) {
        return;
    }
    const std::string line = FormatLocalTime(clock_.Now()) + "," + *sensor_ + "\r\n";
    const auto path = InFolder("status.txt");
    if (!std::filesystem::exists(path)) {
        WriteFile(path, line, false);
        return;
    }
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    file << line;
    file.close();
    std::error_code error;
    std::filesystem::resize_file(path, line.size(), error);
    if (!file || error) {
        throw ScenarioError("cannot write " + path.string());
    }
}

// Polls every five seconds for `duration`; only the last one is printed.
void ScenarioRunner::Run(std::chrono::seconds duration)
{
    for (auto left = duration; left > std::chrono::seconds(0); left -= std::chrono::seconds(5)) {
        clock_.Advance(std::chrono::seconds(5));
        Poll(left == std::chrono::seconds(5));
    }
}

// The program ends; a new one, with a new window, waits for its start.
void ScenarioRunner::Stop()
{
    service_->ProgramEnding();
    service_.reset();
    service_ = NewService();
    display_ = RecordingDisplay{};
    started_ = false;
    out_ << "stopped\n";
}

// Each night's file, a line at a time, its line ends shown.
void ScenarioRunner::PrintNightLog()
{
    std::vector<std::filesystem::path> files;
    const auto folder = std::filesystem::path(service_->NightLog().Folder());
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        out_ << "nights/" << file.filename().string() << ":\n";
        std::ifstream in(file, std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            out_ << "  " << ShowLineEnds(line + "\n") << '\n';
        }
    }
}

void ScenarioRunner::Set(const std::string& assignment)
{
    const auto equals = assignment.find('=');
    if (equals == std::string::npos) {
        throw ScenarioError("set takes KEY=VALUE");
    }
    const std::string key = assignment.substr(0, equals);
    const std::string value = Expand(assignment.substr(equals + 1));
    const auto minutes = [&value, &key]() {
        const auto parsed = ParseMinutes(value);
        if (!parsed) {
            throw ScenarioError(key + " takes a whole number from -32768 to 32767");
        }
        return *parsed;
    };
    if (key == "statusPath") {
        settings_.statusPath = value;
    } else if (key == "timeToSafe") {
        settings_.timeToSafe = minutes();
    } else if (key == "timeToUnsafe") {
        settings_.timeToUnsafe = minutes();
    } else if (key == "cloudyAsClear") {
        settings_.cloudyAsClear = ParseFlag(value);
    } else if (key == "alarmOnSafe") {
        settings_.alarmOnSafe = ParseFlag(value);
    } else if (key == "alarmOnUnsafe") {
        settings_.alarmOnUnsafe = ParseFlag(value);
    } else {
        throw ScenarioError("unknown setting: " + key);
    }
}

std::string ScenarioRunner::DescribePoll() const
{
    const char* played = "none";
    if (!sound_.wavesPlayed.empty()) {
        played = "wav";
    } else if (!sound_.tonesPlayed.empty()) {
        played = "sweep";
    }
    std::ostringstream line;
    line << "condition=" << display_.conditionCaption << ':' << display_.conditionColour
         << " status=" << display_.statusCaption << ':' << display_.statusColour
         << " mins=" << display_.minsSinceClear << ',' << display_.minsSinceCloudy << ','
         << display_.minsSinceVCloudy << " alarm=" << OnOff(display_.alarmButtonEnabled)
         << " \"" << display_.alarmButtonCaption << "\" sound=" << played;
    return line.str();
}

std::string ShowLineEnds(const std::string& bytes)
{
    std::string shown;
    for (const char c : bytes) {
        if (c == '\r') {
            shown += "\\r";
        } else if (c == '\n') {
            shown += "\\n";
        } else {
            shown += c;
        }
    }
    return shown;
}

std::string UnescapeC(const std::string& text)
{
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes += text[i];
            continue;
        }
        if (++i == text.size()) {
            throw ScenarioError("a lone backslash ends the text");
        }
        switch (text[i]) {
        case 'r': bytes += '\r'; break;
        case 'n': bytes += '\n'; break;
        case 't': bytes += '\t'; break;
        case '"': bytes += '"'; break;
        case '\\': bytes += '\\'; break;
        case 'x': {
            unsigned value = 0;
            const char* first = text.data() + i + 1;
            const char* last = first + std::min<std::size_t>(2, text.size() - i - 1);
            const auto [end, error] = std::from_chars(first, last, value, 16);
            if (error != std::errc{} || end != last || last - first != 2) {
                throw ScenarioError("\\x takes two hex digits");
            }
            bytes += static_cast<char>(value);
            i += 2;
            break;
        }
        default: throw ScenarioError(std::string("unknown escape \\") + text[i]);
        }
    }
    return bytes;
}

}  // namespace nortavi
