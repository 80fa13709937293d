// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <vector>

// Points one of this test program's imported Windows functions at a
// stand-in for as long as the object lives. The libraries under test are
// linked statically, so their calls go through this program's import table:
// a test can stop or count them at the real call site without any seam in
// the production code, whose flags and error handling stay the ones tested.
class ImportHook {
public:
    // Throws when the program does not import `function` from `module`.
    ImportHook(const char* module, const char* function, const void* standIn);
    ImportHook(const ImportHook&) = delete;
    ImportHook& operator=(const ImportHook&) = delete;
    ~ImportHook();

    // The real function, for the stand-in to call on.
    template <typename Function>
    Function Original() const
    {
        return reinterpret_cast<Function>(original_);
    }

private:
    std::vector<std::uintptr_t*> slots_;
    std::uintptr_t original_ = 0;
};
