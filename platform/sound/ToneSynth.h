// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <vector>

namespace nortavi::platform {

// Sine tones as interleaved 16-bit samples. Each tone picks up the wave where
// the previous one left it, so a run of tones at changing pitch joins without
// a step in the waveform, that is, without a click.
class ToneSynth {
public:
    // The same sine on every channel; lengths are rounded to whole frames and
    // capped at a minute.
    std::vector<std::int16_t> Render(int frequencyHz, int durationMs, int sampleRate, int channels);

    // The next tone starts at a zero crossing, as out of silence.
    void Restart() { phase_ = 0.0; }

private:
    double phase_ = 0.0;  // in cycles, [0, 1)
};

}  // namespace nortavi::platform
