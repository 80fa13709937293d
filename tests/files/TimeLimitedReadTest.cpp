// SPDX-License-Identifier: MIT
#include "TimeLimitedRead.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <ostream>
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

// A night's polls one after another, each on a thread of its own: every
// read ends and is handed back. Threads of MinGW's runtime that were let go
// the moment they were made once vanished under wine without running,
// and every poll after that was left without a reading.
TEST(TimeLimitedReadTest, ReadAfterReadEveryOneEnds)
{
    TimeLimitedRead reads(10s, [](const std::string&, std::size_t) {
        return FileRead{Outcome::Read, "line", false};
    });
    for (int poll = 0; poll < 500; ++poll) {
        ASSERT_EQ(reads.Read("status.txt", 64).outcome, Outcome::Read) << "poll " << poll;
    }
}

}  // namespace
}  // namespace nortavi
