// SPDX-License-Identifier: MIT
#pragma once

#include "Ports.h"

#include <memory>

namespace nortavi::platform {

// The sound backend of the system the program was built for: SDL2 audio on
// Linux and the like, the Win32 multimedia API on Windows.
std::unique_ptr<nortavi::SoundOutput> MakeSystemSound();

}  // namespace nortavi::platform
