// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nortavi::platform {

// A wave file as SDL decodes it (any encoding SDL_LoadWAV reads), kept in
// its own format until the device's format is known.
class SdlWaveFile {
public:
    // Reads and decodes the file at once; IsLoaded() tells whether that worked.
    explicit SdlWaveFile(const std::string& path);
    ~SdlWaveFile();
    SdlWaveFile(const SdlWaveFile&) = delete;
    SdlWaveFile& operator=(const SdlWaveFile&) = delete;

    bool IsLoaded() const { return buffer_ != nullptr; }

    // The whole sound as interleaved 16-bit samples at the given rate and
    // channel count; empty when SDL cannot convert it.
    std::vector<std::int16_t> ConvertTo(int sampleRate, int channels) const;

private:
    std::uint8_t* buffer_ = nullptr;
    std::uint32_t length_ = 0;
    std::uint16_t format_ = 0;
    int sampleRate_ = 0;
    int channels_ = 0;
};

}  // namespace nortavi::platform
