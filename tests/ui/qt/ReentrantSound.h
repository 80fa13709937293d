// SPDX-License-Identifier: MIT
#pragma once

#include "Ports.h"

#include <QTest>

#include <algorithm>

// A speaker whose tones let the event loop run while they sound, as a sound
// backend that waits for its audio device might. It records how deeply
// sweeps nest: a poll started by a tick that arrives mid-sweep would sound
// its own sweep inside the first one.
class ReentrantSound final : public nortavi::SoundOutput {
public:
    int waitMs = 0;  // 0: tones return at once
    int depth = 0;
    int deepest = 0;

    void PlayWaveAsync(const std::string&) override {}
    void PlayTone(int, int) override
    {
        ++depth;
        deepest = std::max(deepest, depth);
        // Only the outermost sweep waits, so that a failure cannot recurse
        // without end.
        if (depth == 1 && waitMs > 0) {
            QTest::qWait(waitMs);
        }
        --depth;
    }
};
