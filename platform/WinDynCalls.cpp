// SPDX-License-Identifier: MIT
#include "WinDynCalls.h"

namespace nortavi::platform {
namespace {

template <typename Function>
Function Look(HMODULE library, const char* name)
{
    return library != nullptr
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)))
               : nullptr;
}

// Every window program has user32 loaded already.
template <typename Function>
Function User32Function(const char* name)
{
    return Look<Function>(GetModuleHandleW(L"user32.dll"), name);
}

HMODULE MultimediaLibrary()
{
    static const HMODULE winmm =
        LoadLibraryExW(L"winmm.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return winmm;
}

template <typename Function>
Function MultimediaFunction(const char* name)
{
    return Look<Function>(MultimediaLibrary(), name);
}

}  // namespace

GetDpiForWindowFunction DynGetDpiForWindow()
{
    static const auto function = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    return function;
}

AdjustWindowRectExForDpiFunction DynAdjustWindowRectExForDpi()
{
    static const auto function =
        User32Function<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi");
    return function;
}

SetDialogDpiChangeBehaviorFunction DynSetDialogDpiChangeBehavior()
{
    static const auto function =
        User32Function<SetDialogDpiChangeBehaviorFunction>("SetDialogDpiChangeBehavior");
    return function;
}

PlaySoundAFunction DynPlaySoundA()
{
    static const auto function = MultimediaFunction<PlaySoundAFunction>("PlaySoundA");
    return function;
}

PlaySoundWFunction DynPlaySoundW()
{
    static const auto function = MultimediaFunction<PlaySoundWFunction>("PlaySoundW");
    return function;
}

}  // namespace nortavi::platform
