// SPDX-License-Identifier: MIT
// The Windows backend: the system plays wave files itself and Beep() blocks
// for the tone's length, which is exactly what the interface asks for.
#include "SystemSound.h"

#include "CodePageWindows.h"

#include <windows.h>
// mmsystem.h needs windows.h first.
#include <mmsystem.h>

namespace nortavi::platform {
namespace {

using PlaySoundAFunction = BOOL(WINAPI*)(LPCSTR, HMODULE, DWORD);
using PlaySoundWFunction = BOOL(WINAPI*)(LPCWSTR, HMODULE, DWORD);

// The multimedia library is loaded when a wave file first plays, not at
// every start: on most nights no alarm sounds. It comes from the system
// folder only, never from the program's own folder.
HMODULE MultimediaLibrary()
{
    static const HMODULE winmm =
        LoadLibraryExW(L"winmm.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return winmm;
}

template <typename Function>
Function MultimediaFunction(const char* name)
{
    const HMODULE winmm = MultimediaLibrary();
    return winmm != nullptr
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(winmm, name)))
               : nullptr;
}

class Win32Sound final : public SoundOutput {
public:
    void PlayWaveAsync(const std::string& path) override
    {
        // SND_ASYNC alone: play once, and a later call cuts off a sound
        // still playing. The path is UTF-8: the ANSI call takes it in the
        // system code page; one that code page cannot hold (a Cyrillic
        // program folder on a Western PC) goes to the wide call instead.
        static const auto playSoundA = MultimediaFunction<PlaySoundAFunction>("PlaySoundA");
        static const auto playSoundW = MultimediaFunction<PlaySoundWFunction>("PlaySoundW");
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
