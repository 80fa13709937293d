// SPDX-License-Identifier: MIT
#include "ToneAnalyser.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>

namespace nortavi::testing {

double ToneAnalysis::SoundSeconds() const
{
    return static_cast<double>(soundSamples) / sampleRate;
}

std::vector<ToneRun> ToneAnalysis::Runs(double toleranceHz) const
{
    std::vector<ToneRun> runs;
    for (const double hz : windowHz) {
        if (!runs.empty() && std::abs(hz - runs.back().hz) <= toleranceHz) {
            auto& run = runs.back();
            run.hz += (hz - run.hz) / static_cast<double>(++run.windows);
        } else {
            runs.push_back({hz, 1});
        }
    }
    return runs;
}

std::vector<double> ToneAnalysis::SoundingHz() const
{
    std::vector<double> sounding;
    std::copy_if(windowHz.begin(), windowHz.end(), std::back_inserter(sounding),
                 [](double hz) { return hz > 0.0; });
    return sounding;
}

std::size_t ToneAnalysis::SilentWindows() const
{
    return windowHz.size() - SoundingHz().size();
}

ToneAnalyser::ToneAnalyser(int sampleRate, int windowMs)
    : sampleRate_(sampleRate), windowMs_(windowMs)
{
}

ToneAnalysis ToneAnalyser::Analyse(const std::vector<std::int16_t>& samples) const
{
    ToneAnalysis analysis;
    analysis.sampleRate = sampleRate_;
    analysis.windowMs = windowMs_;
    const auto isLoud = [](std::int16_t sample) { return std::abs(sample) > kSilence; };
    const auto first = std::find_if(samples.begin(), samples.end(), isLoud);
    if (first == samples.end()) {
        return analysis;
    }
    const auto last = std::find_if(samples.rbegin(), samples.rend(), isLoud).base();
    analysis.firstSample = static_cast<std::size_t>(first - samples.begin());
    analysis.soundSamples = static_cast<std::size_t>(last - first);

    // A sine down to 100 Hz is quiet for a few samples around each zero
    // crossing; a millisecond of quiet is a gap.
    const auto shortestGap = static_cast<std::ptrdiff_t>(sampleRate_ / 1000);
    auto stretch = first;
    auto quietFrom = first;
    for (auto it = first; it != last; ++it) {
        if (isLoud(*it)) {
            if (it - quietFrom >= shortestGap) {
                AddStretch(&*stretch, static_cast<std::size_t>(quietFrom - stretch), analysis);
                AddGap(static_cast<std::size_t>(it - quietFrom), analysis);
                stretch = it;
            }
            quietFrom = it + 1;
        }
    }
    AddStretch(&*stretch, static_cast<std::size_t>(last - stretch), analysis);
    return analysis;
}

void ToneAnalyser::AddStretch(const std::int16_t* stretch, std::size_t length,
                              ToneAnalysis& analysis) const
{
    for (std::size_t i = 1; i < length; ++i) {
        analysis.largestStep =
            std::max(analysis.largestStep, std::abs(stretch[i] - stretch[i - 1]));
    }
    // A trailing part window counts when it is at least half a window.
    const std::size_t window = WindowSamples();
    for (std::size_t start = 0; start + window / 2 <= length; start += window) {
        analysis.windowHz.push_back(WindowHz(stretch + start, std::min(window, length - start)));
    }
}

void ToneAnalyser::AddGap(std::size_t length, ToneAnalysis& analysis) const
{
    const std::size_t window = WindowSamples();
    analysis.windowHz.insert(analysis.windowHz.end(), (length + window / 2) / window, 0.0);
}

std::size_t ToneAnalyser::WindowSamples() const
{
    return static_cast<std::size_t>(sampleRate_) * static_cast<std::size_t>(windowMs_) / 1000;
}

double ToneAnalyser::WindowHz(const std::int16_t* window, std::size_t length) const
{
    double firstCrossing = 0.0;
    double lastCrossing = 0.0;
    int crossings = 0;
    for (std::size_t i = 1; i < length; ++i) {
        const double before = window[i - 1];
        const double after = window[i];
        if ((before < 0.0) == (after < 0.0)) {
            continue;
        }
        // Where the straight line between the two samples crosses zero.
        const double at = static_cast<double>(i - 1) + before / (before - after);
        if (crossings++ == 0) {
            firstCrossing = at;
        }
        lastCrossing = at;
    }
    if (crossings < 2 || lastCrossing <= firstCrossing) {
        return 0.0;
    }
    // Two crossings per cycle.
    return (crossings - 1) / 2.0 * sampleRate_ / (lastCrossing - firstCrossing);
}

}  // namespace nortavi::testing
