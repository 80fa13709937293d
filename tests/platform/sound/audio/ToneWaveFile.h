// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace nortavi::testing {

// Encodings SDL_LoadWAV reads that a test may want to feed the backend.
enum class WaveEncoding { Unsigned8, Signed16, Float32 };

struct WaveFormat {
    int sampleRate = 44100;
    int channels = 1;
    WaveEncoding encoding = WaveEncoding::Signed16;
};

// Writes a wave file holding a sine at half full scale, the same on every
// channel.
void WriteToneWave(const std::string& path, const WaveFormat& format, double hz, int durationMs);

}  // namespace nortavi::testing
