// SPDX-License-Identifier: MIT
#include "TortureData.h"

#include <array>

namespace nortavi::torture {

namespace {
const LocalTime kFirstStamp = *MakeLocalTime(2026, 1, 1, 0, 0, 0);
constexpr std::array<const char*, 3> kWords{"CLEAR", "CLOUDY", "V.CLOUDY"};
}  // namespace

LocalTime StampFor(std::int64_t n)
{
    return kFirstStamp + std::chrono::seconds{n};
}

std::string ConditionFor(std::int64_t n)
{
    return kWords[static_cast<std::size_t>(n % 3)];
}

std::string StatusLine(std::int64_t n)
{
    return FormatLocalTime(StampFor(n)) + "," + ConditionFor(n) + "\r\n";
}

std::int64_t LineNumberOf(LocalTime stamp)
{
    return (stamp - kFirstStamp).count();
}

Settings SaverSettings(const std::string& folder, bool second)
{
    Settings settings = DefaultSettings(folder);
    settings.statusPath = "/home/observer/sensor/status.txt";
    if (second) {
        settings.statusPath = "/srv/observatory/cloud sensor/status-with-a-longer-name.txt";
        settings.timeToSafe = -32768;
        settings.timeToUnsafe = 32767;
        settings.cloudyAsClear = settings.alarmOnSafe = true;
        settings.alarmOnUnsafe = false;
        settings.alpaca = {true, 11112, true, 32228, "1b4e28ba-2fa1-41d2-883f-0016d3cca427"};
    }
    return settings;
}

}  // namespace nortavi::torture
