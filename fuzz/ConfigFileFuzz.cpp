// SPDX-License-Identifier: MIT
// config.ini as anyone may have edited it: whatever settings it gives are
// written and read back unchanged, so a save never changes a setting.
#include "ConfigFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    nortavi::Settings loaded;
    nortavi::ParseConfig({reinterpret_cast<const char*>(data), size}, loaded);
    nortavi::Settings reloaded;
    nortavi::ParseConfig(nortavi::FormatConfig(loaded), reloaded);
    if (!(reloaded == loaded)) {
        std::abort();
    }
    return 0;
}
