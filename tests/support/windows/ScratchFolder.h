// SPDX-License-Identifier: MIT
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <atomic>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// A fresh folder under the Windows temporary folder, made and read with the
// same 8-bit calls the program uses. It is removed at the end with whatever
// is in it, read-only and hidden files included (a plain DeleteFile refuses
// read-only ones).
class ScratchFolder {
public:
    ScratchFolder()
    {
        static std::atomic<unsigned> counter{0};
        char base[MAX_PATH + 1] = {};
        if (GetTempPathA(MAX_PATH + 1, base) == 0) {
            throw std::runtime_error("no temporary folder");
        }
        // The long form, as Windows reports a program's path: TEMP may hold
        // 8.3 short names.
        char longBase[MAX_PATH + 1] = {};
        const DWORD longLength = GetLongPathNameA(base, longBase, MAX_PATH + 1);
        if (longLength > 0 && longLength <= MAX_PATH) {
            std::memcpy(base, longBase, longLength + 1);
        }
        for (;;) {
            path_ = std::string(base) + "nortavi-win-" + std::to_string(GetCurrentProcessId()) +
                    "-" + std::to_string(counter.fetch_add(1));
            if (CreateDirectoryA(path_.c_str(), nullptr)) {
                break;
            }
            if (GetLastError() != ERROR_ALREADY_EXISTS) {
                throw std::runtime_error("cannot make " + path_);
            }
        }
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() { RemoveTree(path_); }

    // The folder, without a trailing backslash.
    const std::string& Path() const { return path_; }
    // The folder as the program names its own: with one trailing backslash.
    std::string WithSeparator() const { return path_ + "\\"; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

    std::string Write(const std::string& name, const std::string& bytes) const
    {
        const std::string path = File(name);
        if (!WriteWholeFile(path, bytes)) {
            throw std::runtime_error("cannot write " + path);
        }
        return path;
    }

    // The names in the folder, to see what a failed operation left behind.
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA entry;
        const HANDLE find = FindFirstFileA((path_ + "\\*").c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE) {
            return names;
        }
        do {
            const std::string name = entry.cFileName;
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        } while (FindNextFileA(find, &entry));
        FindClose(find);
        return names;
    }

    static bool WriteWholeFile(const std::string& path, const std::string& bytes)
    {
        const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return false;
        }
        DWORD written = 0;
        const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                                  nullptr) &&
                        written == bytes.size();
        return CloseHandle(file) && ok;
    }

    // The whole file, opened with full sharing so that reading it never
    // gets in the way of what is being tested; nullopt when it cannot be
    // opened.
    static std::optional<std::string> ReadWholeFile(const std::string& path)
    {
        const HANDLE file =
            CreateFileA(path.c_str(), GENERIC_READ,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return std::nullopt;
        }
        std::string bytes;
        char chunk[4096];
        DWORD got = 0;
        while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) {
            bytes.append(chunk, got);
        }
        CloseHandle(file);
        return bytes;
    }

private:
    // Wide calls, so that folders named beyond the code page go too.
    static void RemoveTree(const std::string& folder) { RemoveTree(Wide(folder)); }

    static std::wstring Wide(const std::string& text)
    {
        std::wstring wide(text.size(), L'\0');
        wide.resize(static_cast<std::size_t>(MultiByteToWideChar(
            CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
            static_cast<int>(wide.size()))));
        return wide;
    }

    static void RemoveTree(const std::wstring& folder)
    {
        WIN32_FIND_DATAW entry;
        const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = entry.cFileName;
                if (name == L"." || name == L"..") {
                    continue;
                }
                const std::wstring path = folder + L"\\" + name;
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                    RemoveTree(path);
                } else {
                    DeleteFileW(path.c_str());
                }
            } while (FindNextFileW(find, &entry));
            FindClose(find);
        }
        RemoveDirectoryW(folder.c_str());
    }

    std::string path_;
};
