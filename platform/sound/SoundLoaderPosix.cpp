// SPDX-License-Identifier: MIT
// Linux: the sound backend is a module loaded when the first alarm sounds
// (see SoundSdlModule.cpp). Without it, or without SDL, the program goes
// on: the alarm rings the terminal bell where there is a terminal, and
// shows in the window in any case.
#include "Platform.h"
#include "SoundModule.h"
#include "SystemSound.h"

#include <dlfcn.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

#ifndef NORTAVI_SOUND_MODULE_DIR
#define NORTAVI_SOUND_MODULE_DIR "."
#endif

namespace nortavi::platform {
namespace {

std::unique_ptr<SoundOutput> LoadSoundModule(std::string& why)
{
    // Beside the program (a build, or a copy of its own), then where an
    // installation puts it, relative to the program; never from wherever
    // the program happens to have been started.
    const std::string folder = ExecutableFolder() + "/";
    if (folder.front() != '/') {
        why = "the program's own folder is unknown";
        return nullptr;
    }
    for (const std::string& path :
         {folder + kSoundModuleFile, folder + NORTAVI_SOUND_MODULE_DIR + "/" + kSoundModuleFile}) {
        void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            const char* error = dlerror();
            why = error != nullptr ? error : path;
            continue;
        }
        // Never closed: the sound output's code lives in it.
        const auto version = reinterpret_cast<SoundModuleVersionFunction>(
            dlsym(module, NORTAVI_SOUND_MODULE_VERSION_NAME));
        const auto make = reinterpret_cast<MakeSoundOutputFunction>(
            dlsym(module, NORTAVI_SOUND_MODULE_ENTRY_NAME));
        if (version == nullptr || make == nullptr || std::string(version()) != NORTAVI_VERSION) {
            why = path + " is not this version's sound module; restart Nortavi after an update";
            continue;
        }
        if (SoundOutput* sound = make()) {
            return std::unique_ptr<SoundOutput>(sound);
        }
        why = path + " could not start";
    }
    return nullptr;
}

class LazySound final : public SoundOutput {
public:
    void PlayWaveAsync(const std::string& path) override
    {
        if (SoundOutput* backend = Backend()) {
            backend->PlayWaveAsync(path);
        } else {
            Bell();
        }
    }

    void PlayTone(int frequencyHz, int durationMs) override
    {
        if (SoundOutput* backend = Backend()) {
            backend->PlayTone(frequencyHz, durationMs);
        } else {
            Bell();
        }
    }

private:
    SoundOutput* Backend()
    {
        if (!tried_) {
            tried_ = true;
            std::string why;
            backend_ = LoadSoundModule(why);
            if (!backend_) {
                std::fprintf(stderr, "nortavi: no sound (%s); alarms go on without sound\n",
                             why.c_str());
            }
        }
        return backend_.get();
    }

    // At most once a second: a sweep is 91 tones.
    void Bell()
    {
        const auto now = std::chrono::steady_clock::now();
        if (now - lastBell_ < std::chrono::seconds(1) || ::isatty(STDERR_FILENO) == 0) {
            return;
        }
        lastBell_ = now;
        const char bell = '\a';
        (void)!::write(STDERR_FILENO, &bell, 1);
    }

    bool tried_ = false;
    std::unique_ptr<SoundOutput> backend_;
    std::chrono::steady_clock::time_point lastBell_{};
};

}  // namespace

std::unique_ptr<SoundOutput> MakeSystemSound()
{
    return std::make_unique<LazySound>();
}

}  // namespace nortavi::platform
