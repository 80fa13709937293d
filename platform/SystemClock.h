// SPDX-License-Identifier: MIT
#pragma once

#include "Ports.h"

namespace nortavi::platform {

// The computer's local clock, as the program reads it at every poll.
class SystemClock final : public Clock {
public:
    LocalTime Now() override;

private:
    LocalTime last_{};
};

}  // namespace nortavi::platform
