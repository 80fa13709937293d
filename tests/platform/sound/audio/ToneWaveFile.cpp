// SPDX-License-Identifier: MIT
#include "ToneWaveFile.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <numbers>
#include <vector>

namespace nortavi::testing {
namespace {

// RIFF fields are little-endian, as is every machine the tests run on.
class LittleEndianBytes {
public:
    template <typename T>
    void Put(T value)
    {
        const auto at = bytes.size();
        bytes.resize(at + sizeof(T));
        std::memcpy(bytes.data() + at, &value, sizeof(T));
    }
    void Put(const char (&tag)[5]) { bytes.insert(bytes.end(), tag, tag + 4); }

    std::vector<char> bytes;
};

int BytesPerSample(WaveEncoding encoding)
{
    switch (encoding) {
        case WaveEncoding::Unsigned8:
            return 1;
        case WaveEncoding::Signed16:
            return 2;
        case WaveEncoding::Float32:
            return 4;
    }
    return 0;
}

void PutSample(LittleEndianBytes& out, WaveEncoding encoding, double value)
{
    switch (encoding) {
        case WaveEncoding::Unsigned8:
            out.Put(static_cast<std::uint8_t>(std::lround(128.0 + 127.0 * value)));
            return;
        case WaveEncoding::Signed16:
            out.Put(static_cast<std::int16_t>(std::lround(32767.0 * value)));
            return;
        case WaveEncoding::Float32:
            out.Put(static_cast<float>(value));
            return;
    }
}

}  // namespace

void WriteToneWave(const std::string& path, const WaveFormat& format, double hz, int durationMs)
{
    const int frames = format.sampleRate * durationMs / 1000;
    const int bytesPerFrame = BytesPerSample(format.encoding) * format.channels;
    const auto dataBytes = static_cast<std::uint32_t>(frames * bytesPerFrame);
    constexpr std::uint16_t kPcm = 1;
    constexpr std::uint16_t kIeeeFloat = 3;

    LittleEndianBytes out;
    out.Put("RIFF");
    out.Put(static_cast<std::uint32_t>(36 + dataBytes));
    out.Put("WAVE");
    out.Put("fmt ");
    out.Put(std::uint32_t{16});
    out.Put(format.encoding == WaveEncoding::Float32 ? kIeeeFloat : kPcm);
    out.Put(static_cast<std::uint16_t>(format.channels));
    out.Put(static_cast<std::uint32_t>(format.sampleRate));
    out.Put(static_cast<std::uint32_t>(format.sampleRate * bytesPerFrame));
    out.Put(static_cast<std::uint16_t>(bytesPerFrame));
    out.Put(static_cast<std::uint16_t>(8 * BytesPerSample(format.encoding)));
    out.Put("data");
    out.Put(dataBytes);
    for (int frame = 0; frame < frames; ++frame) {
        const double value =
            0.5 * std::sin(2.0 * std::numbers::pi * hz * frame / format.sampleRate);
        for (int channel = 0; channel < format.channels; ++channel) {
            PutSample(out, format.encoding, value);
        }
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(out.bytes.data(), static_cast<std::streamsize>(out.bytes.size()));
}

}  // namespace nortavi::testing
