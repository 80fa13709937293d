// SPDX-License-Identifier: MIT
#pragma once

// The Windows functions the program may call only where they exist, looked
// up at run time, all in this one place: user32's per-monitor DPI calls
// (Windows 10 1607 on), so that the program still starts on older versions,
// and the multimedia library's, which is loaded only when a wave file first
// plays (on most nights no alarm sounds). Each is looked up once, at its
// first use, and is null where the system has no such function.

#include <windows.h>

namespace nortavi::platform {

// user32
using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using SetDialogDpiChangeBehaviorFunction = BOOL(WINAPI*)(HWND, int, int);
GetDpiForWindowFunction DynGetDpiForWindow();
AdjustWindowRectExForDpiFunction DynAdjustWindowRectExForDpi();
SetDialogDpiChangeBehaviorFunction DynSetDialogDpiChangeBehavior();

// winmm, from the system folder only, never from the program's own folder.
using PlaySoundAFunction = BOOL(WINAPI*)(LPCSTR, HMODULE, DWORD);
using PlaySoundWFunction = BOOL(WINAPI*)(LPCWSTR, HMODULE, DWORD);
PlaySoundAFunction DynPlaySoundA();
PlaySoundWFunction DynPlaySoundW();

}  // namespace nortavi::platform
