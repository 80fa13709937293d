// SPDX-License-Identifier: MIT
#include "TimeLimitedRead.h"

#include "FileSystem.h"
#include "Platform.h"

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
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

// What the caller and the worker thread share. The worker is busy from
// the moment a read is asked of it until it has answered; it holds the
// mutex only to take a read and to hand back what it found, never while
// reading, so the caller can always look at it without waiting.
struct TimeLimitedRead::Worker {
    explicit Worker(FileReadFunction function) : read(std::move(function)) {}

    const FileReadFunction read;
    std::mutex mutex;
    std::condition_variable asked;
    std::condition_variable answered;
    std::uint64_t readsAsked = 0;
    std::uint64_t readsAnswered = 0;
    std::string path;
    std::size_t maxBytes = 0;
    FileRead result;
    bool stop = false;

    bool Busy() const { return readsAnswered != readsAsked; }

    // The thread's whole life: one read after another until told to stop.
    void Serve()
    {
        std::unique_lock lock(mutex);
        for (;;) {
            asked.wait(lock, [this] { return stop || Busy(); });
            if (stop) {
                return;
            }
            const std::uint64_t number = readsAsked;
            const std::string file = std::move(path);
            const std::size_t bytes = maxBytes;
            lock.unlock();
            FileRead found;
            try {
                found = read(file, bytes);
            } catch (...) {
                found = FileRead{};  // a failed read; the thread goes on serving
            }
            lock.lock();
            result = std::move(found);
            readsAnswered = number;
            answered.notify_one();
        }
    }
};

TimeLimitedRead::TimeLimitedRead(std::chrono::milliseconds limit, FileReadFunction read)
    : limit_(limit), read_(std::move(read))
{
}

// An idle worker is stopped and joined. One still stuck in a read is told
// to stop once the read ends and is let go, with its own share of what it
// uses; the process may end under it. A thread is let go only here, long
// after it started: MinGW's threads (winpthreads), detached as soon as they
// were made, were seen under wine to vanish without ever running, which
// left every later poll without a reading.
TimeLimitedRead::~TimeLimitedRead()
{
    if (!thread_.joinable()) {
        return;
    }
    bool stuck = false;
    {
        std::lock_guard lock(worker_->mutex);
        worker_->stop = true;
        stuck = worker_->Busy();
    }
    worker_->asked.notify_one();
    if (stuck) {
        thread_.detach();
    } else {
        thread_.join();
    }
}

bool TimeLimitedRead::StartWorker()
{
    try {
        auto worker = std::make_shared<Worker>(read_);
        thread_ = std::thread([worker] { worker->Serve(); });
        worker_ = std::move(worker);
        return true;
    } catch (const std::exception&) {
        return false;  // no thread to be had (or no memory for one)
    }
}

// Once a read that overran has ended, its thread is back waiting for the
// next read, as sound as a new one, so it serves that too: replacing it
// would cost the thread start this class is here to save, and starting a
// new read beside the stuck one is what must not happen.
FileRead TimeLimitedRead::Read(const std::string& path, std::size_t maxBytes)
{
    if (!thread_.joinable() && !StartWorker()) {
        return FileRead{};
    }
    Worker& worker = *worker_;
    std::unique_lock lock(worker.mutex);
    if (worker.Busy()) {
        return FileRead{FileRead::Outcome::StillBusy, {}, false};
    }
    worker.path = path;
    worker.maxBytes = maxBytes;
    const std::uint64_t number = ++worker.readsAsked;
    worker.asked.notify_one();
    if (!worker.answered.wait_for(lock, limit_,
                                  [&worker, number] { return worker.readsAnswered == number; })) {
        return FileRead{FileRead::Outcome::TimedOut, {}, false};
    }
    return std::move(worker.result);
}

}  // namespace nortavi
