// SPDX-License-Identifier: MIT
// The Windows backend: the system plays wave files itself and Beep() blocks
// for the tone's length, which is exactly what the interface asks for.
#include "SystemSound.h"

#include "CodePageWindows.h"
#include "WinDynCalls.h"

#include <windows.h>
// mmsystem.h needs windows.h first.
#include <mmsystem.h>

namespace nortavi::platform {
namespace {

class Win32Sound final : public SoundOutput {
public:
    void PlayWaveAsync(const std::string& path) override
    {
        // SND_ASYNC alone: play once, and a later call cuts off a sound
        // still playing. The path is UTF-8: the ANSI call takes it in the
        // system code page; one that code page cannot hold (a Cyrillic
        // program folder on a Western PC) goes to the wide call instead.
        // The multimedia library is loaded here, when a wave file first
        // plays, not at every start (WinDynCalls.h).
        const auto playSoundA = DynPlaySoundA();
        const auto playSoundW = DynPlaySoundW();
        if (const auto codePagePath = NarrowExactly(WideFromUtf8(path))) {
            if (playSoundA != nullptr) {
                playSoundA(codePagePath->c_str(), nullptr, SND_ASYNC);
            }
        } else if (playSoundW != nullptr) {
            playSoundW(WideFromUtf8(path).c_str(), nullptr, SND_ASYNC);
        }
    }

    void PlayTone(int frequencyHz, int durationMs) override
    {
        // A negative length would turn into a Beep of nearly 50 days.
        if (frequencyHz <= 0 || durationMs <= 0) {
            return;
        }
        Beep(static_cast<DWORD>(frequencyHz), static_cast<DWORD>(durationMs));
    }
};

}  // namespace

std::unique_ptr<SoundOutput> MakeSystemSound()
{
    return std::make_unique<Win32Sound>();
}

}  // namespace nortavi::platform
