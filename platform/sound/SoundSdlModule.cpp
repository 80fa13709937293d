// SPDX-License-Identifier: MIT
// The SDL sound backend as a module of its own (nortavi-sound-sdl.so), which
// the program loads when its first alarm sounds: SDL and the libraries it
// brings then cost nothing at start, and a system without them still runs
// Nortavi.
#include "SoundModule.h"
#include "SoundSdl.h"

#include <dlfcn.h>

namespace {

// ALSA prints a screen of errors on a machine without a sound card, each
// time SDL looks for one. Nortavi says it once, in a line of its own.
void QuietAlsaError(const char*, int, const char*, int, const char*, ...)
{
}

void QuietAlsa()
{
    using ErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);
    // Kept loaded: SDL opens the same library, and the handler must stay set.
    void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
    if (alsa == nullptr) {
        return;
    }
    const auto setHandler =
        reinterpret_cast<int (*)(ErrorHandler)>(dlsym(alsa, "snd_lib_error_set_handler"));
    if (setHandler != nullptr) {
        setHandler(&QuietAlsaError);
    }
}

}  // namespace

extern "C" nortavi::SoundOutput* NORTAVI_SOUND_MODULE_ENTRY()
{
    try {
        QuietAlsa();
        return new nortavi::platform::SdlSound();
    } catch (...) {
        return nullptr;  // no exception crosses into the program
    }
}

extern "C" const char* NORTAVI_SOUND_MODULE_VERSION()
{
    return NORTAVI_VERSION;
}
