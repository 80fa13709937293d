// SPDX-License-Identifier: MIT
#pragma once

// What the test process holds of the system right now: what a window that
// leaks would pile up over a long night.
struct ProcessUse {
    long residentKib = 0;  // resident memory (VmRSS; the working set on Windows)
    long handles = 0;      // open file descriptors; kernel handles on Windows
    long gdiObjects = 0;   // Windows only: fonts, brushes, device contexts
    long userObjects = 0;  // Windows only: windows, menus, timers
};

ProcessUse MeasureProcessUse();

// Whether this build runs under AddressSanitizer, whose shadow memory and
// quarantine of freed blocks make resident memory say nothing about leaks.
constexpr bool kUnderAddressSanitizer =
#if defined(__SANITIZE_ADDRESS__)
    true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    true;
#else
    false;
#endif
#else
    false;
#endif
