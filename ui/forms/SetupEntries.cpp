// SPDX-License-Identifier: MIT
#include "SetupEntries.h"

#include "ConfigFile.h"
#include "frmSetupDesign.h"

namespace nortavi::forms {

namespace {

constexpr const char* kPathOutsideCodePage =
    "Status path holds characters that config.ini cannot hold: it keeps the text in this "
    "system's code page. Choose a path without them.";

SetupRefusal MinutesRefusal(int field, int label)
{
    return {field, std::string(frmSetupDesign().Control(label).caption) +
                       " must be a whole number of minutes from -32768 to 32767."};
}

SetupRefusal PortRefusal(int field, int label)
{
    return {field, std::string(frmSetupDesign().Control(label).caption) +
                       " must be a whole number from 1 to 65535."};
}

}  // namespace

SetupEntries EntriesFromSettings(const Settings& settings)
{
    SetupEntries entries;
    entries.statusPath = settings.statusPath;
    entries.timeToSafe = std::to_string(settings.timeToSafe);
    entries.timeToUnsafe = std::to_string(settings.timeToUnsafe);
    entries.comboIndex = settings.cloudyAsClear ? kCloudyAsClearItem : kCloudyAsVCloudyItem;
    entries.alarmOnSafe = settings.alarmOnSafe;
    entries.alarmOnUnsafe = settings.alarmOnUnsafe;
    entries.alpacaServer = settings.alpaca.server;
    entries.alpacaPort = std::to_string(settings.alpaca.port);
    entries.alpacaAllowRemote = settings.alpaca.allowRemote;
    entries.alpacaDiscoveryPort = std::to_string(settings.alpaca.discoveryPort);
    return entries;
}

std::variant<Settings, SetupRefusal> CheckSetupEntries(const SetupEntries& entries,
                                                       const Settings& current,
                                                       const PortCheck& portUsable)
{
    using Id = frmSetupId;
    if (!entries.statusPath) {
        return SetupRefusal{Id::StatusPathField,
                            "Status path holds characters that cannot be saved in config.ini."};
    }
    if (entries.statusPathEdited && !ConfigFileCanHold(*entries.statusPath)) {
        return SetupRefusal{Id::StatusPathField, kPathOutsideCodePage};
    }
    if (entries.statusPathEdited && !StatusPathRoundTrips(*entries.statusPath)) {
        return SetupRefusal{Id::StatusPathField,
                            "Status path cannot be saved in config.ini as typed. "
                            "Remove any double quote or line break from it."};
    }
    const auto timeToSafe = ParseMinutes(entries.timeToSafe);
    if (!timeToSafe) {
        return MinutesRefusal(Id::TimeToSafeField, Id::Label1);
    }
    const auto timeToUnsafe = ParseMinutes(entries.timeToUnsafe);
    if (!timeToUnsafe) {
        return MinutesRefusal(Id::TimeToUnsafeField, Id::Label3);
    }

    const auto port = ParsePort(entries.alpacaPort);
    if (!port) {
        return PortRefusal(Id::AlpacaPortField, Id::Label4);
    }
    const auto discoveryPort = ParsePort(entries.alpacaDiscoveryPort);
    if (!discoveryPort) {
        return PortRefusal(Id::AlpacaDiscoveryPortField, Id::Label5);
    }
    if (entries.alpacaServer && portUsable && !portUsable(*port, entries.alpacaAllowRemote)) {
        return SetupRefusal{Id::AlpacaPortField, "Port " + std::to_string(*port) +
                                                     " is in use by another program. Choose "
                                                     "another port, or do not publish the status."};
    }

    Settings settings;
    settings.statusPath = *entries.statusPath;
    settings.timeToSafe = *timeToSafe;
    settings.timeToUnsafe = *timeToUnsafe;
    settings.cloudyAsClear = entries.comboIndex == kCloudyAsClearItem;
    settings.alarmOnSafe = entries.alarmOnSafe;
    settings.alarmOnUnsafe = entries.alarmOnUnsafe;
    settings.alpaca = {entries.alpacaServer, *port, entries.alpacaAllowRemote, *discoveryPort,
                       current.alpaca.uniqueId};
    settings.notify = current.notify;  // a dialog of its own
    return settings;
}

}  // namespace nortavi::forms
