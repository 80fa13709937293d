// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace nortavi {

// What one look at a file gave.
struct FileRead {
    enum class Outcome {
        NoFile,     // nothing there, or a folder
        Failed,     // there, but it could not be opened or read
        Read,       // `bytes` holds the start of the file
        TimedOut,   // the read had not ended when the time ran out
        StillBusy,  // an earlier read has not ended yet, so none was started
    };
    Outcome outcome = Outcome::Failed;
    std::string bytes;
    bool moreFollows = false;  // the file is longer than what was read
};

// Looks whether a file is at `path` and, if so, reads at most maxBytes
// from its start. Runs on a worker thread: it must touch nothing but the
// file and what it owns itself.
using FileReadFunction = std::function<FileRead(const std::string& path, std::size_t maxBytes)>;

// The file system's own answer, however long it takes: FileExists, then
// one read-only open, read and close.
FileRead ReadFileFromDisk(const std::string& path, std::size_t maxBytes);

// Reads a file on a worker thread and waits for it at most `limit`, so a
// file on a share that has stopped answering (where even looking at the
// path can block for tens of seconds) costs the caller that long and no
// longer. A read that overruns is left to finish alone and its result is
// thrown away, since by then it may be old; until it ends, no other read
// is started, so stalled reads never pile up. One thread, started by the
// first read, serves every read: a thread started for each read cost a
// poll several times what the read itself does. It shares ownership of
// what it uses, so one still stuck when this object (or the program) goes
// away touches nothing freed. Reads come from one caller thread.
class TimeLimitedRead {
public:
    TimeLimitedRead(std::chrono::milliseconds limit, FileReadFunction read);
    TimeLimitedRead(const TimeLimitedRead&) = delete;
    TimeLimitedRead& operator=(const TimeLimitedRead&) = delete;
    ~TimeLimitedRead();

    FileRead Read(const std::string& path, std::size_t maxBytes);

private:
    struct Worker;

    bool StartWorker();

    std::chrono::milliseconds limit_;
    FileReadFunction read_;
    std::shared_ptr<Worker> worker_;  // what the thread and this object share
    std::thread thread_;              // runs until this object goes away
};

}  // namespace nortavi
