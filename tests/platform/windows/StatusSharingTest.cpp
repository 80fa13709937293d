// SPDX-License-Identifier: MIT
// The status file is shared with the sensor's software, which keeps
// rewriting it. On Windows an open file is locked against others by its
// sharing mode: these tests play the writer's part against the real reader.
#include "Gate.h"
#include "ImportHook.h"
#include "LocalTime.h"
#include "ScratchFolder.h"
#include "StatusFile.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <string>

namespace nortavi {
namespace {

const std::string kClearLine = "2026-12-07 21:30:00,CLEAR\r\n";
const std::string kCloudyLine = "2026-12-07 21:30:05,V.CLOUDY\r\n";

LocalTime Stamp(int second)
{
    return *MakeLocalTime(2026, 12, 7, 21, 30, second);
}

const LocalTime kBefore = *MakeLocalTime(2000, 1, 1, 0, 0, 0);

struct Poll {
    std::string condition;
    LocalTime lastStatusTime = kBefore;
};

Poll LoadStatus(StatusFile& reader, const std::string& path)
{
    Poll poll;
    reader.LoadStatus(path, poll.condition, poll.lastStatusTime);
    return poll;
}

Poll LoadStatus(const std::string& path)
{
    StatusFile reader;
    return LoadStatus(reader, path);
}

// A writer's handle, closed at the end of the test.
class WriterHandle {
public:
    WriterHandle(const std::string& path, DWORD access, DWORD share, DWORD disposition)
        : handle_(CreateFileA(path.c_str(), access, share, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr)),
          error_(GetLastError())
    {
    }
    WriterHandle(const WriterHandle&) = delete;
    WriterHandle& operator=(const WriterHandle&) = delete;
    ~WriterHandle()
    {
        if (valid()) {
            CloseHandle(handle_);
        }
    }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    DWORD error() const { return error_; }
    bool Write(const std::string& bytes)
    {
        DWORD written = 0;
        return WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                         nullptr) &&
               written == bytes.size();
    }

private:
    HANDLE handle_;
    DWORD error_;
};

// --- The writer holds the file open while a poll reads it ---------------

struct HeldCase {
    const char* name;
    DWORD access;
    DWORD share;
    bool readable;
};

class WriterHoldsTheFileTest : public testing::TestWithParam<HeldCase> {};

TEST_P(WriterHoldsTheFileTest, ThePollReadsUnlessTheWriterLocksEveryoneOut)
{
    ScratchFolder folder;
    const std::string path = folder.Write("status.txt", kClearLine);
    WriterHandle writer(path, GetParam().access, GetParam().share, OPEN_EXISTING);
    ASSERT_TRUE(writer.valid()) << "error " << writer.error();

    const Poll poll = LoadStatus(path);

    if (GetParam().readable) {
        EXPECT_EQ(poll.condition, "CLEAR");
        EXPECT_EQ(poll.lastStatusTime, Stamp(0));
    } else {
        EXPECT_EQ(poll.condition, "");
        EXPECT_EQ(poll.lastStatusTime, kBefore);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Writers, WriterHoldsTheFileTest,
    testing::Values(
        // How most programs open a log-like file they keep appending to.
        HeldCase{"SharingReadAndWrite", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, true},
        // .NET's FileStream default when writing.
        HeldCase{"SharingReadOnly", GENERIC_WRITE, FILE_SHARE_READ, true},
        // A writer that may also delete or rename the file it holds.
        HeldCase{"HoldingDeleteAccess", GENERIC_WRITE | DELETE,
                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, true},
        // Nothing can read past this writer; the poll fails and costs nothing.
        HeldCase{"SharingNothing", GENERIC_WRITE, 0, false}),
    [](const auto& tested) { return std::string(tested.param.name); });

// --- The writer acts while a poll holds the file open -------------------

// The poll is stopped at its first ReadFile, after the reader's own
// CreateFileA: the handle the writer meets carries exactly the production
// access and sharing flags.
Gate* g_readGate = nullptr;
ImportHook* g_readHook = nullptr;

BOOL WINAPI HoldingReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read,
                            LPOVERLAPPED overlapped)
{
    g_readGate->HoldIfArmed();
    return g_readHook->Original<decltype(&ReadFile)>()(file, buffer, toRead, read, overlapped);
}

// A poll running on a thread of its own, held inside its read until
// Release(): meanwhile the test plays the writer. The file is read on the
// reader's worker thread, so the gate is armed there; the poll waits for
// the held read as long as the test takes.
class HeldPoll {
public:
    explicit HeldPoll(const std::string& path)
        : hook_("kernel32.dll", "ReadFile", reinterpret_cast<const void*>(&HoldingReadFile)),
          reader_({}, std::chrono::minutes(10),
                  [this](const std::string& file, std::size_t max) {
                      gate_.Arm();
                      return ReadFileFromDisk(file, max);
                  })
    {
        g_readGate = &gate_;
        g_readHook = &hook_;
        poll_ = std::async(std::launch::async, [this, path] {
            const Poll result = LoadStatus(reader_, path);
            gate_.Finished();
            return result;
        });
    }
    HeldPoll(const HeldPoll&) = delete;
    HeldPoll& operator=(const HeldPoll&) = delete;
    ~HeldPoll()
    {
        gate_.Open();
        if (poll_.valid()) {
            poll_.wait();
        }
    }

