// SPDX-License-Identifier: MIT
// The status file against a real second process that rewrites it as fast as
// it can, the way sensor software does, while the program's own reader polls
// it thousands of times. Every poll must give a condition with the time
// stamp it was written with, or no data; the writer must never be held up.
#include "ChildProcess.h"
#include "StatusFile.h"
#include "TempFolder.h"
#include "TortureData.h"
#include "TortureHelpers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace nortavi::torture {
namespace {

const LocalTime kNever = *MakeLocalTime(2000, 1, 1, 0, 0, 0);

struct PollCounts {
    long pairs = 0;
    long noData = 0;
    // The end of a condition word cut off by the writer ("CLOU"): its time
    // stamp is whole, and the word is none the program knows, so no
    // condition changes (see the test below).
    long tornWords = 0;
    long wrong = 0;
    std::string firstWrong;
    std::int64_t lastLine = -1;
};

// What one poll gave, checked against what the writer could have written.
void Classify(const std::string& word, LocalTime time, PollCounts& counts)
{
    if (word.empty() && time == kNever) {
        ++counts.noData;
        return;
    }
    const std::int64_t line = LineNumberOf(time);
    const std::string written = line >= 0 ? ConditionFor(line) : "";
    counts.lastLine = std::max(counts.lastLine, line);
    if (!word.empty() && word == written) {
        ++counts.pairs;
    } else if (!word.empty() && written.compare(0, word.size(), word) == 0) {
        ++counts.tornWords;
    } else if (counts.wrong++ == 0) {
        counts.firstWrong = "\"" + word + "\" at " + FormatLocalTime(time);
    }
}

struct WriterReport {
    std::int64_t rewrites = -1;
    std::int64_t failures = -1;
    std::int64_t slowestUs = -1;
};

WriterReport ReadReport(const std::string& path)
{
    WriterReport report;
    std::istringstream text(ReadWholeFile(path));
    std::string key;
    std::int64_t value = 0;
    while (text >> key >> value) {
        (key == "rewrites" ? report.rewrites
         : key == "failures" ? report.failures
                             : report.slowestUs) = value;
    }
    return report;
}

struct WriterCase {
    const char* mode;
    // Windows cannot replace or re-create a file while anyone holds it open,
    // whatever the sharing, and cannot open it for itself alone while a
    // poll holds it: such a writer meets a poll now and then, fails and
    // tries again. Every other writer must never fail.
    bool mayMeetAPoll;
};

class HostileWriterTest : public testing::TestWithParam<WriterCase> {};

// A torn condition word comes back as the text the file held; the reader
// cannot tell it from a whole file without a line end, which is read as
// written. Such a word pairs a real time stamp with no known condition, so
// the poll changes no condition time: for the verdict it is no data.
TEST_P(HostileWriterTest, EveryPollGivesAWrittenPairOrNoData)
{
    const WriterCase& tested = GetParam();
    TempFolder folder;
    const std::string status = folder.Write("status.txt", StatusLine(0));
    const std::string stop = folder.File("stop");
    const std::string report = folder.File("report");
    ChildProcess writer(HelperProgram("nortavi-status-writer"), {tested.mode, status, stop, report});

    StatusFile reader;
    const auto poll = [&](std::string& word, LocalTime& time) {
        word.clear();
        time = kNever;
        reader.LoadStatus(status, word, time);
    };
    // The writer has begun once the file changes (or, held, cannot be read).
    WaitUntil([&] {
        std::string word;
        LocalTime time;
        poll(word, time);
        return time != StampFor(0) || writer.HasEnded();
    });

    const long polls = Rounds("NORTAVI_TORTURE_POLLS", 3000);
    PollCounts counts;
    for (long i = 0; i < polls; ++i) {
        std::string word;
        LocalTime time;
        poll(word, time);
        Classify(word, time, counts);
        // A moment's pause, so that on a busy machine the writer is not
        // starved of the processor by the polls.
        std::this_thread::sleep_for(std::chrono::microseconds{50});
    }
    folder.Write("stop", "");
    ASSERT_EQ(writer.Wait(), 0);
    const WriterReport written = ReadReport(report);

    std::printf("[ figures  ] %s: %ld polls, %lld rewrites, %ld pairs, %ld no data, "
                "%ld torn words, %lld writer failures, slowest rewrite %lld us\n",
                tested.mode, polls, static_cast<long long>(written.rewrites), counts.pairs,
                counts.noData, counts.tornWords, static_cast<long long>(written.failures),
                static_cast<long long>(written.slowestUs));
    EXPECT_EQ(counts.wrong, 0) << "the first: " << counts.firstWrong;
    EXPECT_LE(counts.lastLine, written.rewrites) << "a time stamp never written";
    ASSERT_GT(written.rewrites, 0);
    if (!tested.mayMeetAPoll) {
        EXPECT_EQ(written.failures, 0) << "the reader held the writer up";
    }
    if (std::string(tested.mode) == "exclusive") {
        // Locked out: every poll fails at once (a waiting one would hang
        // here), and the writer goes on.
        EXPECT_EQ(counts.noData, polls);
    } else {
        EXPECT_GT(counts.pairs, 0);
    }
}

#ifdef _WIN32
constexpr bool kOnWindows = true;
#else
constexpr bool kOnWindows = false;
#endif

std::vector<WriterCase> Writers()
{
    std::vector<WriterCase> writers{{"in-place", false}, {"rename", kOnWindows},
                                    {"recreate", kOnWindows}, {"pieces", false}};
    if (kOnWindows) {
        // Only its opening can meet a poll; once held, no poll reaches it.
        writers.push_back({"exclusive", true});
    }
    return writers;
}

INSTANTIATE_TEST_SUITE_P(Writers, HostileWriterTest, testing::ValuesIn(Writers()),
                         [](const auto& tested) {
                             std::string name = tested.param.mode;
                             std::erase(name, '-');
                             return name;
                         });

}  // namespace
}  // namespace nortavi::torture
