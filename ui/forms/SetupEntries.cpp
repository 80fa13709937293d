// SPDX-License-Identifier: MIT
#include "SetupEntries.h"

#include "ConfigFile.h"
#include "frmSetupDesign.h"

namespace nortavi::forms {

namespace {

SetupRefusal MinutesRefusal(int field, int label)
{
    return {field, std::string(frmSetupDesign().Control(label).caption) +
                       " must be a whole number of minutes from -32768 to 32767."};
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
    return entries;
}

std::variant<Settings, SetupRefusal> CheckSetupEntries(const SetupEntries& entries)
{
    using Id = frmSetupId;
    if (!entries.statusPath) {
        return SetupRefusal{Id::StatusPathField,
                            "Status path holds characters that cannot be saved in config.ini."};
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

    Settings settings;
    settings.statusPath = *entries.statusPath;
    settings.timeToSafe = *timeToSafe;
    settings.timeToUnsafe = *timeToUnsafe;
    settings.cloudyAsClear = entries.comboIndex == kCloudyAsClearItem;
    settings.alarmOnSafe = entries.alarmOnSafe;
    settings.alarmOnUnsafe = entries.alarmOnUnsafe;
    return settings;
}

}  // namespace nortavi::forms
