// SPDX-License-Identifier: MIT
#pragma once

// The few operating-system calls the program needs, one implementation file
// per platform (PlatformPosix.cpp, PlatformWindows.cpp), chosen by CMake.
// Paths and settings are UTF-8 text on every platform; on Windows the calls
// take them as UTF-16, so a folder named in any script works.

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

namespace nortavi::platform {

// The separator that ends a folder path: '\\' on Windows, '/' elsewhere.
char PathSeparator();

// The full path of the folder that holds the running executable, as the
// system reports it (it may or may not end in a separator).
std::string ExecutableFolder();

enum class EntryKind { Missing, Folder, Other };

// What the path names; every fault (empty or invalid name, no such entry,
// a drive that is not ready) gives Missing.
EntryKind QueryEntry(const std::string& path);

struct FilePrefix {
    std::string bytes;
    bool moreFollows = false;  // the file is longer than what was read
};

// Reads at most maxBytes from the start of the file. The file is opened
// read-only, shared so that its writer may go on writing, renaming or
// deleting it, and closed before returning. nullopt when it cannot be
// opened or read.
std::optional<FilePrefix> ReadFilePrefix(const std::string& path, std::size_t maxBytes);

// Like ReadFilePrefix, for config.ini: a file that another program holds
// locked against readers is tried again for a moment, as a save would be.
std::optional<FilePrefix> ReadSettingsFile(const std::string& path, std::size_t maxBytes);

// Text files (config.ini) hold 8-bit text in the system code page on
// Windows and UTF-8 elsewhere. The text as the file's bytes; nullopt when
// the file's encoding cannot hold a character of it.
std::optional<std::string> TextFileBytes(const std::string& text);

// A text file's bytes as the program's text. Bytes the encoding does not
// define come back as stand-in characters.
std::string TextFromFileBytes(const std::string& bytes);

// The user's own folder for Nortavi's files, ending in a separator:
// $XDG_CONFIG_HOME/nortavi/ (or ~/.config/nortavi/) on Linux,
// %APPDATA%\Nortavi\ on Windows. It may not exist yet. Empty when the
// system names no such place (no home folder, or a name the 8-bit
// encoding cannot hold).
std::string UserSettingsFolder();

// Whether a new file can be made in the folder right now: tried with a
// file of our own that is removed at once, so that permissions, read-only
// media and access lists all count.
bool CanCreateFilesIn(const std::string& folder);

// Makes the folder and any missing folders above it; true when it is there
// afterwards.
bool MakeFolders(const std::string& folder);

// Replaces the file with `bytes` as one step: the bytes go to a temporary
// file in the same folder, which then takes the old file's place, so a
// reader sees the old file or the new one, never a part. On failure the old
// file is left as it was and false is returned. On Windows a read-only file
// is refused at once, and where no temporary file can be made (a folder
// whose files may be written but where none may be created) the file is
// rewritten in place instead.
// `ownerOnly`: the new file may be read and written by its owner alone
// (it holds secrets); ignored on Windows, where they are protected instead.
bool ReplaceFileContents(const std::string& path, const std::string& bytes, bool ownerOnly = false);

struct CivilTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The current local date and time of day.
CivilTime LocalNow();

// How far the local time is ahead of UTC now (negative west of Greenwich),
// daylight saving time included, as the system's time zone says.
std::chrono::seconds UtcOffsetNow();

}  // namespace nortavi::platform
