// SPDX-License-Identifier: MIT
// The Windows sound backend on a machine without an audio device (CI, wine
// with its sound drivers switched off): every call comes back, the program
// can go on polling and can exit.
#include "ScratchFolder.h"
#include "SystemSound.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace nortavi {
namespace {

void AppendLittleEndian(std::string& bytes, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i) {
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFFU));
    }
}

// A tenth of a second of 8-bit mono silence.
std::string SilentWave()
{
    constexpr std::uint32_t kRate = 8000;
    constexpr std::uint32_t kSamples = kRate / 10;
    std::string bytes = "RIFF";
    AppendLittleEndian(bytes, 36 + kSamples, 4);
    bytes += "WAVEfmt ";
    AppendLittleEndian(bytes, 16, 4);
    AppendLittleEndian(bytes, 1, 2);  // PCM
    AppendLittleEndian(bytes, 1, 2);  // mono
    AppendLittleEndian(bytes, kRate, 4);
    AppendLittleEndian(bytes, kRate, 4);  // bytes per second
    AppendLittleEndian(bytes, 1, 2);      // block size
    AppendLittleEndian(bytes, 8, 2);      // bits per sample
    bytes += "data";
    AppendLittleEndian(bytes, kSamples, 4);
    bytes.append(kSamples, static_cast<char>(0x80));
    return bytes;
}

TEST(SystemSoundTest, EveryCallReturnsWithoutAnAudioDevice)
{
    ScratchFolder folder;
    const std::string wave = folder.Write("alarm.wav", SilentWave());
    const auto sound = platform::MakeSystemSound();

    // Each poll of an active alarm starts the wave again over the last one.
    sound->PlayWaveAsync(wave);
    sound->PlayWaveAsync(wave);
    sound->PlayWaveAsync(folder.File("missing.wav"));
    sound->PlayWaveAsync(folder.Write("not-a-wave.wav", "RIFF? no."));
    // The start of the sweep that sounds when there is no alarm.wav.
    for (int frequency = 100; frequency <= 150; frequency += 10) {
        sound->PlayTone(frequency, 20);
    }
}

}  // namespace
}  // namespace nortavi
