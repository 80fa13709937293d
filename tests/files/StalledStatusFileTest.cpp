// SPDX-License-Identifier: MIT
// A status file whose open or read really stalls in the kernel, as on a
// share that has stopped answering or under an on-access scanner that
// hangs: fanotify permission events hold each access until they are
// answered. They need CAP_SYS_ADMIN; elsewhere the test is skipped.
#include "StatusFile.h"

#include "TempFolder.h"

#include <fcntl.h>
#include <sys/fanotify.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

namespace nortavi {
namespace {

using namespace std::chrono_literals;

const LocalTime kBefore = *MakeLocalTime(2000, 1, 1, 0, 0, 0);
const LocalTime kStamp = *MakeLocalTime(2026, 12, 7, 21, 3, 5);

// Holds the chosen accesses to one file until released.
class StalledFile {
public:
    StalledFile(const std::string& path, std::uint64_t accesses)
        : fd_(fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC | FAN_NONBLOCK, O_RDONLY))
    {
        if (fd_ >= 0 && fanotify_mark(fd_, FAN_MARK_ADD, accesses, AT_FDCWD, path.c_str()) != 0) {
            Release();
        }
    }
    StalledFile(const StalledFile&) = delete;
    StalledFile& operator=(const StalledFile&) = delete;
    ~StalledFile() { Release(); }

    bool stalling() const { return fd_ >= 0; }

    // How many accesses have been held so far; each stays held.
    int Held()
    {
        alignas(fanotify_event_metadata) char buffer[4096];
        ssize_t length = 0;
        while ((length = ::read(fd_, buffer, sizeof buffer)) > 0) {
            auto* event = reinterpret_cast<fanotify_event_metadata*>(buffer);
            for (; FAN_EVENT_OK(event, length); event = FAN_EVENT_NEXT(event, length)) {
                ::close(event->fd);
                ++held_;
            }
        }
        return held_;
    }

    // Closing the group lets every held access through.
    void Release()
    {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = -1;
    }

private:
    int fd_;
    int held_ = 0;
};

struct StallCase {
    const char* name;
    std::uint64_t accesses;
};

class StalledStatusFileTest : public testing::TestWithParam<StallCase> {};

TEST_P(StalledStatusFileTest, APollGetsNoDataAtOnceAndTheFileIsReadWhenItAnswers)
{
    TempFolder folder;
    const auto path = folder.Write("status.txt", "12/7/2026 21:03:05,CLEAR\r\n");
    StalledFile stalled(path, GetParam().accesses);
    if (!stalled.stalling()) {
        GTEST_SKIP() << "fanotify permission events are not allowed here";
    }
    StatusFile reader({}, 100ms);

    for (int poll = 0; poll < 3; ++poll) {
        std::string word = "stale";
        LocalTime time = kBefore;
        reader.LoadStatus(path, word, time);
        EXPECT_EQ(word, "") << "poll " << poll;
        EXPECT_EQ(time, kBefore) << "poll " << poll;
    }
    // One read reached the file; the later polls did not queue up behind it.
    for (int wait = 0; wait < 1000 && stalled.Held() == 0; ++wait) {
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_EQ(stalled.Held(), 1);

    stalled.Release();
    std::string word;
    LocalTime time = kBefore;
    for (int poll = 0; poll < 1000 && word.empty(); ++poll) {
        std::this_thread::sleep_for(5ms);
        reader.LoadStatus(path, word, time);
    }
    EXPECT_EQ(word, "CLEAR");
    EXPECT_EQ(time, kStamp);
}

INSTANTIATE_TEST_SUITE_P(Stalls, StalledStatusFileTest,
                         testing::Values(StallCase{"Open", FAN_OPEN_PERM},
                                         StallCase{"Read", FAN_ACCESS_PERM}),
                         [](const auto& tested) { return std::string(tested.param.name); });

}  // namespace
}  // namespace nortavi
