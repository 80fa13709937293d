// SPDX-License-Identifier: MIT
#pragma once

#include "ToneAnalyser.h"

#include <string>
#include <vector>

namespace nortavi::testing {

// A run of equal-length tones stepping in pitch, as the alarm sweep is, and
// how far a recording of it may stray. Windows of silence inside are gaps a
// busy machine may leave between tones: they are skipped, and only count
// against the length.
struct SweepShape {
    int firstHz = 0;
    int lastHz = 0;
    int stepHz = 0;
    int toneMs = 0;
    double hzTolerance = 5.0;       // per tone
    double lengthTolerance = 0.05;  // of the whole sweep's length

    int ToneCount() const;
    double Seconds() const;
    int ExpectedHz(int tone) const { return firstHz + tone * stepHz; }

    // What keeps the recording from being this sweep, one line per fault;
    // empty when it is. The analysis windows must be one tone long.
    std::vector<std::string> FaultsIn(const ToneAnalysis& analysis) const;
    // The largest pitch error over the tones the recording has, gaps skipped.
    double LargestHzError(const ToneAnalysis& analysis) const;
};

}  // namespace nortavi::testing
