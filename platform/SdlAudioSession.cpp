// SPDX-License-Identifier: MIT
#include "SdlAudioSession.h"

#include <SDL.h>

#include <algorithm>

namespace nortavi::platform {
namespace {

// Longer than any pause of the audio thread on a busy machine, short enough
// that a dead device is given up while the alarm still matters.
constexpr auto kStallLimit = std::chrono::seconds(2);

}  // namespace

SdlAudioSession::SdlAudioSession(const SdlDeviceRequest& request)
    : lastFill_(Clock::now()), dryAt_(lastFill_)
{
    if (request.sampleRate < 1000 || request.channels < 1 || request.channels > 8) {
        return;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = request.sampleRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = static_cast<Uint8>(request.channels);
    wanted.samples = static_cast<Uint16>(request.sampleRate / 50);
    wanted.callback = &SdlAudioSession::FillThunk;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    const int changes = request.allowChannelChange ? SDL_AUDIO_ALLOW_CHANNELS_CHANGE : 0;
    device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, changes);
    if (device_ == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    sampleRate_ = obtained.freq;
    channels_ = obtained.channels;
    // Silence until something is queued.
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
    return takenCount_ + queue_.size();
}

void SdlAudioSession::DropQueued()
{
    const std::lock_guard lock(queueMutex_);
    if (!queue_.empty()) {
        queue_.clear();
        dryAt_ = Clock::now();
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
    return Clock::now() - dryAt_;
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
        lastFill_ = Clock::now();
        if (taken > 0 && queue_.empty()) {
            dryAt_ = lastFill_;
        }
    }
    taken_.notify_all();
}

}  // namespace nortavi::platform
