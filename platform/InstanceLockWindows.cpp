// SPDX-License-Identifier: MIT
#include "InstanceLock.h"

#include "CodePageWindows.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>

namespace nortavi::platform {

std::string InstanceKey(const std::string& settingsPath)
{
    // Windows takes paths in any letter case as the same file.
    std::wstring wide = WideFromUtf8(settingsPath);
    if (!wide.empty()) {
        CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    }
    // FNV-1a over the UTF-16 units: stable across processes and builds.
    std::uint64_t hash = 14695981039346656037ull;
    for (const wchar_t c : wide) {
        hash = (hash ^ static_cast<std::uint16_t>(c)) * 1099511628211ull;
    }
    char text[17] = {};
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

// A named mutex in the user's session: Windows removes it with the last
// handle, so a copy that was killed leaves nothing behind.
InstanceLock::InstanceLock(const std::string& settingsPath) : key_(InstanceKey(settingsPath))
{
    const std::wstring name = L"Local\\Nortavi-" + std::wstring(key_.begin(), key_.end());
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    if (mutex == nullptr) {
        // Denied: a copy run as another user (as administrator, say) holds
        // it. Anything else: no lock to be had, so run anyway.
        held_ = GetLastError() != ERROR_ACCESS_DENIED;
        return;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        held_ = false;
        CloseHandle(mutex);
        return;
    }
    handle_ = reinterpret_cast<long long>(mutex);
}

InstanceLock::~InstanceLock()
{
    if (handle_ != -1) {
        CloseHandle(reinterpret_cast<HANDLE>(handle_));
    }
}

}  // namespace nortavi::platform
