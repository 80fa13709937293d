// SPDX-License-Identifier: MIT
// Time stamps under several regional short dates, the first byte choosing
// which: whatever is accepted is a real date-time that reads back the same
// from its ISO 8601 form.
#include "LocalTime.h"
#include "TimeStampParser.h"

#include <array>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static constexpr std::array kPatterns = {"M/d/yyyy", "d/M/yyyy",  "dd.MM.yyyy", "yyyy-MM-dd",
                                             "d-M-yy",   "yyyy/M/d",  "dd.MM.yy",   "MM-dd-yy"};
    if (size == 0) {
        return 0;
    }
    const auto pattern = nortavi::ShortDatePattern::FromQtPattern(kPatterns[data[0] % kPatterns.size()]);
    const auto time = nortavi::ParseTimeStamp({reinterpret_cast<const char*>(data + 1), size - 1}, *pattern);
    if (time && nortavi::ParseTimeStamp(nortavi::FormatLocalTime(*time), *pattern) != time) {
        std::abort();
    }
    return 0;
}
