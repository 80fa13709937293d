// SPDX-License-Identifier: MIT
// nortavi-status-writer: a hostile sensor program. It rewrites the status
// file as fast as it can in one of the ways sensor software does, until a
// stop file appears, then reports how many lines it wrote, how many of its
// own operations failed and its slowest attempt.
//
//   nortavi-status-writer MODE STATUS-FILE STOP-FILE REPORT-FILE
//   MODE: in-place | rename | recreate | pieces | exclusive (Windows)
#include "StatusWriteOs.h"
#include "TortureData.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace {

using namespace nortavi::torture;
using Rewrite = bool (*)(const std::string&, const std::string&);

const std::map<std::string, Rewrite> kModes{
    {"in-place", &RewriteInPlace},   {"rename", &ReplaceByRename},
    {"recreate", &DeleteAndCreate},  {"pieces", &RewriteInPieces},
    {"exclusive", &RewriteHeldExclusively}};

// A writer left behind by a test that died stops by itself.
constexpr auto kLongestRun = std::chrono::minutes{10};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5 || kModes.count(argv[1]) == 0) {
        std::fprintf(stderr, "usage: %s in-place|rename|recreate|pieces|exclusive "
                             "STATUS-FILE STOP-FILE REPORT-FILE\n", argv[0]);
        return 2;
    }
    const Rewrite rewrite = kModes.at(argv[1]);
    const std::string path = argv[2];
    const std::filesystem::path stop = argv[3];

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    std::int64_t rewrites = 0;
    std::int64_t failures = 0;
    Clock::duration slowest{};
    std::error_code ignored;
    while (!std::filesystem::exists(stop, ignored) && Clock::now() - start < kLongestRun) {
        const auto before = Clock::now();
        // A failed attempt is tried again with the same line.
        if (rewrite(path, StatusLine(rewrites))) {
            ++rewrites;
        } else {
            ++failures;
        }
        slowest = std::max(slowest, Clock::now() - before);
    }
    std::ofstream(argv[4]) << "rewrites " << rewrites << "\nfailures " << failures
                           << "\nslowest_us "
                           << std::chrono::duration_cast<std::chrono::microseconds>(slowest).count()
                           << "\n";
    return 0;
}
