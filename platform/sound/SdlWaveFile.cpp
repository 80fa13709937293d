// SPDX-License-Identifier: MIT
#include "SdlWaveFile.h"

#include <SDL.h>

#include <cstring>

namespace nortavi::platform {

SdlWaveFile::SdlWaveFile(const std::string& path)
{
    SDL_AudioSpec decoded{};
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV(path.c_str(), &decoded, &buffer, &length) == nullptr) {
        return;
    }
    buffer_ = buffer;
    length_ = length;
    format_ = decoded.format;
    sampleRate_ = decoded.freq;
    channels_ = decoded.channels;
}

SdlWaveFile::~SdlWaveFile()
{
    SDL_FreeWAV(buffer_);
}

std::vector<std::int16_t> SdlWaveFile::ConvertTo(int sampleRate, int channels) const
{
    if (!IsLoaded() || length_ == 0 || channels < 1 || channels > 255 ||
        length_ > static_cast<Uint32>(SDL_MAX_SINT32)) {
        return {};
    }
    // SDL_AudioCVT converts the whole sound in one go. (SDL 2.26's
    // SDL_AudioStream drops the last few hundred frames when it resamples.)
    SDL_AudioCVT cvt{};
    const int built = SDL_BuildAudioCVT(&cvt, format_, static_cast<Uint8>(channels_), sampleRate_,
                                        AUDIO_S16SYS, static_cast<Uint8>(channels), sampleRate);
    if (built < 0) {
        return {};
    }
    cvt.len = static_cast<int>(length_);
    const std::size_t bytes =
        static_cast<std::size_t>(length_) * static_cast<std::size_t>(cvt.len_mult);
    std::vector<std::int16_t> samples(bytes / sizeof(std::int16_t) + 1);
    std::memcpy(samples.data(), buffer_, length_);
    cvt.buf = reinterpret_cast<Uint8*>(samples.data());
    if (built > 0 && SDL_ConvertAudio(&cvt) != 0) {
        return {};
    }
    samples.resize(static_cast<std::size_t>(built > 0 ? cvt.len_cvt : cvt.len) /
                   sizeof(std::int16_t));
    return samples;
}

}  // namespace nortavi::platform
