// SPDX-License-Identifier: MIT
#include "TimeLimitedRead.h"

#include "FileSystem.h"
#include "Platform.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace nortavi {

FileRead ReadFileFromDisk(const std::string& path, std::size_t maxBytes)
{
    FileRead read;
    if (!FileExists(path)) {
        read.outcome = FileRead::Outcome::NoFile;
        return read;
    }
    auto prefix = platform::ReadFilePrefix(path, maxBytes);
    if (!prefix) {
        return read;
    }
    read.outcome = FileRead::Outcome::Read;
    read.bytes = std::move(prefix->bytes);
    read.moreFollows = prefix->moreFollows;
    return read;
}

// One read, owned jointly by the caller and its worker thread.
struct TimeLimitedRead::Job {
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    FileRead result;
};

TimeLimitedRead::TimeLimitedRead(std::chrono::milliseconds limit, FileReadFunction read)
    : limit_(limit), read_(std::move(read))
{
}

// A worker still stuck keeps its own share of the job and of the read
// function and is let go; the process may end under it. A thread is let go
// only here, long after it started: MinGW's threads (winpthreads), detached
// as soon as they were made, were seen under wine to vanish without ever
// running, which left every later poll without a reading.
TimeLimitedRead::~TimeLimitedRead()
{
    if (worker_.joinable()) {
        worker_.detach();
    }
}

FileRead TimeLimitedRead::Read(const std::string& path, std::size_t maxBytes)
{
    if (overdue_) {
        std::lock_guard lock(overdue_->mutex);
        if (!overdue_->done) {
            return FileRead{FileRead::Outcome::StillBusy, {}, false};
        }
    }
    overdue_.reset();
    if (worker_.joinable()) {
        worker_.join();  // its read has ended: the thread is done or nearly
    }

    auto job = std::make_shared<Job>();
    try {
        worker_ = std::thread([job, read = read_, path, maxBytes] {
            FileRead result;
            try {
                result = read(path, maxBytes);
            } catch (...) {
                result = FileRead{};  // a failed read; a thread must not throw
            }
            std::lock_guard lock(job->mutex);
            job->result = std::move(result);
            job->done = true;
            job->ended.notify_all();
        });
    } catch (const std::system_error&) {
        return FileRead{};  // no thread to be had: a failed read
    }

    std::unique_lock lock(job->mutex);
    if (!job->ended.wait_for(lock, limit_, [&job] { return job->done; })) {
        overdue_ = std::move(job);
        return FileRead{FileRead::Outcome::TimedOut, {}, false};
    }
    lock.unlock();
    worker_.join();
    return std::move(job->result);
}

}  // namespace nortavi
