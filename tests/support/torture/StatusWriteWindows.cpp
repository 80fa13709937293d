// SPDX-License-Identifier: MIT
#include "StatusWriteOs.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <chrono>
#include <thread>

namespace nortavi::torture {

namespace {

// How most Windows programs write a file they own: others may read it
// meanwhile (the .NET default when writing).
HANDLE OpenForWriting(const std::string& path, DWORD disposition, DWORD share = FILE_SHARE_READ)
{
    return CreateFileA(path.c_str(), GENERIC_WRITE, share, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool WritePiece(HANDLE file, const char* data, std::size_t size)
{
    DWORD written = 0;
    return WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) &&
           written == size;
}

bool WriteAndClose(HANDLE file, const std::string& bytes)
{
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool written = WritePiece(file, bytes.data(), bytes.size());
    return CloseHandle(file) && written;
}

}  // namespace

bool RewriteInPlace(const std::string& path, const std::string& bytes)
{
    return WriteAndClose(OpenForWriting(path, CREATE_ALWAYS), bytes);
}

bool ReplaceByRename(const std::string& path, const std::string& bytes)
{
    const std::string next = path + ".new";
    return WriteAndClose(OpenForWriting(next, CREATE_ALWAYS), bytes) &&
           MoveFileExA(next.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

bool DeleteAndCreate(const std::string& path, const std::string& bytes)
{
    // Gone already when a failed attempt deleted it but could not create it.
    if (!DeleteFileA(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
        return false;
    }
    return WriteAndClose(OpenForWriting(path, CREATE_NEW), bytes);
}

bool RewriteInPieces(const std::string& path, const std::string& bytes)
{
    const HANDLE file = OpenForWriting(path, CREATE_ALWAYS);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool written = true;
    for (std::size_t at = 0; at < bytes.size() && written; ++at) {
        written = WritePiece(file, bytes.data() + at, 1);
        std::this_thread::sleep_for(std::chrono::microseconds{100});
    }
    return CloseHandle(file) && written;
}

bool RewriteHeldExclusively(const std::string& path, const std::string& bytes)
{
    // Opened once, closed by the system when the program ends. The first
    // attempts may meet a poll that has the file open, and fail; a failed
    // open is tried again at the next call, not kept.
    static HANDLE held = INVALID_HANDLE_VALUE;
    if (held == INVALID_HANDLE_VALUE) {
        held = OpenForWriting(path, OPEN_ALWAYS, 0);
    }
    if (held == INVALID_HANDLE_VALUE) {
        return false;
    }
    return SetFilePointer(held, 0, nullptr, FILE_BEGIN) == 0 && SetEndOfFile(held) &&
           WritePiece(held, bytes.data(), bytes.size());
}

}  // namespace nortavi::torture
