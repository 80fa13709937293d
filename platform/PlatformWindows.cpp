// SPDX-License-Identifier: MIT
// Windows: the wide calls, with the program's UTF-8 paths converted at each
// call, so that a folder named in any script works; text files keep the
// system code page.
#include "Platform.h"

#include "CodePageWindows.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
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

// The longest path the plain form takes everywhere (CreateDirectory's limit
// is MAX_PATH less room for an 8.3 name).
constexpr std::size_t kPlainPathLimit = MAX_PATH - 12;

// A path as the wide calls take it. One too long for the plain form gets
// the \\?\ prefix, which lifts the MAX_PATH limit; that form is taken
// literally, so it is made from the full path, with "." and ".." resolved
// and every separator a backslash.
std::wstring SystemPath(const std::string& path)
{
    std::wstring wide = WideFromUtf8(path);
    if (wide.size() < kPlainPathLimit || wide.rfind(LR"(\\?\)", 0) == 0 ||
        wide.rfind(LR"(\\.\)", 0) == 0) {
        return wide;
    }
    const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return wide;
    }
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) {
        return wide;
    }
    full.resize(length);
    if (full.rfind(LR"(\\)", 0) == 0) {
        return LR"(\\?\UNC\)" + full.substr(2);
    }
    return LR"(\\?\)" + full;
}

bool IsReadOnlyFile(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) ==
               FILE_ATTRIBUTE_READONLY;
}

// The temporary file, made anew. One left by a crashed run is overwritten,
// even where that run had made it read-only or hidden.
HANDLE CreateTemporary(const std::wstring& path)
{
    const auto create = [&path] {
        return CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    HANDLE file = create();
    if (file == INVALID_HANDLE_VALUE) {
        // The caller tells a folder that takes no new file by the error.
        const DWORD error = GetLastError();
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES ||
            !SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL)) {
            SetLastError(error);
            return file;
        }
        file = create();
    }
    return file;
}

