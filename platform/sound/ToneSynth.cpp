// SPDX-License-Identifier: MIT
#include "ToneSynth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace nortavi::platform {
namespace {

// Loud enough for an alarm, with headroom for the device's own mixing.
constexpr double kAmplitude = 0.6 * 32767.0;
constexpr long long kLongestToneMs = 60'000;

}  // namespace

std::vector<std::int16_t> ToneSynth::Render(int frequencyHz, int durationMs, int sampleRate,
                                            int channels)
{
    if (frequencyHz <= 0 || durationMs <= 0 || sampleRate <= 0 || channels <= 0) {
        return {};
    }
    const long long ms = std::min<long long>(durationMs, kLongestToneMs);
    const auto frames = static_cast<std::size_t>((ms * sampleRate + 500) / 1000);
    const double cyclesPerFrame = static_cast<double>(frequencyHz) / sampleRate;

    std::vector<std::int16_t> samples(frames * static_cast<std::size_t>(channels));
    auto out = samples.begin();
    for (std::size_t frame = 0; frame < frames; ++frame) {
        const auto value = static_cast<std::int16_t>(
            std::lround(kAmplitude * std::sin(2.0 * std::numbers::pi * phase_)));
        out = std::fill_n(out, channels, value);
        phase_ += cyclesPerFrame;
        phase_ -= std::floor(phase_);
    }
    return samples;
}

}  // namespace nortavi::platform
