// SPDX-License-Identifier: MIT
#include "ImportHook.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstring>
#include <stdexcept>
#include <string>

namespace {

template <typename T>
T* At(BYTE* base, DWORD offset)
{
    return reinterpret_cast<T*>(base + offset);
}

// Every import-address-table slot of this executable that the loader filled
// with module!function (a module may appear in more than one descriptor).
std::vector<std::uintptr_t*> FindSlots(const char* module, const char* function)
{
    static_assert(sizeof(std::uintptr_t) == sizeof(IMAGE_THUNK_DATA));
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = At<const IMAGE_NT_HEADERS>(base, static_cast<DWORD>(dos->e_lfanew));
    const auto& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    std::vector<std::uintptr_t*> slots;
    if (imports.VirtualAddress == 0) {
        return slots;
    }
    for (auto* descriptor = At<IMAGE_IMPORT_DESCRIPTOR>(base, imports.VirtualAddress);
         descriptor->Name != 0; ++descriptor) {
        if (_stricmp(At<const char>(base, descriptor->Name), module) != 0 ||
            descriptor->OriginalFirstThunk == 0) {
            continue;
        }
        const auto* names = At<const IMAGE_THUNK_DATA>(base, descriptor->OriginalFirstThunk);
        auto* addresses = At<IMAGE_THUNK_DATA>(base, descriptor->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++addresses) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                continue;
            }
            const auto* byName = At<const IMAGE_IMPORT_BY_NAME>(
                base, static_cast<DWORD>(names->u1.AddressOfData));
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0) {
                slots.push_back(reinterpret_cast<std::uintptr_t*>(&addresses->u1.Function));
            }
        }
    }
    return slots;
}

void Store(std::uintptr_t* slot, std::uintptr_t value)
{
    DWORD protection = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
    FlushInstructionCache(GetCurrentProcess(), slot, sizeof *slot);
}

}  // namespace

ImportHook::ImportHook(const char* module, const char* function, const void* standIn)
    : slots_(FindSlots(module, function))
{
    if (slots_.empty()) {
        throw std::runtime_error(std::string("this program does not import ") + module + "!" +
                                 function);
    }
    original_ = *slots_.front();
    for (auto* slot : slots_) {
        Store(slot, reinterpret_cast<std::uintptr_t>(standIn));
    }
}

ImportHook::~ImportHook()
{
    for (auto* slot : slots_) {
        Store(slot, original_);
    }
}
