// SPDX-License-Identifier: MIT
#include "AudioCapture.h"

#include <filesystem>
#include <fstream>
#include <thread>

namespace nortavi::testing {

AudioCapture::AudioCapture(std::string path, int sampleRate)
    : path_(std::move(path)), sampleRate_(sampleRate)
{
}

std::size_t AudioCapture::SampleCount() const
{
    std::error_code error;
    const auto bytes = std::filesystem::file_size(path_, error);
    return error ? 0 : static_cast<std::size_t>(bytes) / sizeof(std::int16_t);
}

std::vector<std::int16_t> AudioCapture::ReadSamples() const
{
    std::ifstream file(path_, std::ios::binary);
    std::vector<std::int16_t> samples(SampleCount());
    file.read(reinterpret_cast<char*>(samples.data()),
              static_cast<std::streamsize>(samples.size() * sizeof(std::int16_t)));
    samples.resize(static_cast<std::size_t>(file.gcount()) / sizeof(std::int16_t));
    return samples;
}

bool AudioCapture::WaitForSamples(std::size_t count, std::chrono::milliseconds timeout) const
{
    const auto giveUp = std::chrono::steady_clock::now() + timeout;
    while (SampleCount() < count) {
        if (std::chrono::steady_clock::now() > giveUp) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

}  // namespace nortavi::testing
