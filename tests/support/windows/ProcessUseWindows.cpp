// SPDX-License-Identifier: MIT
#include "ProcessUse.h"

#include <windows.h>
#include <psapi.h>

#include <cstdint>
#include <vector>

// Windows counts handles and GDI and USER objects per process; wine answers
// those questions with 0. There the same counts come from where wine keeps
// them: the system's handle list, the process's GDI handle table and its
// windows.
namespace {

// NtQuerySystemInformation(SystemExtendedHandleInformation): one entry per
// open handle of every process.
struct HandleEntry {
    void* object;
    std::uintptr_t processId;
    std::uintptr_t handle;
    ULONG access;
    USHORT backTrace;
    USHORT type;
    ULONG attributes;
    ULONG reserved;
};
struct HandleList {
    std::uintptr_t count;
    std::uintptr_t reserved;
    HandleEntry entries[1];
};
using QuerySystemInformation = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
constexpr ULONG kSystemExtendedHandleInformation = 64;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

long HandlesFromTheSystemList()
{
    const auto query = reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) {
        return 0;
    }
    std::vector<std::uintptr_t> buffer(4096);
    for (int tries = 0; tries < 8; ++tries) {
        ULONG needed = 0;
        const ULONG size = static_cast<ULONG>(buffer.size() * sizeof buffer[0]);
        const LONG status = query(kSystemExtendedHandleInformation, buffer.data(), size, &needed);
        if (status == kInfoLengthMismatch) {
            buffer.resize(buffer.size() * 2 + needed / sizeof buffer[0]);
            continue;
        }
        if (status != 0) {
            return 0;
        }
        const auto* list = reinterpret_cast<const HandleList*>(buffer.data());
        long ours = 0;
        for (std::uintptr_t i = 0; i < list->count; ++i) {
            ours += list->entries[i].processId == GetCurrentProcessId() ? 1 : 0;
        }
        return ours;
    }
    return 0;
}

// The GDI handle table the process environment block points to: 65,536
// cells, a cell in use when its type is not 0.
struct GdiCell {
    void* object;
    USHORT processId;
    USHORT count;
    USHORT unique;
    USHORT type;
    void* user;
};
constexpr std::size_t kGdiCells = 0x10000;
static_assert(sizeof(void*) == 8, "the offsets below are those of 64-bit Windows");
constexpr std::size_t kTebProcessEnvironmentBlock = 0x60;
constexpr std::size_t kPebGdiSharedHandleTable = 0xF8;

long GdiObjectsFromTheHandleTable()
{
    const auto* teb = reinterpret_cast<const char*>(NtCurrentTeb());
    const auto* peb = *reinterpret_cast<const char* const*>(teb + kTebProcessEnvironmentBlock);
    const auto* table =
        *reinterpret_cast<const GdiCell* const*>(peb + kPebGdiSharedHandleTable);
    if (table == nullptr) {
        return 0;
    }
    long used = 0;
    for (std::size_t i = 0; i < kGdiCells; ++i) {
        used += (table[i].type & 0xFF) != 0 ? 1 : 0;
    }
    return used;
}

// The windows of this thread, child windows included.
long WindowsOfThisThread()
{
    long count = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM total) -> BOOL {
            auto& n = *reinterpret_cast<long*>(total);
            ++n;
            EnumChildWindows(
                window,
                [](HWND, LPARAM inner) -> BOOL {
                    ++*reinterpret_cast<long*>(inner);
                    return TRUE;
                },
                total);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

}  // namespace

ProcessUse MeasureProcessUse()
{
    ProcessUse use;
    const HANDLE self = GetCurrentProcess();
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(self, &memory, sizeof memory)) {
        use.residentKib = static_cast<long>(memory.WorkingSetSize / 1024);
    }
    DWORD handles = 0;
    use.handles = GetProcessHandleCount(self, &handles) && handles > 0
                      ? static_cast<long>(handles)
                      : HandlesFromTheSystemList();
    use.gdiObjects = static_cast<long>(GetGuiResources(self, GR_GDIOBJECTS));
    if (use.gdiObjects == 0) {
        use.gdiObjects = GdiObjectsFromTheHandleTable();
    }
    use.userObjects = static_cast<long>(GetGuiResources(self, GR_USEROBJECTS));
    if (use.userObjects == 0) {
        use.userObjects = WindowsOfThisThread();
    }
    return use;
}
