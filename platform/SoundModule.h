// SPDX-License-Identifier: MIT
#pragma once

// What the sound module and the program that loads it agree on: the file's
// name and the one function it exports, which makes a sound output that the
// caller then owns. Both are built together from this tree, so the C++
// object may cross.

#include "Ports.h"

#define NORTAVI_SOUND_MODULE_ENTRY NortaviMakeSoundOutput
#define NORTAVI_SOUND_MODULE_ENTRY_NAME "NortaviMakeSoundOutput"

namespace nortavi::platform {

inline constexpr char kSoundModuleFile[] = "nortavi-sound-sdl.so";

using MakeSoundOutputFunction = SoundOutput* (*)();

}  // namespace nortavi::platform

extern "C" __attribute__((visibility("default"))) nortavi::SoundOutput*
NORTAVI_SOUND_MODULE_ENTRY();
