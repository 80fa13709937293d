// SPDX-License-Identifier: MIT
// Windows: the ANSI calls, since paths and text files are 8-bit text in the
// system code page.
#include "Platform.h"

#include "CodePageWindows.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <random>
#include <string>
#include <utility>

namespace nortavi::platform {

namespace {

// Closes a handle on every path out of a function.
class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { close(); }
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    bool close()
    {
        if (!valid()) {
            return true;
        }
        const bool closed = CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE handle_;
};

bool IsTransientReplaceError(DWORD error)
{
    // A virus scanner, an indexer or an editor may hold config.ini open for
    // a moment; the replace is tried again.
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_ACCESS_DENIED;
}

constexpr int kReplaceAttempts = 20;
constexpr DWORD kReplaceRetryMs = 50;

}  // namespace

char PathSeparator()
{
    return '\\';
}

std::string ExecutableFolder()
{
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return ".";
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const auto slash = path.find_last_of("\\/");
    if (slash == std::string::npos) {
        return ".";
    }
    // A program at a drive root keeps the root's backslash ("D:\").
    if (slash == 2 && path[1] == ':') {
        return path.substr(0, 3);
    }
    return path.substr(0, slash);
}

EntryKind QueryEntry(const std::string& path)
{
    if (path.empty()) {
        return EntryKind::Missing;
    }
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return EntryKind::Missing;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::Folder : EntryKind::Other;
}

std::optional<FilePrefix> ReadFilePrefix(const std::string& path, std::size_t maxBytes)
{
    // Full sharing: the sensor's software may keep writing to the file or
    // delete it while it is open here. (Renaming a new file over it waits
    // until the read is done; the read lasts microseconds.)
    Handle file(CreateFileA(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK) {
        return std::nullopt;
    }
    // Status files are a few dozen bytes: read in small chunks rather than
    // reserving the whole limit at every poll.
    FilePrefix prefix;
    char chunk[4096];
    while (prefix.bytes.size() <= maxBytes) {
        const std::size_t wanted = std::min(sizeof chunk, maxBytes + 1 - prefix.bytes.size());
        DWORD got = 0;
        if (!ReadFile(file.get(), chunk, static_cast<DWORD>(wanted), &got, nullptr)) {
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        prefix.bytes.append(chunk, got);
    }
    prefix.moreFollows = prefix.bytes.size() > maxBytes;
    if (prefix.moreFollows) {
        prefix.bytes.resize(maxBytes);
    }
    return prefix;
}

std::string UserSettingsFolder()
{
    wchar_t wide[MAX_PATH * 2] = {};
    const DWORD length =
        GetEnvironmentVariableW(L"APPDATA", wide, static_cast<DWORD>(std::size(wide)));
    if (length == 0 || length >= std::size(wide)) {
        return {};
    }
    auto narrow = NarrowExactly(std::wstring_view(wide, length));
    if (!narrow || narrow->empty()) {
        return {};
    }
    std::string folder = std::move(*narrow);
    if (folder.back() != '\\' && folder.back() != '/') {
        folder += '\\';
    }
    return folder + "Nortavi\\";
}

bool CanCreateFilesIn(const std::string& folder)
{
    static std::atomic<unsigned> counter{0};
    const std::string probe = folder + ".nortavi-probe-" + std::to_string(GetCurrentProcessId()) +
                              "-" + std::to_string(counter.fetch_add(1));
    // Gone as soon as it is closed, whatever happens.
    Handle file(CreateFileA(
        probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return file.valid();
}

bool MakeFolders(const std::string& folder)
{
    // Each folder on the way down that is not there yet. The drive ("C:\")
    // or the share ("\\server\share\") it lies on is not made, and one
    // that exists is not asked for again: Windows may answer "access
    // denied" rather than "already exists" for a root or a share.
    std::size_t start = 0;
    if (folder.size() >= 2 && folder[1] == ':') {
        start = 2;
    } else if (folder.rfind("\\\\", 0) == 0) {
        const std::size_t server = folder.find_first_of("\\/", 2);
        start = server == std::string::npos ? std::string::npos
                                            : folder.find_first_of("\\/", server + 1);
    }
    if (start == std::string::npos) {
        return QueryEntry(folder) == EntryKind::Folder;
    }
    for (std::size_t end = folder.find_first_of("\\/", start + 1); end != std::string::npos;
         end = folder.find_first_of("\\/", end + 1)) {
        const std::string part = folder.substr(0, end);
        if (QueryEntry(part) == EntryKind::Folder) {
            continue;
        }
        if (!CreateDirectoryA(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
            return false;
        }
    }
    if (QueryEntry(folder) != EntryKind::Folder && !CreateDirectoryA(folder.c_str(), nullptr)) {
        return false;
    }
    return QueryEntry(folder) == EntryKind::Folder;
}

bool ReplaceFileContents(const std::string& path, const std::string& bytes)
{
    // A random part too: process ids come round again, and a killed save of
    // an earlier process with this one's id may have left its name behind.
    static std::atomic<unsigned> counter{0};
    const std::string temporary = path + ".tmp-" + std::to_string(GetCurrentProcessId()) + "-" +
                                  std::to_string(counter.fetch_add(1)) + "-" +
                                  std::to_string(std::random_device{}());
    {
        Handle file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid()) {
            return false;
        }
        DWORD written = 0;
        const bool ok = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                  &written, nullptr) &&
                        written == bytes.size() && FlushFileBuffers(file.get());
        if (!file.close() || !ok) {
            DeleteFileA(temporary.c_str());
            return false;
        }
    }
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExA(temporary.c_str(), path.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        if (attempt == kReplaceAttempts || !IsTransientReplaceError(GetLastError())) {
            break;
        }
        Sleep(kReplaceRetryMs);
    }
    DeleteFileA(temporary.c_str());
    return false;
}

CivilTime LocalNow()
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

}  // namespace nortavi::platform
