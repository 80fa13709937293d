// SPDX-License-Identifier: MIT
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

// Stops one thread at a chosen call until the test lets it go, so that the
// test can act while, say, a file is held open half-way through a read.
// The thread arms the gate itself; a stand-in for the chosen call then
// holds it there once. Reached() also returns when the thread finishes
// without being held, so a test never waits for a stop that cannot come.
class Gate {
public:
    Gate() = default;
    Gate(const Gate&) = delete;
    Gate& operator=(const Gate&) = delete;
    // Never leaves a thread stopped behind a failed test.
    ~Gate() { Open(); }

    // Called by the thread to be held, before the call it is to be held in.
    void Arm()
    {
        std::lock_guard lock(mutex_);
        armed_ = std::this_thread::get_id();
    }

    // Whether the calling thread is the one armed and not yet held.
    bool ArmedHere()
    {
        std::lock_guard lock(mutex_);
        return armed_ == std::this_thread::get_id();
    }

    // Called from the stand-in: holds the armed thread, the first time only.
    void HoldIfArmed()
    {
        std::unique_lock lock(mutex_);
        if (armed_ != std::this_thread::get_id()) {
            return;
        }
        armed_ = {};
        held_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return open_; });
    }

    // Called by the thread once its work is done, held or not.
    void Finished()
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
        changed_.notify_all();
    }

    // Waits until the thread is held or has finished; true when held.
    bool Reached()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return held_ || finished_; });
        return held_;
    }

    void Open()
    {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::thread::id armed_;
    bool held_ = false;
    bool finished_ = false;
    bool open_ = false;
};
