// SPDX-License-Identifier: MIT
// The Windows sound backend on a machine without an audio device (CI, wine
// with its sound drivers switched off): every call comes back, the program
// can go on polling and can exit.
#include "AlarmLatches.h"
#include "CoreFakes.h"
#include "FileSystem.h"
#include "ImportHook.h"
#include "ScratchFolder.h"
#include "SystemSound.h"

#include <gtest/gtest.h>

#include <windows.h>
// mmsystem.h needs windows.h first.
#include <mmsystem.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

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

// What reached the system: wine's Beep returns at once and its audio
// drivers are off here, so only the calls themselves show wrong flags,
// lengths or paths.
struct SoundCalls {
    struct Wave {
        std::string path;
        HMODULE module;
        DWORD flags;
    };
    std::vector<Wave> waves;
    std::vector<std::pair<DWORD, DWORD>> beeps;  // frequency, duration
};
SoundCalls* recorded = nullptr;
using LookUp = FARPROC(WINAPI*)(HMODULE, LPCSTR);
LookUp realLookUp = nullptr;
using PlaySoundAFunction = BOOL(WINAPI*)(LPCSTR, HMODULE, DWORD);
PlaySoundAFunction realPlaySound = nullptr;

BOOL WINAPI RecordPlaySoundA(LPCSTR path, HMODULE module, DWORD flags)
{
    if (recorded == nullptr) {
        return realPlaySound(path, module, flags);
    }
    recorded->waves.push_back({path != nullptr ? path : "<null>", module, flags});
    return TRUE;
}

BOOL WINAPI RecordBeep(DWORD frequency, DWORD duration)
{
    recorded->beeps.emplace_back(frequency, duration);
    return TRUE;
}

// winmm is loaded on first use and PlaySoundA looked up by name: the lookup
// is where the stand-in goes in. It stays cached for this process, which
// is why this test comes before any other that plays a wave, and why the
// stand-in passes calls on once the test is over.
FARPROC WINAPI LookUpWithStandIn(HMODULE module, LPCSTR name)
{
    const FARPROC found = realLookUp(module, name);
    if (reinterpret_cast<std::uintptr_t>(name) > 0xFFFF && std::strcmp(name, "PlaySoundA") == 0) {
        realPlaySound = reinterpret_cast<PlaySoundAFunction>(reinterpret_cast<void*>(found));
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&RecordPlaySoundA));
    }
    return found;
}

TEST(SystemSoundTest, AnAlarmPlaysTheWaveOnceOrBeepsTheWholeSweep)
{
    ScratchFolder folder;
    SoundCalls calls;
    recorded = &calls;
    const ImportHook lookUp("KERNEL32.dll", "GetProcAddress",
                            reinterpret_cast<const void*>(&LookUpWithStandIn));
    realLookUp = lookUp.Original<LookUp>();
    const ImportHook beep("KERNEL32.dll", "Beep", reinterpret_cast<const void*>(&RecordBeep));
    const auto sound = platform::MakeSystemSound();
    DiskFileProbe files;
    NoDisplay display;
    AlarmSound alarmSound{files, *sound, folder.WithSeparator()};
    MonitorState state;
    state.unsafeAlarmActive = true;

    Annunciate(state, display, alarmSound);
    EXPECT_TRUE(calls.waves.empty());
    ASSERT_EQ(calls.beeps.size(), 91U);
    for (std::size_t i = 0; i < calls.beeps.size(); ++i) {
        EXPECT_EQ(calls.beeps[i], std::make_pair(static_cast<DWORD>(100 + 10 * i), DWORD{20}));
    }

    calls.beeps.clear();
    const std::string wave = folder.Write("alarm.wav", "RIFF");
    Annunciate(state, display, alarmSound);
    EXPECT_TRUE(calls.beeps.empty());
    ASSERT_EQ(calls.waves.size(), 1U);
    EXPECT_EQ(calls.waves[0].path, wave);
    EXPECT_EQ(calls.waves[0].module, nullptr);
    EXPECT_EQ(calls.waves[0].flags, static_cast<DWORD>(SND_ASYNC));
    recorded = nullptr;
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
