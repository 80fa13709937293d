// SPDX-License-Identifier: MIT
#pragma once

#include "Ports.h"
#include "SdlAudioSession.h"
#include "ToneSynth.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace nortavi::platform {

// Sound through SDL2 audio. The device is opened when a sound starts and
// closed shortly after it ends, together with SDL's audio subsystem, so an
// idle program holds no device and runs no audio thread. Tones played back
// to back share one opening and join without gaps. Without a device, calls
// return at once and the next one tries again; a device that stops taking
// samples is dropped, and left alone for a moment. Called from one thread.
class SdlSound final : public SoundOutput {
public:
    explicit SdlSound(const SdlDeviceRequest& request = {});
    ~SdlSound() override;
    SdlSound(const SdlSound&) = delete;
    SdlSound& operator=(const SdlSound&) = delete;

    void PlayWaveAsync(const std::string& path) override;
    // Returns when the device has taken all but about 60 ms of what is
    // queued: waiting for the very last sample would leave the device without
    // the next tone when it next asks, and a gap between every tone. Paced
    // by the device's own clock, so tones follow each other without gaps
    // however its rate differs from the system clock's; a sound server that
    // takes samples far ahead lets the calls return that much early.
    void PlayTone(int frequencyHz, int durationMs) override;

    // True from the start of a sound until the device is closed after it.
    bool IsDeviceOpen();

private:
    // Both expect mutex_ to be held by the caller's lock.
    bool OpenSession(std::unique_lock<std::mutex>& lock);
    void CloseSession(std::unique_lock<std::mutex>& lock);
    void WatchUntilQuiet(SdlAudioSession& session);

    const SdlDeviceRequest request_;
    ToneSynth synth_;

    // Guards the session; every call into SDL is made under it.
    std::mutex mutex_;
    bool waveQueued_ = false;
    std::unique_ptr<SdlAudioSession> session_;
    // No new session before this, after one whose device stopped.
    SdlAudioSession::Clock::time_point retryAt_{};

    // Closes the session once it has been quiet a while; runs only while a
    // session is open. It takes mutex_ only to close, so it never holds up
    // a run of tones.
    std::thread watcher_;
    std::mutex watchMutex_;
    std::condition_variable stopWatching_;
    bool stopRequested_ = false;
};

}  // namespace nortavi::platform