    // Whether the poll is held with the file open (false: it never read).
    bool Reached() { return gate_.Reached(); }

    Poll Release()
    {
        gate_.Open();
        return poll_.get();
    }

private:
    Gate gate_;
    ImportHook hook_;
    StatusFile reader_;
    std::future<Poll> poll_;
};

enum class WriterAction { RewriteInPlace, Delete, RenameAsideThenWriteAnew };

struct ActionCase {
    const char* name;
    WriterAction action;
};

class WriterActsDuringAPollTest : public testing::TestWithParam<ActionCase> {};

TEST_P(WriterActsDuringAPollTest, TheWriterIsNotBlockedAndTheNextPollSeesItsWork)
{
    ScratchFolder folder;
    const std::string path = folder.Write("status.txt", kClearLine);

    HeldPoll poll(path);
    ASSERT_TRUE(poll.Reached()) << "the poll never read the file";

    bool done = false;
    DWORD error = 0;
    switch (GetParam().action) {
    case WriterAction::RewriteInPlace: {
        WriterHandle writer(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            CREATE_ALWAYS);
        done = writer.valid() && writer.Write(kCloudyLine);
        error = writer.valid() ? GetLastError() : writer.error();
        break;
    }
    case WriterAction::Delete:
        done = DeleteFileA(path.c_str()) != 0;
        error = GetLastError();
        break;
    case WriterAction::RenameAsideThenWriteAnew:
        done = MoveFileExA(path.c_str(), (path + ".old").c_str(), 0) != 0;
        error = GetLastError();
        done = done && ScratchFolder::WriteWholeFile(path, kCloudyLine);
        break;
    }
    const Poll held = poll.Release();

    EXPECT_TRUE(done) << "the writer was blocked by the poll: error " << error;
    // The held poll saw the old file or the new one, or failed; never a
    // condition word without its own time stamp.
    if (held.condition == "CLEAR") {
        EXPECT_EQ(held.lastStatusTime, Stamp(0));
    } else if (held.condition == "V.CLOUDY") {
        EXPECT_EQ(held.lastStatusTime, Stamp(5));
    } else {
        EXPECT_EQ(held.condition, "");
        EXPECT_EQ(held.lastStatusTime, kBefore);
    }

    const Poll next = LoadStatus(path);
    if (GetParam().action == WriterAction::Delete) {
        EXPECT_EQ(next.condition, "");
        EXPECT_EQ(next.lastStatusTime, kBefore);
    } else {
        EXPECT_EQ(next.condition, "V.CLOUDY");
        EXPECT_EQ(next.lastStatusTime, Stamp(5));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Actions, WriterActsDuringAPollTest,
    testing::Values(ActionCase{"RewriteInPlace", WriterAction::RewriteInPlace},
                    ActionCase{"Delete", WriterAction::Delete},
                    ActionCase{"RenameAsideThenWriteAnew", WriterAction::RenameAsideThenWriteAnew}),
    [](const auto& tested) { return std::string(tested.param.name); });

// --- A share that stops answering ----------------------------------------

// The poll's ReadFile hangs, as on a share that no longer answers: the poll
// gets no data once its time is up, the polls after it neither wait nor
// read again while the read hangs, and the file is read once it answers.
TEST(StalledShareTest, APollGetsNoDataInTimeAndTheFileIsReadOnceTheShareAnswers)
{
    ScratchFolder folder;
    const std::string path = folder.Write("status.txt", kClearLine);

    Gate gate;
    ImportHook hook("kernel32.dll", "ReadFile", reinterpret_cast<const void*>(&HoldingReadFile));
    g_readGate = &gate;
    g_readHook = &hook;
    auto reads = std::make_shared<std::atomic<int>>(0);
    StatusFile reader({}, std::chrono::milliseconds(100),
                      [&gate, reads](const std::string& file, std::size_t max) {
                          ++*reads;
                          gate.Arm();
                          auto read = ReadFileFromDisk(file, max);
                          gate.Finished();
                          return read;
                      });

    for (int poll = 0; poll < 3; ++poll) {
        const Poll stalled = LoadStatus(reader, path);
        EXPECT_EQ(stalled.condition, "") << "poll " << poll;
        EXPECT_EQ(stalled.lastStatusTime, kBefore) << "poll " << poll;
    }
    ASSERT_TRUE(gate.Reached()) << "the poll never read the file";
    EXPECT_EQ(reads->load(), 1);

    gate.Open();
    Poll answered;
    for (int poll = 0; poll < 1000 && answered.condition.empty(); ++poll) {
        Sleep(5);
        answered = LoadStatus(reader, path);
    }
    EXPECT_EQ(answered.condition, "CLEAR");
    EXPECT_EQ(answered.lastStatusTime, Stamp(0));
}

// A writer that renames a new file over the status file is refused while a
// poll holds it open, whatever the poll shares: the rename does not wait
// for the read, it fails (access denied), and succeeds once the poll has
// closed the file.
TEST(RenameOverTheFileTest, FailsWhileAPollReadsItAndWorksAfter)
{
    ScratchFolder folder;
    const std::string path = folder.Write("status.txt", kClearLine);
    const std::string next = folder.Write("status.new", kCloudyLine);

    HeldPoll poll(path);
    ASSERT_TRUE(poll.Reached()) << "the poll never read the file";
    const BOOL renamedDuringPoll = MoveFileExA(next.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    const DWORD error = GetLastError();
    EXPECT_EQ(poll.Release().condition, "CLEAR");

    EXPECT_FALSE(renamedDuringPoll);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(MoveFileExA(next.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
        << "error " << GetLastError();
    EXPECT_EQ(LoadStatus(path).condition, "V.CLOUDY");
}

// --- Between polls the file is free -------------------------------------

// MoveFileEx cannot replace a file that anyone holds open, whatever the
// sharing (wine, and Windows without POSIX rename semantics, refuse it with
// access denied): a writer that replaces the file can only do so between
// polls. So every poll, failed ones too, must have closed the file when it
// returns.
struct ContentCase {
    const char* name;
    std::string content;
};

class FileIsFreeAfterAPollTest : public testing::TestWithParam<ContentCase> {};

TEST_P(FileIsFreeAfterAPollTest, TheWriterCanLockReplaceAndDeleteIt)
{
    ScratchFolder folder;
    const std::string path = folder.Write("status.txt", GetParam().content);
    const std::string next = folder.Write("status.new", kCloudyLine);

    LoadStatus(path);

    {
        WriterHandle exclusive(path, GENERIC_READ | GENERIC_WRITE | DELETE, 0, OPEN_EXISTING);
        EXPECT_TRUE(exclusive.valid()) << "error " << exclusive.error();
    }
    EXPECT_TRUE(MoveFileExA(next.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
        << "error " << GetLastError();
    EXPECT_EQ(LoadStatus(path).condition, "V.CLOUDY");
    EXPECT_TRUE(DeleteFileA(path.c_str())) << "error " << GetLastError();
}

INSTANTIATE_TEST_SUITE_P(
    Contents, FileIsFreeAfterAPollTest,
    testing::Values(ContentCase{"GoodLine", kClearLine}, ContentCase{"Empty", ""},
                    ContentCase{"NotATimeStamp", "yesterday,CLEAR\r\n"},
                    ContentCase{"LongerThanAStatusFileCanBe",
                                std::string(kMaxStatusFileBytes + 10, 'x')}),
    [](const auto& tested) { return std::string(tested.param.name); });

}  // namespace
}  // namespace nortavi
