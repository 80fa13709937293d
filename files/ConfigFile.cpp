// SPDX-License-Identifier: MIT
#include "ConfigFile.h"

#include "FieldReader.h"
#include "FileSystem.h"
#include "Platform.h"
#include "SecretText.h"

#include <algorithm>
#include <array>
#include <charconv>

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

}  // namespace

ConfigFile::ConfigFile(std::string folder) : loadFolder_(folder), saveFolder_(std::move(folder))
{
}

ConfigFile::ConfigFile(std::string loadFolder, std::string saveFolder)
    : loadFolder_(std::move(loadFolder)), saveFolder_(std::move(saveFolder))
{
}

std::string ConfigFile::Path() const
{
    return saveFolder_ + "config.ini";
}

void ConfigFile::LoadConfig(Settings& settings)
{
    const std::string path = loadFolder_ + "config.ini";
    if (!FileExists(path)) {
        return;
    }
    const auto prefix = platform::ReadSettingsFile(path, kMaxConfigBytes);
    if (!prefix) {
        unreadAtStart_ = settings;
        return;
    }
    notifyLines_ = ParseConfig(platform::TextFromFileBytes(prefix->bytes), settings, secrets_) || notifyLines_;
    if (const auto bytes = StatusPathValue(prefix->bytes)) {
        if (*bytes == ProgramFolderMark() && !ConfigFileCanHold(GetEXEPath())) {
            settings.statusPath = GetEXEPath();
        }
        loadedStatusPath_ = LoadedPath{settings.statusPath, *bytes};
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
