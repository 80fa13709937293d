// SPDX-License-Identifier: MIT
#include "SweepShape.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace nortavi::testing {

int SweepShape::ToneCount() const
{
    return (lastHz - firstHz) / stepHz + 1;
}

double SweepShape::Seconds() const
{
    return ToneCount() * toneMs / 1000.0;
}

std::vector<std::string> SweepShape::FaultsIn(const ToneAnalysis& analysis) const
{
    std::vector<std::string> faults;
    const auto fault = [&faults](auto... parts) {
        std::ostringstream line;
        (line << ... << parts);
        faults.push_back(line.str());
    };
    if (analysis.windowMs != toneMs) {
        fault("analysed in ", analysis.windowMs, " ms windows, not one per ", toneMs, " ms tone");
        return faults;
    }
    if (std::abs(analysis.SoundSeconds() - Seconds()) > lengthTolerance * Seconds()) {
        fault("lasts ", analysis.SoundSeconds(), " s instead of ", Seconds(), " s");
    }
    const auto sounding = analysis.SoundingHz();
    const auto tones = static_cast<int>(sounding.size());
    if (tones != ToneCount()) {
        fault("holds ", tones, " tones instead of ", ToneCount());
    }
    constexpr int kListed = 5;
    int offPitch = 0;
    for (int tone = 0; tone < std::min(tones, ToneCount()); ++tone) {
        const double hz = sounding[static_cast<std::size_t>(tone)];
        if (std::abs(hz - ExpectedHz(tone)) > hzTolerance && offPitch++ < kListed) {
            fault("tone ", tone + 1, " at ", hz, " Hz instead of ", ExpectedHz(tone), " Hz");
        }
    }
    if (offPitch > kListed) {
        fault("and ", offPitch - kListed, " more tones off pitch");
    }
    return faults;
}

double SweepShape::LargestHzError(const ToneAnalysis& analysis) const
{
    double largest = 0.0;
    const auto sounding = analysis.SoundingHz();
    const auto tones = std::min(sounding.size(), static_cast<std::size_t>(ToneCount()));
    for (std::size_t tone = 0; tone < tones; ++tone) {
        largest = std::max(largest, std::abs(sounding[tone] - ExpectedHz(static_cast<int>(tone))));
    }
    return largest;
}

}  // namespace nortavi::testing
