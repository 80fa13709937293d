// SPDX-License-Identifier: MIT
#pragma once

// What the sound module and the program that loads it agree on: the file's
// name and the one function it exports, which makes a sound output that the
// caller then owns. Both are built together from this tree, so the C++
// object may cross.

#include "Ports.h"

#define NORTAVI_SOUND_MODULE_ENTRY NortaviMakeSoundOutput
#define NORTAVI_SOUND_MODULE_ENTRY_NAME "NortaviMakeSoundOutput"
#define NORTAVI_SOUND_MODULE_VERSION NortaviSoundModuleVersion
#define NORTAVI_SOUND_MODULE_VERSION_NAME "NortaviSoundModuleVersion"

namespace nortavi::platform {

inline constexpr char kSoundModuleFile[] = "nortavi-sound-sdl.so";

using MakeSoundOutputFunction = SoundOutput* (*)();
using SoundModuleVersionFunction = const char* (*)();

}  // namespace nortavi::platform

// A new sound output, or null when it cannot be made; never throws.
extern "C" __attribute__((visibility("default"))) nortavi::SoundOutput*
NORTAVI_SOUND_MODULE_ENTRY();

// The version the module was built as: a program takes only its own
// version's module, since a C++ object crosses between them (an upgrade
// may have replaced the module while an older program runs).
extern "C" __attribute__((visibility("default"))) const char* NORTAVI_SOUND_MODULE_VERSION();