// Whether the process with this id has ended (or never was).
bool ProcessGone(DWORD id)
{
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    if (process == nullptr) {
        return GetLastError() == ERROR_INVALID_PARAMETER;
    }
    const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

// Temporary files of saves that were killed before their rename, named
// "<file>.tmp-<process id>", whose process has gone.
void RemoveLeftoverTemporaries(const std::string& path)
{
    const std::string prefix = path + ".tmp-";
    const std::size_t folderEnd = path.find_last_of("\\/");
    const std::string folder = folderEnd == std::string::npos ? "" : path.substr(0, folderEnd + 1);
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW(SystemPath(prefix + "*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::string name = folder + Utf8FromWide(entry.cFileName).value_or("");
        if (name.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        char* end = nullptr;
        const unsigned long id = std::strtoul(name.c_str() + prefix.size(), &end, 10);
        if (end == name.c_str() + prefix.size() || *end != '\0' || id == GetCurrentProcessId() ||
            !ProcessGone(static_cast<DWORD>(id))) {
            continue;
        }
        const std::wstring leftover = SystemPath(name);
        SetFileAttributesW(leftover.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(leftover.c_str());
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

bool WriteAll(HANDLE file, const std::string& bytes)
{
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// The file is rewritten where it lies: not as one step, so a crash or a full
// disk may leave it cut short, but possible where no new file can be made.
bool RewriteInPlace(const std::wstring& path, const std::string& bytes)
{
    Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return false;
    }
    const bool ok = WriteAll(file.get(), bytes) && SetEndOfFile(file.get()) &&
                    FlushFileBuffers(file.get());
    return file.close() && ok;
}

// Reads at most maxBytes; on failure `error` holds the system's reason.
std::optional<FilePrefix> ReadPrefix(const std::string& path, std::size_t maxBytes, DWORD& error)
{
    // Full sharing: the sensor's software may keep writing to the file or
    // delete it while it is open here. Renaming a new file over it does not
    // wait for the read: MoveFileEx fails with access denied while the read
    // holds the file, sharing or not (wine, and Windows without POSIX rename
    // semantics), so a writer that replaces the file that way must try
    // again. The read lasts microseconds.
    Handle file(CreateFileW(SystemPath(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    error = file.valid() ? ERROR_SUCCESS : GetLastError();
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
            error = GetLastError();
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

}  // namespace

char PathSeparator()
{
    return '\\';
}

std::string ExecutableFolder()
{
    // The wide call: the ANSI one turns letters outside the system code page
    // into stand-ins, naming another folder or none.
    std::wstring wide(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, wide.data(), static_cast<DWORD>(wide.size()));
        if (length == 0) {
            return ".";
        }
        if (length < wide.size()) {
            wide.resize(length);
            break;
        }
        wide.resize(wide.size() * 2);
    }
    const auto converted = Utf8FromWide(wide);
    if (!converted) {
        return ".";
    }
    const std::string& path = *converted;
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
    const DWORD attributes = GetFileAttributesW(SystemPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return EntryKind::Missing;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::Folder : EntryKind::Other;
}

std::optional<FilePrefix> ReadFilePrefix(const std::string& path, std::size_t maxBytes)
{
    DWORD error = ERROR_SUCCESS;
    return ReadPrefix(path, maxBytes, error);
}

std::optional<FilePrefix> ReadSettingsFile(const std::string& path, std::size_t maxBytes)
{
    for (int attempt = 1;; ++attempt) {
        DWORD error = ERROR_SUCCESS;
        auto prefix = ReadPrefix(path, maxBytes, error);
        // Another program holding the file without sharing it (a backup,
        // a synchroniser) usually lets go within a moment.
        if (prefix || attempt == kReplaceAttempts ||
            (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION)) {
            return prefix;
        }
        Sleep(kReplaceRetryMs);
    }
}

std::optional<std::string> TextFileBytes(const std::string& text)
{
    return NarrowExactly(WideFromUtf8(text));
}

std::string TextFromFileBytes(const std::string& bytes)
{
    // Widen never yields a lone surrogate, so the conversion cannot fail.
    return Utf8FromWide(Widen(bytes)).value_or(std::string());
}

std::string UserSettingsFolder()
{
    std::wstring wide(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetEnvironmentVariableW(L"APPDATA", wide.data(), static_cast<DWORD>(wide.size()));
        if (length == 0) {
            return {};
        }
        if (length < wide.size()) {
            wide.resize(length);
            break;
        }
        wide.resize(length);  // the size it needs, with room for the end
    }
    auto folder = Utf8FromWide(wide);
    if (!folder || folder->empty()) {
        return {};
    }
    if (folder->back() != '\\' && folder->back() != '/') {
        *folder += '\\';
    }
    return *folder + "Nortavi\\";
}

bool CanCreateFilesIn(const std::string& folder)
{
    static std::atomic<unsigned> counter{0};
    const std::string probe = folder + ".nortavi-probe-" + std::to_string(GetCurrentProcessId()) +
                              "-" + std::to_string(counter.fetch_add(1));
    // Gone as soon as it is closed, whatever happens.
    Handle file(CreateFileW(
        SystemPath(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
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
        if (!CreateDirectoryW(SystemPath(part).c_str(), nullptr) &&
            GetLastError() != ERROR_ALREADY_EXISTS) {
            return false;
        }
    }
    if (QueryEntry(folder) != EntryKind::Folder &&
        !CreateDirectoryW(SystemPath(folder).c_str(), nullptr)) {
        return false;
    }
    return QueryEntry(folder) == EntryKind::Folder;
}

bool ReplaceFileContents(const std::string& path, const std::string& bytes, bool /*ownerOnly*/)
{
    const std::wstring target = SystemPath(path);
    // Windows refuses to replace a read-only file (access denied), and no
    // retry can change that: the user has asked for it to stay as it is.
    if (IsReadOnlyFile(target)) {
        return false;
    }
    // One name per process and file: a file of that name can only have been
    // left by a crashed run that had the same process id. Those that killed
    // runs of other ids left are cleared, so they do not pile up.
    RemoveLeftoverTemporaries(path);
    const std::wstring temporary =
        SystemPath(path + ".tmp-" + std::to_string(GetCurrentProcessId()));
    {
        Handle file(CreateTemporary(temporary));
        if (!file.valid()) {
            // A folder where the file may be written but no new file made
            // (a common installer permission). Any other failure (a full
            // disk) leaves config.ini untouched.
            return GetLastError() == ERROR_ACCESS_DENIED && RewriteInPlace(target, bytes);
        }
        const bool ok = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
        if (!file.close() || !ok) {
            DeleteFileW(temporary.c_str());
            return false;
        }
    }
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExW(temporary.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        if (attempt == kReplaceAttempts || !IsTransientReplaceError(GetLastError())) {
            break;
        }
        Sleep(kReplaceRetryMs);
    }
    DeleteFileW(temporary.c_str());
    return false;
}

CivilTime LocalNow()
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::chrono::seconds UtcOffsetNow()
{
    // One instant in both forms, so that a change of daylight saving time
    // between two readings cannot put them an hour apart.
    SYSTEMTIME utc{};
    GetSystemTime(&utc);
    SYSTEMTIME local{};
    FILETIME utcFile{};
    FILETIME localFile{};
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) ||
        !SystemTimeToFileTime(&utc, &utcFile) || !SystemTimeToFileTime(&local, &localFile)) {
        return std::chrono::seconds(0);
    }
    const auto ticks = [](const FILETIME& time) {
        return static_cast<long long>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) |
                                      time.dwLowDateTime);
    };
    // File times count 100 ns ticks; offsets are whole minutes.
    using Ticks = std::chrono::duration<long long, std::ratio<1, 10'000'000>>;
    return std::chrono::round<std::chrono::minutes>(Ticks(ticks(localFile) - ticks(utcFile)));
}

}  // namespace nortavi::platform
