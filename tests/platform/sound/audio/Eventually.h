// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <thread>

namespace nortavi::testing {

// Waits that only end a test that has already failed.
inline constexpr auto kPatience = std::chrono::seconds(20);

// Polls until the condition holds; false on time-out.
template <typename Condition>
bool Eventually(Condition condition)
{
    const auto giveUp = std::chrono::steady_clock::now() + kPatience;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > giveUp) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

}  // namespace nortavi::testing
