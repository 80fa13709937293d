// SPDX-License-Identifier: MIT
#include "SdlAudioSession.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <mutex>

namespace nortavi::platform {
namespace {

// Longer than any pause of the audio thread on a busy machine, short enough
// that a dead device is given up while the alarm still matters.
constexpr auto kStallLimit = std::chrono::seconds(2);

// Once a run, in one line: every later try fails the same way.
void ReportNoDevice()
{
    static std::once_flag once;
    std::call_once(once, [] {
        std::fprintf(stderr, "nortavi: no sound device (%s); alarms go on without sound\n",
                     SDL_GetError());
    });
}

}  // namespace

SdlAudioSession::SdlAudioSession(const SdlDeviceRequest& request)
    : lastFill_(Clock::now()), dryAt_(lastFill_), playEnd_(lastFill_)
{
    if (request.sampleRate < 1000 || request.channels < 1 || request.channels > 8) {
        return;
    }
    // SDL would otherwise take over SIGINT and SIGTERM once audio starts, and
    // the program could no longer be ended by a signal.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        ReportNoDevice();
        return;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = request.sampleRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = static_cast<Uint8>(request.channels);
    // SDL wants a power of two here: PulseAudio, for one, slows to a crawl
    // with 882 frames. The largest one within 20 ms (512 at 44.1 or 48 kHz)
    // keeps the latency low and the wake-ups few.
    Uint16 frames = 1;
    while (frames * 2 <= request.sampleRate / 50) {
        frames = static_cast<Uint16>(frames * 2);
    }
    wanted.samples = frames;
    wanted.callback = &SdlAudioSession::FillThunk;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    const int changes = request.allowChannelChange ? SDL_AUDIO_ALLOW_CHANNELS_CHANGE : 0;
    device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, changes);
    if (device_ == 0) {
        ReportNoDevice();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    sampleRate_ = obtained.freq;
    channels_ = obtained.channels;
    bufferSamples_ = static_cast<std::size_t>(obtained.samples) * obtained.channels;
    // Silence until something is queued.
    startedAt_ = Clock::now();
    heardAt_ = startedAt_;
    SDL_PauseAudioDevice(device_, 0);
}

SdlAudioSession::~SdlAudioSession()
{
    if (device_ == 0) {
        return;
    }
    // Joins SDL's audio thread, which may be waiting for queueMutex_: none of
    // our locks may be held here.
    SDL_CloseAudioDevice(device_);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

std::uint64_t SdlAudioSession::Append(const std::vector<std::int16_t>& samples)
{
    const std::lock_guard lock(queueMutex_);
    queue_.insert(queue_.end(), samples.begin(), samples.end());
    // A sound server may take samples well ahead of playing them, so what
    // the device has taken says little about what has been heard. The
    // clock does: the sound ends its own length after it could start.
    const auto length = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
        static_cast<double>(samples.size()) / (static_cast<double>(sampleRate_) * channels_)));
    playEnd_ = std::max(playEnd_, Clock::now()) + length;
    return takenCount_ + queue_.size();
}

SdlAudioSession::Clock::time_point SdlAudioSession::PlayEnd() const
{
    const std::lock_guard lock(queueMutex_);
    return playEnd_;
}

void SdlAudioSession::DropQueued()
{
    const std::lock_guard lock(queueMutex_);
    playEnd_ = Clock::now();
    if (!queue_.empty()) {
        queue_.clear();
        dryAt_ = playEnd_;
    }
}

bool SdlAudioSession::WaitUntilTaken(std::uint64_t position, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(queueMutex_);
    return taken_.wait_for(lock, timeout, [&] { return takenCount_ >= position; });
}

SdlAudioSession::Clock::duration SdlAudioSession::QuietFor() const
{
    const std::lock_guard lock(queueMutex_);
    if (!queue_.empty()) {
        return Clock::duration::zero();
    }
    const auto now = Clock::now();
    const auto heard = std::max({dryAt_, playEnd_, heardAt_});
    return now < heard ? Clock::duration::zero() : now - heard;
}

bool SdlAudioSession::HasStalled() const
{
    const std::lock_guard lock(queueMutex_);
    return !queue_.empty() && Clock::now() - lastFill_ > kStallLimit;
}

void SdlAudioSession::FillThunk(void* session, std::uint8_t* stream, int length)
{
    // SDL hands a buffer aligned for the sample format it was opened with.
    static_cast<SdlAudioSession*>(session)->Fill(reinterpret_cast<std::int16_t*>(stream),
                                                 static_cast<std::size_t>(length) / 2);
}

void SdlAudioSession::Fill(std::int16_t* out, std::size_t count)
{
    {
        const std::lock_guard lock(queueMutex_);
        const std::size_t taken = std::min(count, queue_.size());
        const auto end = queue_.begin() + static_cast<std::ptrdiff_t>(taken);
        std::copy(queue_.begin(), end, out);
        queue_.erase(queue_.begin(), end);
        std::fill(out + taken, out + count, std::int16_t{0});
        takenCount_ += taken;
        handedOut_ += count;
        lastFill_ = Clock::now();
        if (taken > 0 && queue_.empty()) {
            dryAt_ = lastFill_;
            // A sound server may take samples long before it plays them, and
            // padded its buffer with silence before the first sound. It does
            // play everything it took, in real time from the start, so the
            // last sample is heard this long after the device started.
            heardAt_ = startedAt_ + std::chrono::duration_cast<Clock::duration>(
                                        std::chrono::duration<double>(
                                            static_cast<double>(handedOut_) /
                                            (static_cast<double>(sampleRate_) * channels_)));
        }
    }
    taken_.notify_all();
}

}  // namespace nortavi::platform
