// SPDX-License-Identifier: MIT
// The status reader on a real file of any bytes: a read may fail, but a
// condition it reports comes with a fresh time stamp, and both are the
// file's first two fields.
#include "FieldReader.h"
#include "StatusFile.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {
const std::string& StatusPath()
{
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("nortavi-fuzz-status-" + std::to_string(getpid()))).string();
    static const int cleanup = std::atexit([] { std::filesystem::remove(StatusPath()); });
    (void)cleanup;
    return path;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace nortavi;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (!(std::ofstream(StatusPath(), std::ios::binary | std::ios::trunc) << bytes)) {
        std::abort();
    }
    FieldReader fields(bytes);
    const auto stamp = fields.NextField();
    const auto condition = fields.NextField();
    const auto time = stamp && condition ? ParseTimeStamp(*stamp, {}) : std::nullopt;

    std::string statusString = "as before";
    LocalTime lastStatusTime = LocalTime::min();
    StatusFile().LoadStatus(StatusPath(), statusString, lastStatusTime);
    const bool fresh = lastStatusTime != LocalTime::min();
    if (fresh ? (lastStatusTime != time || statusString != *condition) : !statusString.empty()) {
        std::abort();
    }
    return 0;
}
