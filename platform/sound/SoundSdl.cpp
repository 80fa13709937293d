// SPDX-License-Identifier: MIT
#include "SoundSdl.h"

#include "SdlWaveFile.h"

#include <algorithm>

namespace nortavi::platform {
namespace {

// How long the device stays open after the last sound: long enough to play
// out its buffer and to keep one opening across a run of tones.
constexpr auto kLinger = std::chrono::milliseconds(300);
// A tone the device has not taken this long after it was due means the
// device has stopped.
constexpr auto kToneGrace = std::chrono::milliseconds(500);
constexpr auto kStartupGrace = std::chrono::seconds(2);
// After a stopped device, calls return at once for a while, so that a sweep
// costs one wait and not one per tone; the next poll tries again.
constexpr auto kRetryAfterStall = std::chrono::seconds(2);
constexpr auto kRetryAfterNoDevice = std::chrono::seconds(1);

}  // namespace

SdlSound::SdlSound(const SdlDeviceRequest& request) : request_(request)
{
}

SdlSound::~SdlSound()
{
    std::unique_lock lock(mutex_);
    CloseSession(lock);
}

void SdlSound::PlayWaveAsync(const std::string& path)
{
    // SDL is only ever called under mutex_, the watcher's calls included.
    std::unique_lock lock(mutex_);
    // Decoded before the device is touched: a bad file costs no opening.
    const SdlWaveFile wave(path);
    if (!wave.IsLoaded() || !OpenSession(lock)) {
        return;
    }
    const auto samples = wave.ConvertTo(session_->SampleRate(), session_->Channels());
    session_->DropQueued();
    session_->Append(samples);
    waveQueued_ = true;
    synth_.Restart();
}

void SdlSound::PlayTone(int frequencyHz, int durationMs)
{
    if (frequencyHz <= 0 || durationMs <= 0) {
        return;
    }
    std::unique_lock lock(mutex_);
    if (!OpenSession(lock)) {
        return;
    }
    if (waveQueued_) {
        // A tone is never kept waiting behind a long wave.
        session_->DropQueued();
        waveQueued_ = false;
        synth_.Restart();
    }
    const auto samples =
        synth_.Render(frequencyHz, durationMs, session_->SampleRate(), session_->Channels());
    const auto end = session_->Append(samples);
    // About 60 ms (at least two device buffers) stay queued ahead, so that a
    // caller that wakes late, or a sound server that asks for a burst while
    // it starts a stream, still finds the next tone there.
    const std::uint64_t sixtyMs =
        static_cast<std::uint64_t>(session_->SampleRate()) * session_->Channels() * 6 / 100;
    const auto ahead = std::min<std::uint64_t>(
        std::max<std::uint64_t>(2 * session_->BufferSamples(), sixtyMs), end);
    // The watcher waits for mutex_ meanwhile, so the session cannot close
    // under us.
    // A sound server can take a while to start a new stream: the first
    // tones of a session are given longer before the device counts as stopped.
    const bool starting = SdlAudioSession::Clock::now() - session_->StartedAt() < kStartupGrace;
    const auto grace = starting ? kStartupGrace : kToneGrace;
    if (!session_->WaitUntilTaken(end - ahead, std::chrono::milliseconds(durationMs) + grace)) {
        retryAt_ = SdlAudioSession::Clock::now() + kRetryAfterStall;
        CloseSession(lock);
    }
}

bool SdlSound::IsDeviceOpen()
{
    const std::lock_guard lock(mutex_);
    return session_ != nullptr;
}

bool SdlSound::OpenSession(std::unique_lock<std::mutex>& lock)
{
    if (session_) {
        return true;
    }
    if (SdlAudioSession::Clock::now() < retryAt_) {
        return false;
    }
    if (watcher_.joinable()) {
        // It has closed the last session and is ending.
        lock.unlock();
        watcher_.join();
        lock.lock();
    }
    auto session = std::make_unique<SdlAudioSession>(request_);
    if (!session->IsOpen()) {
        // Without a device the rest of a sweep returns at once instead of
        // trying 91 times; the next poll tries again.
        retryAt_ = SdlAudioSession::Clock::now() + kRetryAfterNoDevice;
        return false;
    }
    session_ = std::move(session);
    waveQueued_ = false;
    synth_.Restart();
    stopRequested_ = false;
    watcher_ = std::thread([this, &session = *session_] { WatchUntilQuiet(session); });
    return true;
}

void SdlSound::CloseSession(std::unique_lock<std::mutex>& lock)
{
    {
        const std::lock_guard watchLock(watchMutex_);
        stopRequested_ = true;
    }
    stopWatching_.notify_all();
    if (watcher_.joinable()) {
        // The watcher may be waiting for mutex_ to close the session itself.
        lock.unlock();
        watcher_.join();
        lock.lock();
    }
    session_.reset();
}

void SdlSound::WatchUntilQuiet(SdlAudioSession& session)
{
    // The session outlives this thread: only this thread, or CloseSession()
    // after joining it, destroys it.
    const auto isDone = [&session] {
        return session.QuietFor() >= kLinger || session.HasStalled();
    };
    std::unique_lock watchLock(watchMutex_);
    while (!stopRequested_) {
        if (isDone()) {
            watchLock.unlock();
            const std::lock_guard lock(mutex_);
            // Look again: a new sound may have come while we waited.
            if (isDone()) {
                if (session.HasStalled()) {
                    retryAt_ = SdlAudioSession::Clock::now() + kRetryAfterStall;
                }
                session_.reset();
                return;
            }
            watchLock.lock();
            continue;
        }
        stopWatching_.wait_for(watchLock, kLinger - session.QuietFor());
    }
}

}  // namespace nortavi::platform
