// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

namespace nortavi::platform {

// What the SDL backend asks of the audio device. Samples are always 16-bit
// signed; the rate is kept (SDL resamples if the hardware runs at another)
// so that tones are rendered at the rate they are played.
struct SdlDeviceRequest {
    int sampleRate = 48000;
    int channels = 2;
    // Lets the device pick its own channel count; tests turn this off to
    // capture a known format.
    bool allowChannelChange = true;
};

// One opening of the audio device: holds SDL's audio subsystem and the
// device for as long as it lives, and feeds the device from a queue of
// interleaved samples, padding with silence when the queue runs dry.
class SdlAudioSession {
public:
    using Clock = std::chrono::steady_clock;

    // Initialises SDL audio and opens the default device; IsOpen() tells
    // whether that worked. Closing gives both back, so no audio thread of
    // SDL's outlives the session.
    explicit SdlAudioSession(const SdlDeviceRequest& request);
    ~SdlAudioSession();
    SdlAudioSession(const SdlAudioSession&) = delete;
    SdlAudioSession& operator=(const SdlAudioSession&) = delete;

    bool IsOpen() const { return device_ != 0; }
    int SampleRate() const { return sampleRate_; }
    int Channels() const { return channels_; }
    // When the device started playing.
    Clock::time_point StartedAt() const { return startedAt_; }
    // Interleaved samples the device takes at each request.
    std::size_t BufferSamples() const { return bufferSamples_; }

    // Queues samples after those waiting; returns the count of samples the
    // device will have taken since opening once it has taken these.
    std::uint64_t Append(const std::vector<std::int16_t>& samples);
    // Drops whatever the device has not taken yet.
    void DropQueued();
    // Waits until the device has taken `position` samples since opening;
    // false if the time-out came first.
    bool WaitUntilTaken(std::uint64_t position, std::chrono::milliseconds timeout);

    // When the sound queued so far will have been heard, played in real
    // time from when each part was queued.
    Clock::time_point PlayEnd() const;
    // How long the queue has been empty and its sound heard; zero until then.
    Clock::duration QuietFor() const;
    // SDL's audio thread no longer asks for samples though some are queued.
    // (A device that is lost still asks, in time, and so runs dry.)
    bool HasStalled() const;

private:
    static void FillThunk(void* session, std::uint8_t* stream, int length);
    void Fill(std::int16_t* out, std::size_t count);

    std::uint32_t device_ = 0;
    int sampleRate_ = 0;
    int channels_ = 0;
    std::size_t bufferSamples_ = 0;

    // Shared with SDL's audio thread, which calls Fill().
    mutable std::mutex queueMutex_;
    std::condition_variable taken_;
    std::deque<std::int16_t> queue_;
    std::uint64_t takenCount_ = 0;
    Clock::time_point lastFill_;
    Clock::time_point dryAt_;
    Clock::time_point playEnd_;
    // Every sample handed to SDL since the device started, silence included,
    // and when the last sound so handed out will have been heard.
    std::uint64_t handedOut_ = 0;
    Clock::time_point startedAt_;
    Clock::time_point heardAt_;
};

}  // namespace nortavi::platform
