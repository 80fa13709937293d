// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace nortavi::testing {

// The file SDL's disk audio driver writes instead of playing: raw 16-bit
// mono samples in native byte order, no header. The driver writes through a
// stdio buffer, so the file can lag what the device took by up to 4 KiB.
class AudioCapture {
public:
    static constexpr std::size_t kWriteLagSamples = 4096 / sizeof(std::int16_t);

    AudioCapture(std::string path, int sampleRate);

    const std::string& Path() const { return path_; }
    int SampleRate() const { return sampleRate_; }

    // Zero while there is no file.
    std::size_t SampleCount() const;
    std::vector<std::int16_t> ReadSamples() const;
    // Polls the file until it holds `count` samples; false on time-out.
    bool WaitForSamples(std::size_t count, std::chrono::milliseconds timeout) const;

private:
    std::string path_;
    int sampleRate_;
};

}  // namespace nortavi::testing
