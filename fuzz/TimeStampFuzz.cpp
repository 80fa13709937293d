// SPDX-License-Identifier: MIT
// Time stamps under several regions' formats, the first byte choosing which:
// whatever is accepted is a real date-time that reads back the same from
// its ISO 8601 form.
#include "LocalTime.h"
#include "TimeStampFormat.h"
#include "TimeStampParser.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

using nortavi::PatternLetters;
using nortavi::RegionalPatterns;
using nortavi::TimeStampFormat;

std::vector<TimeStampFormat> Formats()
{
    const std::vector<RegionalPatterns> regions = {
        {"M/d/yyyy", {"h:mm:ss AP"}, {"AM"}, {"PM"}, {}},
        {"dd.MM.yyyy", {"HH:mm:ss"}, {}, {}, {}},
        {"yyyy. MM. dd.", {"H:mm:ss"}, {}, {}, {}},            // Hungarian
        {"d.MM.yy 'г'.", {"H:mm:ss 'ч'."}, {}, {}, {}},        // Bulgarian
        {"yy. M. d.", {"AP h:mm:ss"}, {"오전"}, {"오후"}, {}},  // Korean
        {"d.M.yyyy", {"H.mm.ss"}, {}, {}, {}},                 // Finnish
        {"d/M/yyyy", {"h:mm:ss a"}, {"ص"}, {"م"},
         {"٠", "١", "٢", "٣", "٤", "٥", "٦", "٧", "٨", "٩"}},  // Arabic digits
        {"yyyy-MM-dd", {"HH:mm"}, {}, {}, {}},
    };
    std::vector<TimeStampFormat> formats;
    for (const auto& region : regions) {
        if (auto format = TimeStampFormat::FromPatterns(region, PatternLetters::Qt)) {
            formats.push_back(std::move(*format));
        } else {
            std::abort();  // a format the fuzzer means to use must be buildable
        }
    }
    return formats;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::vector<TimeStampFormat> formats = Formats();
    if (size == 0) {
        return 0;
    }
    const auto& format = formats[data[0] % formats.size()];
    const auto time = nortavi::ParseTimeStamp({reinterpret_cast<const char*>(data + 1), size - 1}, format);
    if (time && nortavi::ParseTimeStamp(nortavi::FormatLocalTime(*time), format) != time) {
        std::abort();
    }
    return 0;
}
