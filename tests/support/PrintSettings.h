// SPDX-License-Identifier: MIT
#pragma once

#include "Settings.h"

#include <ostream>

namespace nortavi {

// Readable settings in test failure messages.
inline void PrintTo(const Settings& s, std::ostream* out)
{
    *out << "{statusPath=\"" << s.statusPath << "\" timeToSafe=" << s.timeToSafe
         << " timeToUnsafe=" << s.timeToUnsafe << " cloudyAsClear=" << s.cloudyAsClear
         << " alarmOnSafe=" << s.alarmOnSafe << " alarmOnUnsafe=" << s.alarmOnUnsafe
         << " alpaca={" << s.alpaca.server << " " << s.alpaca.port << " " << s.alpaca.allowRemote << " "
         << s.alpaca.discoveryPort << " \"" << s.alpaca.uniqueId << "\"}}";
}

}  // namespace nortavi
