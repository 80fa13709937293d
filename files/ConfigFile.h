// SPDX-License-Identifier: MIT
#pragma once

#include "Ports.h"
#include "Settings.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace nortavi {

// Why a settings file was not taken: the line (the first is 1; 0 for the
// file as a whole) and what is wrong there.
struct ConfigProblem {
    int line = 0;
    std::string why;

    bool operator==(const ConfigProblem&) const = default;
};

// config.ini: six lines "key,value" with CR LF, in the fixed order
// statusPath, timeToSafe, timeToUnsafe, cloudyAsClear, alarmOnSafe,
// alarmOnUnsafe, then, once the network publication has been set, five
// more: alpacaServer, alpacaPort, alpacaAllowRemote, alpacaDiscoveryPort,
// alpacaUniqueId. Values are read by position; the keys are never read.
// The settings are UTF-8 text; the file holds the system code page's bytes
// on Windows (UTF-8 elsewhere), converted exactly at load and save.
class ConfigFile final : public ConfigStore {
public:
    // `folder` holds config.ini; it is made, with the folders above it, at
    // the first save.
    explicit ConfigFile(std::string folder);
    // Reads config.ini (or `fileName`) from `loadFolder` and writes it to
    // `saveFolder`.
    ConfigFile(std::string loadFolder, std::string saveFolder, std::string fileName = "config.ini");

    // The file saves write.
    std::string Path() const;

    void LoadConfig(Settings& settings) override;
    // After a start at which config.ini was there but could not be read,
    // the file is never written: a save of the settings the program
    // started with does nothing and succeeds (closing the window), a save
    // of others fails (they mix the user's choices in the setup dialog with
    // defaults the user never chose), and the window says so.
    bool SaveConfig(const Settings& settings) override;

    // The file read again while the program runs, strictly (see
    // ParseConfigStrict): from where a new start would read it. The settings
    // it holds, which become the file as loaded, or why it cannot be taken.
    std::variant<Settings, ConfigProblem> ReloadConfig();

private:
    void KeepStatusPathBytes(Settings& settings, const std::string& bytes);
    std::optional<std::string> StatusPathBytes(const std::string& statusPath) const;

    std::string loadFolder_;
    std::string saveFolder_;
    std::string fileName_;
    // The status path as it was read, as text and as the file's bytes: a
    // path left unchanged is written back byte for byte.
    struct LoadedPath {
        std::string text;
        std::string bytes;
    };
    std::optional<LoadedPath> loadedStatusPath_;
    // The settings as they stood when config.ini was there but could not be
    // read at start (another program held it, or it is not ours to read):
    // not the user's, so they never overwrite the file.
    std::optional<Settings> unreadAtStart_;
};

// Whether config.ini can hold the text exactly (on Windows: whether the
// system code page has every character of it).
bool ConfigFileCanHold(const std::string& text);

// The file's bytes for these settings.
std::string FormatConfig(const Settings& settings);

// Replaces each setting whose value the text holds and can be read; every
// other setting keeps its current value.
void ParseConfig(std::string_view text, Settings& settings);

// The settings the text holds, read strictly, for a file edited by hand
// and reloaded while the program runs: each line in its place with its key
// and a value that reads, the six lines alone or followed by the five of
// the network publication, then nothing but blank lines. What the file
// does not hold takes its default. Otherwise the first line that does not
// read, and why.
std::variant<Settings, ConfigProblem> ParseConfigStrict(std::string_view text);

// A port number from 1 to 65535, with the same spellings as minutes.
std::optional<std::uint16_t> ParsePort(std::string_view text);

// What an Alpaca unique id may be: 1 to 64 letters, digits and hyphens (a
// UUID, as Nortavi makes them).
bool IsUniqueId(std::string_view text);

// A whole number from -32768 to 32767: optional blanks around it, an
// optional sign, decimal digits. nullopt for anything else.
std::optional<std::int16_t> ParseMinutes(std::string_view text);

// Whether the setup dialog may store this status path: config.ini holds it
// so that it reads back unchanged (no form can hold a double quote together
// with a comma), and it has no line end.
bool StatusPathRoundTrips(const std::string& path);

}  // namespace nortavi
