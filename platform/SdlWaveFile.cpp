// SPDX-License-Identifier: MIT
#include "SdlWaveFile.h"

#include <SDL.h>

#include <memory>

namespace nortavi::platform {

SdlWaveFile::SdlWaveFile(const std::string& path)
{
    SDL_AudioSpec spec{};
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV(path.c_str(), &spec, &buffer, &length) == nullptr) {
        return;
    }
    buffer_ = buffer;
    length_ = length;
    format_ = spec.format;
    sampleRate_ = spec.freq;
    channels_ = spec.channels;
}

SdlWaveFile::~SdlWaveFile()
{
    SDL_FreeWAV(buffer_);
}

std::vector<std::int16_t> SdlWaveFile::ConvertTo(int sampleRate, int channels) const
{
    if (!IsLoaded() || length_ == 0 || channels < 1 || channels > 255) {
        return {};
    }
    const std::unique_ptr<SDL_AudioStream, decltype(&SDL_FreeAudioStream)> stream(
        SDL_NewAudioStream(format_, static_cast<Uint8>(channels_), sampleRate_, AUDIO_S16SYS,
                           static_cast<Uint8>(channels), sampleRate),
        &SDL_FreeAudioStream);
    if (!stream || length_ > static_cast<Uint32>(SDL_MAX_SINT32) ||
        SDL_AudioStreamPut(stream.get(), buffer_, static_cast<int>(length_)) != 0 ||
        SDL_AudioStreamFlush(stream.get()) != 0) {
        return {};
    }
    const int available = SDL_AudioStreamAvailable(stream.get());
    std::vector<std::int16_t> samples(static_cast<std::size_t>(available) / sizeof(std::int16_t));
    const int got = SDL_AudioStreamGet(stream.get(), samples.data(),
                                       static_cast<int>(samples.size() * sizeof(std::int16_t)));
    if (got <= 0) {
        return {};
    }
    samples.resize(static_cast<std::size_t>(got) / sizeof(std::int16_t));
    return samples;
}

}  // namespace nortavi::platform
