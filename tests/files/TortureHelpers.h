// SPDX-License-Identifier: MIT
#pragma once

#include "Platform.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace nortavi::torture {

// A helper program of tests/support/torture, found from this test's own
// place in the build tree.
inline std::string HelperProgram(const std::string& name)
{
#ifdef _WIN32
    const std::string suffix = ".exe";
#else
    const std::string suffix;
#endif
    const std::filesystem::path here = platform::ExecutableFolder();
    return (here / ".." / "support" / "torture" / (name + suffix)).lexically_normal().string();
}

// How many rounds a torture test runs: short in CI, longer when the
// environment asks for it (scripts/torture.sh).
inline long Rounds(const char* variable, long inCi)
{
    const char* text = std::getenv(variable);
    const long asked = text != nullptr ? std::strtol(text, nullptr, 10) : 0;
    return asked > 0 ? asked : inCi;
}

// Waits, without a deadline of its own (CTest's timeout ends a hung run),
// until `ready` holds.
template <typename Condition>
void WaitUntil(Condition ready)
{
    while (!ready()) {
        std::this_thread::sleep_for(std::chrono::milliseconds{1});
    }
}

inline std::string ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace nortavi::torture
