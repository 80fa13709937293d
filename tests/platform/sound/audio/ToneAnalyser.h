// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace nortavi::testing {

// A stretch of consecutive windows at about the same pitch.
struct ToneRun {
    double hz = 0.0;  // mean over the windows
    std::size_t windows = 0;
};

// What a recording holds once the silence around it is cut off.
struct ToneAnalysis {
    int sampleRate = 0;
    int windowMs = 0;
    std::size_t firstSample = 0;   // first sample louder than silence
    std::size_t soundSamples = 0;  // from there to the last loud one
    // The pitch of each window, in order; 0 where the window holds too
    // little of a wave to tell, and for each window's length of a gap.
    std::vector<double> windowHz;
    // The largest change from one sample to the next away from gaps: a click
    // shows up as a step far steeper than any tone's. (The edges of a gap
    // click anyway.)
    int largestStep = 0;

    double SoundSeconds() const;
    // Windows grouped while each stays within toleranceHz of its run's mean.
    std::vector<ToneRun> Runs(double toleranceHz) const;
    // The pitches of the windows that are not silent.
    std::vector<double> SoundingHz() const;
    std::size_t SilentWindows() const;
};

// Measures pitch by zero crossings (interpolated between samples) over
// fixed windows. Gaps of silence split the sound into stretches, and each
// stretch is windowed from its own start, so a gap never shares a window
// with a tone. Good for the clean sines the alarm plays, not for speech or
// noise.
class ToneAnalyser {
public:
    static constexpr int kSilence = 128;  // |sample| at or below this is silence

    explicit ToneAnalyser(int sampleRate, int windowMs = 20);

    ToneAnalysis Analyse(const std::vector<std::int16_t>& samples) const;

private:
    void AddStretch(const std::int16_t* stretch, std::size_t length, ToneAnalysis& analysis) const;
    void AddGap(std::size_t length, ToneAnalysis& analysis) const;
    double WindowHz(const std::int16_t* window, std::size_t length) const;
    std::size_t WindowSamples() const;

    int sampleRate_;
    int windowMs_;
};

}  // namespace nortavi::testing
