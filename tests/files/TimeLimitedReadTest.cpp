// SPDX-License-Identifier: MIT
#include "TimeLimitedRead.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <ostream>
#include <stdexcept>
#include <string>
#include <thread>

namespace nortavi {

void PrintTo(FileRead::Outcome outcome, std::ostream* out)
{
    constexpr const char* kNames[] = {"NoFile", "Failed", "Read", "TimedOut", "StillBusy"};
    *out << kNames[static_cast<int>(outcome)];
}

namespace {

using Outcome = FileRead::Outcome;
using namespace std::chrono_literals;

constexpr auto kLimit = 50ms;

// A read that hangs, as one of a share that has stopped answering does,
// until the test opens it. Each read hands back which one it was.
class HangingRead {
public:
    FileReadFunction Function() const
    {
        return [state = state_](const std::string&, std::size_t) {
            std::unique_lock lock(state->mutex);
            const int read = ++state->started;
            state->changed.wait(lock, [&state] { return state->open; });
            return FileRead{Outcome::Read, "read " + std::to_string(read), false};
        };
    }

    int Started() const
    {
        std::lock_guard lock(state_->mutex);
        return state_->started;
    }

    void Open()
    {
        std::lock_guard lock(state_->mutex);
        state_->open = true;
        state_->changed.notify_all();
    }

    // True once no worker holds this read any more.
    bool LetGoByEveryWorker() const { return state_.use_count() == 1; }

private:
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        int started = 0;
        bool open = false;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

// Reads until one gives the file, as the timer's polls would; a stalled
// read ends on its own time, so the first polls may still find it busy.
FileRead PollUntilRead(TimeLimitedRead& reads)
{
    FileRead read;
    for (int poll = 0; poll < 1000 && read.outcome != Outcome::Read; ++poll) {
        read = reads.Read("status.txt", 64);
        if (read.outcome != Outcome::Read) {
            std::this_thread::sleep_for(5ms);
        }
    }
    return read;
}

TEST(TimeLimitedReadTest, AStalledReadCostsOneWaitAndNoOtherReadStartsUntilItEnds)
{
    HangingRead share;
    TimeLimitedRead reads(kLimit, share.Function());

    EXPECT_EQ(reads.Read("status.txt", 64).outcome, Outcome::TimedOut);
    // While it hangs, each poll is told so without waiting and asks the
    // share for nothing more.
    for (int poll = 0; poll < 3; ++poll) {
        EXPECT_EQ(reads.Read("status.txt", 64).outcome, Outcome::StillBusy);
    }
    EXPECT_EQ(share.Started(), 1);

    share.Open();
    const FileRead read = PollUntilRead(reads);
    ASSERT_EQ(read.outcome, Outcome::Read);
    // What the overrun read found is old by now and is never handed out.
    EXPECT_NE(read.bytes, "read 1");
}

// The window closes while the share still hangs: the worker, left alone,
// ends when the share answers and lets go of all it held (the sanitizers
// would see it touch the reader it outlived).
TEST(TimeLimitedReadTest, AReadStuckWhenItsReaderGoesAwayEndsAlone)
{
    HangingRead share;
    {
        TimeLimitedRead reads(kLimit, share.Function());
        ASSERT_EQ(reads.Read("status.txt", 64).outcome, Outcome::TimedOut);
    }
    share.Open();
    bool letGo = false;
    for (int wait = 0; wait < 1000 && !letGo; ++wait) {
        std::this_thread::sleep_for(5ms);
        letGo = share.LetGoByEveryWorker();
    }
    EXPECT_TRUE(letGo);
}

// A night's polls one after another: every read ends and is handed back,
// none is lost between the caller and the worker. Threads of MinGW's
// runtime that were let go the moment they were made once vanished under
// wine without running, and every poll after that was left without a
// reading.
TEST(TimeLimitedReadTest, ReadAfterReadEveryOneEnds)
{
    TimeLimitedRead reads(10s, [](const std::string&, std::size_t) {
        return FileRead{Outcome::Read, "line", false};
    });
    for (int poll = 0; poll < 500; ++poll) {
        ASSERT_EQ(reads.Read("status.txt", 64).outcome, Outcome::Read) << "poll " << poll;
    }
}

// The reads made on the thread it belongs to. When that thread ends, it
// takes its time before it says so: a thread let go, not ended, is seen.
struct ReadsOnThisThread {
    int count = 0;
    std::shared_ptr<std::atomic<bool>> ended;
    ~ReadsOnThisThread()
    {
        std::this_thread::sleep_for(kLimit);
        *ended = true;
    }
};

// One thread serves read after read: past a read that threw and past one
// that stalled, once it has ended. Its reader, going away while it idles,
// ends it there and then.
TEST(TimeLimitedReadTest, OneWorkerServesEveryReadAndGoesWithItsReader)
{
    HangingRead share;
    auto ended = std::make_shared<std::atomic<bool>>(false);
    {
        const auto read = [hang = share.Function(), ended](const std::string& path,
                                                           std::size_t maxBytes) {
            thread_local ReadsOnThisThread thread{0, ended};
            const std::string number = std::to_string(++thread.count);
            if (path == "throws.txt") {
                throw std::runtime_error("read " + number);
            }
            if (path == "stalls.txt") {
                hang(path, maxBytes);
            }
            return FileRead{Outcome::Read, number, false};
        };
        // Time enough for a busy machine: only the stalled read is to overrun.
        TimeLimitedRead reads(1s, read);
        EXPECT_EQ(reads.Read("status.txt", 64).bytes, "1");
        EXPECT_EQ(reads.Read("status.txt", 64).bytes, "2");
        EXPECT_EQ(reads.Read("throws.txt", 64).outcome, Outcome::Failed);
        EXPECT_EQ(reads.Read("status.txt", 64).bytes, "4");
        EXPECT_EQ(reads.Read("stalls.txt", 64).outcome, Outcome::TimedOut);
        share.Open();
        EXPECT_EQ(PollUntilRead(reads).bytes, "6");
    }
    EXPECT_TRUE(*ended);
    EXPECT_TRUE(share.LetGoByEveryWorker());
}

}  // namespace
}  // namespace nortavi
