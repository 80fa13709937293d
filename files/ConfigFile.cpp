// SPDX-License-Identifier: MIT
#include "ConfigFile.h"

#include "FieldReader.h"
#include "FileSystem.h"
#include "Platform.h"
#include "SecretText.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <vector>

namespace nortavi {

namespace {

constexpr std::size_t kMaxConfigBytes = std::size_t{64} * 1024;
constexpr std::string_view kLineEnd = "\r\n";

const char* FlagText(bool flag)
{
    return flag ? "True" : "False";
}

// The plain form cannot hold a comma or a line end, nor a leading blank or
// quote, nor a trailing blank; such a path is written inside double quotes
// instead (a line end comes only from a file edited by hand).
bool NeedsQuotes(const std::string& path)
{
    return path.find_first_of(",\r\n") != std::string::npos ||
           (!path.empty() && (path.front() == ' ' || path.front() == '"' || path.back() == ' '));
}

std::string FormatStatusPath(const std::string& path)
{
    return NeedsQuotes(path) ? "\"" + path + "\"" : path;
}

// The notification lines, read by key from the seventh line on: each line
// on its own, so that a line with a field too many or too few stays there.
bool ParseNotifyLines(std::string_view text, NotifySettings& settings, SecretForm& secrets)
{
    bool any = false;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
        FieldReader line(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        const auto key = line.NextField();
        const auto value = line.NextField();
        if (key && ReadNotifyLine(*key, value.value_or(""), settings, secrets)) {
            any = true;
        }
    }
    return any;
}

bool IsNotifyKey(const std::string& key)
{
    NotifySettings scratch;
    return ReadNotifyLine(key, "", scratch, PlainSecrets());
}

// Whole numbers are read as people type them: blanks around, a plus sign
// ("+-5" is not a number).
template <typename Number>
std::optional<Number> ParseWholeNumber(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// The value config.ini holds for the default status path, the program's
// folder, when the file's code page cannot hold that folder's name (a
// Cyrillic folder on a Western PC): the folder's own relative name, which
// names a folder as the default does. The six-line layout keeps its place
// (values are read by position, so the line cannot be left out), and the
// other settings are saved all the same.
std::string ProgramFolderMark()
{
    return std::string(".") + platform::PathSeparator();
}

// The bytes of the status path's value in config.ini, if it holds one.
std::optional<std::string> StatusPathValue(std::string_view bytes)
{
    FieldReader reader(bytes);
    if (!reader.NextField()) {
        return std::nullopt;
    }
    return reader.NextField();
}

// The text's lines without their ends (CR LF, LF or CR, as FieldReader
// takes them), and without a byte order mark in front.
std::vector<std::string_view> SplitLines(std::string_view text)
{
    constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
    if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        text.remove_prefix(kUtf8Bom.size());
    }
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + (text.substr(end, 2) == kLineEnd ? 2 : 1);
    }
    return lines;
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

// The keys in the order the file holds them: the six, then the network
// publication's five.
constexpr std::array<std::string_view, 11> kKeys = {
    "statusPath",        "timeToSafe",          "timeToUnsafe",  "cloudyAsClear",
    "alarmOnSafe",       "alarmOnUnsafe",       "alpacaServer",  "alpacaPort",
    "alpacaAllowRemote", "alpacaDiscoveryPort", "alpacaUniqueId"};
constexpr std::size_t kBaseLines = 6;

// Text from the file, in quotes, cut short where long: a problem is said
// in one line.
std::string Quoted(std::string_view text)
{
    constexpr std::size_t kLongest = 60;
    std::string quoted = "'";
    quoted.append(text.substr(0, kLongest)).append(text.size() > kLongest ? "...'" : "'");
    return quoted;
}

// A "key,value" line read as ParseConfig reads its fields (blanks before
// the value skipped, spaces after it dropped, a value in double quotes
// taken whole), with nothing left over that ParseConfig would take for the
// next line's key. nullopt, with `why`, when it does not read so.
std::optional<std::string> ReadLine(std::string_view line, std::string_view key, std::string& why)
{
    const std::size_t comma = line.find(',');
    if (TrimBlanks(line.substr(0, comma)) != key) {
        why = std::string(key) + " expected, not " +
              (TrimBlanks(line).empty() ? std::string("an empty line") : Quoted(line));
        return std::nullopt;
    }
    if (comma == std::string_view::npos) {
        why = "no comma after " + std::string(key);
        return std::nullopt;
    }
    std::string_view value = line.substr(comma + 1);
    while (!value.empty() && value.front() == ' ') {
        value.remove_prefix(1);
    }
    if (!value.empty() && value.front() == '"') {
        const std::size_t close = value.find('"', 1);
        if (close == std::string_view::npos) {
            why = "the closing double quote is missing";
            return std::nullopt;
        }
        if (!TrimBlanks(value.substr(close + 1)).empty()) {
            why = "text after the closing double quote: " + Quoted(value.substr(close + 1));
            return std::nullopt;
        }
        return std::string(value.substr(1, close - 1));
    }
    if (value.find(',') != std::string_view::npos) {
        why = "a second comma (a value that holds one goes in double quotes)";
        return std::nullopt;
    }
    while (!value.empty() && value.back() == ' ') {
        value.remove_suffix(1);
    }
    return std::string(value);
}

// Stores the value of the key at `index` in kKeys; why not, if it does not read.
std::optional<std::string> StoreValue(std::size_t index, const std::string& value,
                                      Settings& settings)
{
    const std::string key(kKeys[index]);
    const auto flag = [&](bool& setting) -> std::optional<std::string> {
        if (value != "True" && value != "False") {
            return key + " must be True or False, not " + Quoted(value);
        }
        setting = value == "True";
        return std::nullopt;
    };
    const auto minutes = [&](std::int16_t& setting) -> std::optional<std::string> {
        const auto number = ParseMinutes(value);
        if (!number) {
            return key + " must be a whole number of minutes (-32768 to 32767), not " +
                   Quoted(value);
        }
        setting = *number;
        return std::nullopt;
    };
    const auto port = [&](std::uint16_t& setting) -> std::optional<std::string> {
        const auto number = ParsePort(value);
        if (!number) {
            return key + " must be a port number from 1 to 65535, not " + Quoted(value);
        }
        setting = *number;
        return std::nullopt;
    };
    AlpacaSettings& alpaca = settings.alpaca;
    switch (index) {
        case 0:
            settings.statusPath = value;
            return std::nullopt;
        case 1:
            return minutes(settings.timeToSafe);
        case 2:
            return minutes(settings.timeToUnsafe);
        case 3:
            return flag(settings.cloudyAsClear);
        case 4:
            return flag(settings.alarmOnSafe);
        case 5:
            return flag(settings.alarmOnUnsafe);
        case 6:
            return flag(alpaca.server);
        case 7:
            return port(alpaca.port);
        case 8:
            return flag(alpaca.allowRemote);
        case 9:
            return port(alpaca.discoveryPort);
        default:
            break;
    }
    // Empty while the publication has never been on.
    if (!value.empty() && !IsUniqueId(value)) {
        return key + " must be 1 to 64 letters, digits and hyphens, not " + Quoted(value);
    }
    alpaca.uniqueId = value;
    return std::nullopt;
}

// A notification line after the network lines, read strictly: a key of
// theirs, each once, with a value the setting takes as it is written.
std::optional<std::string> StoreNotifyLine(std::string_view line, std::vector<std::string>& seen,
                                           NotifySettings& settings, SecretForm& secrets)
{
    const std::string key(TrimBlanks(line.substr(0, line.find(','))));
    if (!IsNotifyKey(key)) {
        return Quoted(line) + " is not a setting of this file";
    }
    if (std::find(seen.begin(), seen.end(), key) != seen.end()) {
        return key + " a second time";
    }
    seen.push_back(key);
    std::string why;
    const auto stored = ReadLine(line, key, why);
    if (!stored) {
        return why;
    }
    const auto value = secrets.Secret(key, *stored);
    if (!value) {
        return key + " cannot be read on this computer for this user";
    }
    if (!NotifyValueReads(key, *value)) {
        return key + " does not take " + Quoted(*value);
    }
    ReadNotifyLine(key, *stored, settings, secrets);
    return std::nullopt;
}

}  // namespace

ConfigFile::ConfigFile(std::string folder)
    : loadFolder_(folder), saveFolder_(std::move(folder)), fileName_("config.ini")
{
}

ConfigFile::ConfigFile(std::string loadFolder, std::string saveFolder, std::string fileName)
    : loadFolder_(std::move(loadFolder)),
      saveFolder_(std::move(saveFolder)),
      fileName_(std::move(fileName))
{
}

std::string ConfigFile::Path() const
{
    return saveFolder_ + fileName_;
}

void ConfigFile::LoadConfig(Settings& settings)
{
    const std::string path = loadFolder_ + fileName_;
    if (!FileExists(path)) {
        return;
    }
    const auto prefix = platform::ReadSettingsFile(path, kMaxConfigBytes);
    if (!prefix) {
        unreadAtStart_ = settings;
        return;
    }
    notifyLines_ = ParseConfig(platform::TextFromFileBytes(prefix->bytes), settings, secrets_) || notifyLines_;
    KeepStatusPathBytes(settings, prefix->bytes);
}

std::variant<Settings, ConfigProblem> ConfigFile::ReloadConfig()
{
    // Where a new start would read it: once saved, the save folder's.
    const std::string path =
        (FileExists(saveFolder_ + fileName_) ? saveFolder_ : loadFolder_) + fileName_;
    // Said alike on every platform (Windows' reads leave errno alone).
    if (!FileExists(path)) {
        return ConfigProblem{0, "No such file or directory"};
    }
    errno = 0;
    const auto prefix = platform::ReadSettingsFile(path, kMaxConfigBytes);
    if (!prefix) {
        const int error = errno;
        return ConfigProblem{0, error != 0 ? std::strerror(error) : "not a file that can be read"};
    }
    if (prefix->moreFollows) {
        return ConfigProblem{0, "larger than " + std::to_string(kMaxConfigBytes / 1024) + " KiB"};
    }
    auto read = ParseConfigStrict(platform::TextFromFileBytes(prefix->bytes), secrets_);
    if (Settings* settings = std::get_if<Settings>(&read)) {
        // Read at last: from now on a save writes what the program runs on.
        unreadAtStart_.reset();
        KeepStatusPathBytes(*settings, prefix->bytes);
    }
    return read;
}

void ConfigFile::KeepStatusPathBytes(Settings& settings, const std::string& bytes)
{
    if (const auto value = StatusPathValue(bytes)) {
        if (*value == ProgramFolderMark() && !ConfigFileCanHold(GetEXEPath())) {
            settings.statusPath = GetEXEPath();
        }
        loadedStatusPath_ = LoadedPath{settings.statusPath, *value};
    }
}

bool ConfigFile::SaveConfig(const Settings& settings)
{
    if (unreadAtStart_) {
        return settings == *unreadAtStart_;
    }
    const auto statusPath = StatusPathBytes(settings.statusPath);
    if (!statusPath) {
        return false;
    }
    // The other values are ASCII, the same bytes in every code page (the
    // setup dialogs take nothing else, and protected secrets are base64),
    // but for two a hand may have typed into the file: those go back in
    // its code page, as they were read.
    Settings stored = settings;
    stored.statusPath = *statusPath;
    for (std::string* typed : {&stored.notify.telegramChatId, &stored.notify.caFile}) {
        *typed = platform::TextFileBytes(*typed).value_or(std::string());
    }
    const bool notifyLines = notifyLines_ || settings.notify != NotifySettings{};
    // Readable by its owner alone once it holds a secret (Windows protects
    // the secrets themselves).
    const bool secret = HoldsSecret(settings.notify) || secrets_.KeepsAny();
    if (!platform::MakeFolders(saveFolder_) ||
        !platform::ReplaceFileContents(Path(), FormatConfig(stored, secrets_, notifyLines), secret)) {
        return false;
    }
    notifyLines_ = notifyLines;
    return true;
}

std::string ConfigFile::StoredSecrets::Stored(std::string_view key, const std::string& secret)
{
    if (secret.empty()) {
        const auto kept = unreadable_.find(key);
        return kept != unreadable_.end() ? kept->second : std::string();
    }
    unreadable_.erase(std::string(key));
    return platform::ProtectSecret(secret);
}

std::optional<std::string> ConfigFile::StoredSecrets::Secret(std::string_view key, const std::string& stored)
{
    auto secret = platform::UnprotectSecret(stored);
    if (secret) {
        unreadable_.erase(std::string(key));
    } else {
        unreadable_.insert_or_assign(std::string(key), stored);
    }
    return secret;
}

std::optional<std::string> ConfigFile::StatusPathBytes(const std::string& statusPath) const
{
    if (loadedStatusPath_ && loadedStatusPath_->text == statusPath) {
        return loadedStatusPath_->bytes;
    }
    if (auto bytes = platform::TextFileBytes(statusPath)) {
        return bytes;
    }
    // The setup dialog refuses any other path the file cannot hold.
    if (statusPath == GetEXEPath()) {
        return ProgramFolderMark();
    }
    return std::nullopt;
}

bool ConfigFileCanHold(const std::string& text)
{
    return platform::TextFileBytes(text).has_value();
}

std::string FormatConfig(const Settings& settings, SecretForm& secrets, bool notifyLines)
{
    std::string text;
    const auto line = [&text](std::string_view key, const std::string& value) {
        text.append(key).append(",").append(value).append(kLineEnd);
    };
    line("statusPath", FormatStatusPath(settings.statusPath));
    line("timeToSafe", std::to_string(settings.timeToSafe));
    line("timeToUnsafe", std::to_string(settings.timeToUnsafe));
    line("cloudyAsClear", FlagText(settings.cloudyAsClear));
    line("alarmOnSafe", FlagText(settings.alarmOnSafe));
    line("alarmOnUnsafe", FlagText(settings.alarmOnUnsafe));
    // A user who never turns the publication on keeps the six-line file.
    // The notification lines come after the network lines, which are read
    // by position, so these are written with them.
    notifyLines = notifyLines || settings.notify != NotifySettings{};
    const AlpacaSettings& alpaca = settings.alpaca;
    if (alpaca != AlpacaSettings{} || notifyLines) {
        line("alpacaServer", FlagText(alpaca.server));
        line("alpacaPort", std::to_string(alpaca.port));
        line("alpacaAllowRemote", FlagText(alpaca.allowRemote));
        line("alpacaDiscoveryPort", std::to_string(alpaca.discoveryPort));
        line("alpacaUniqueId", alpaca.uniqueId);
    }
    if (notifyLines) {
        WriteNotifyLines(settings.notify, secrets, [&line](std::string_view key, const std::string& value) {
            line(key, FormatStatusPath(value));
        });
    }
    return text;
}

bool ParseConfig(std::string_view text, Settings& settings, SecretForm& secrets)
{
    FieldReader reader(text);
    // Each value replaces its setting as soon as it is read; a file cut
    // short keeps the current value of every setting after the cut. The
    // keys are never looked at, but a notification line ends those read by
    // position (a file edited by hand may lack the network lines).
    const auto nextValue = [&reader]() -> std::optional<std::string> {
        const auto key = reader.NextField();
        if (!key || IsNotifyKey(*key)) {
            return std::nullopt;
        }
        return reader.NextField();
    };
    const auto readMinutes = [&nextValue](std::int16_t& setting) {
        const auto value = nextValue();
        if (!value) {
            return false;
        }
        if (const auto minutes = ParseMinutes(*value)) {
            setting = *minutes;
        }
        return true;
    };
    const auto readFlag = [&nextValue](bool& setting) {
        const auto value = nextValue();
        if (value) {
            setting = *value == "True";
        }
        return value.has_value();
    };

    if (const auto path = nextValue()) {
        settings.statusPath = *path;
    } else {
        return false;
    }
    if (!(readMinutes(settings.timeToSafe) && readMinutes(settings.timeToUnsafe) &&
          readFlag(settings.cloudyAsClear) && readFlag(settings.alarmOnSafe) &&
          readFlag(settings.alarmOnUnsafe))) {
        return false;
    }
    const bool notifyLines = ParseNotifyLines(text.substr(reader.Offset()), settings.notify, secrets);

    // The later settings keep their value when theirs cannot be read, flags
    // included: only "True" and "False" change them.
    AlpacaSettings& alpaca = settings.alpaca;
    const auto readStrictFlag = [&nextValue](bool& setting) {
        const auto value = nextValue();
        if (value && (*value == "True" || *value == "False")) {
            setting = *value == "True";
        }
        return value.has_value();
    };
    const auto readPort = [&nextValue](std::uint16_t& setting) {
        const auto value = nextValue();
        if (value) {
            setting = ParsePort(*value).value_or(setting);
        }
        return value.has_value();
    };
    if (readStrictFlag(alpaca.server) && readPort(alpaca.port) && readStrictFlag(alpaca.allowRemote) &&
        readPort(alpaca.discoveryPort)) {
        if (const auto id = nextValue(); id && IsUniqueId(*id)) {
            alpaca.uniqueId = *id;
        }
    }
    return notifyLines;
}

std::variant<Settings, ConfigProblem> ParseConfigStrict(std::string_view text, SecretForm& secrets)
{
    std::vector<std::string_view> lines = SplitLines(text);
    while (!lines.empty() && TrimBlanks(lines.back()).empty()) {
        lines.pop_back();
    }
    Settings settings;
    std::vector<std::string> notifyKeys;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        std::string why;
        if (i >= kKeys.size()) {
            if (auto problem = StoreNotifyLine(lines[i], notifyKeys, settings.notify, secrets)) {
                return ConfigProblem{number, *problem};
            }
            continue;
        }
        const auto value = ReadLine(lines[i], kKeys[i], why);
        if (!value) {
            return ConfigProblem{number, why};
        }
        if (auto problem = StoreValue(i, *value, settings)) {
            return ConfigProblem{number, *problem};
        }
    }
    const std::size_t count = lines.size();
    if (count < kBaseLines || (count > kBaseLines && count < kKeys.size())) {
        return ConfigProblem{static_cast<int>(count) + 1,
                             std::string(kKeys[count]) + " is missing" +
                                 (count > kBaseLines ? " (the network lines come as five)" : "")};
    }
    return settings;
}

bool IsUniqueId(std::string_view text)
{
    return !text.empty() && text.size() <= 64 &&
           std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-';
           });
}

std::optional<std::uint16_t> ParsePort(std::string_view text)
{
    const auto value = ParseWholeNumber<unsigned>(text);
    if (!value || *value < 1 || *value > 65535) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(*value);
}

std::optional<std::int16_t> ParseMinutes(std::string_view text)
{
    return ParseWholeNumber<std::int16_t>(text);
}

bool StatusPathRoundTrips(const std::string& path)
{
    // Quotes would hold a line end, but no path anyone types has one.
    if (path.find_first_of("\r\n") != std::string::npos) {
        return false;
    }
    // Every other setting differs from its default, so a path that shifts
    // the later values shows up too.
    Settings written;
    written.statusPath = path;
    written.timeToSafe = -1;
    written.timeToUnsafe = -2;
    written.cloudyAsClear = true;
    written.alarmOnSafe = true;
    written.alarmOnUnsafe = false;
    Settings read;
    ParseConfig(FormatConfig(written), read);
    return read == written;
}

}  // namespace nortavi
