// SPDX-License-Identifier: MIT
// config.ini as anyone may have edited it: whatever settings it gives are
// written and read back unchanged, so a save never changes a setting; and
// what the strict reading of a reload takes from it, the window takes too.
#include "ConfigFile.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <variant>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    nortavi::Settings loaded;
    nortavi::ParseConfig(text, loaded);
    const auto strict = nortavi::ParseConfigStrict(text);
    if (const auto* settings = std::get_if<nortavi::Settings>(&strict); settings && !(*settings == loaded)) {
        std::abort();
    }
    nortavi::Settings reloaded;
    nortavi::ParseConfig(nortavi::FormatConfig(loaded), reloaded);
    if (!(reloaded == loaded)) {
        std::abort();
    }
    return 0;
}
