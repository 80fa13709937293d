// SPDX-License-Identifier: MIT
// FileExists against the Windows file system: attributes other than the
// folder one do not matter, and names are found whatever their letter case.
#include "FileSystem.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace nortavi {
namespace {

// A drive letter with nothing behind it, or "" when every letter is taken.
std::string UnusedDriveRoot()
{
    const DWORD drives = GetLogicalDrives();
    for (char letter = 'Z'; letter >= 'D'; --letter) {
        if ((drives & (1UL << (letter - 'A'))) == 0) {
            return std::string(1, letter) + ":\\";
        }
    }
    return "";
}

std::string FileWithAttributes(const ScratchFolder& folder, const std::string& name,
                               DWORD attributes)
{
    const std::string path = folder.Write(name, "x");
    if (!SetFileAttributesA(path.c_str(), attributes)) {
        ADD_FAILURE() << "cannot set attributes of " << path;
    }
    return path;
}

std::string Folder(const ScratchFolder& folder, const std::string& name)
{
    const std::string path = folder.File(name);
    if (!CreateDirectoryA(path.c_str(), nullptr)) {
        ADD_FAILURE() << "cannot make " << path;
    }
    return path;
}

struct ExistsCase {
    const char* name;
    std::function<std::string(const ScratchFolder&)> path;
    bool exists;
};

class FileExistsTest : public testing::TestWithParam<ExistsCase> {};

TEST_P(FileExistsTest, TrueExactlyForAnEntryThatIsNotAFolder)
{
    ScratchFolder folder;
    const std::string path = GetParam().path(folder);
    EXPECT_EQ(FileExists(path), GetParam().exists) << "path: " << path;
}

const ExistsCase kCases[] = {
    {"EmptyName", [](const ScratchFolder&) { return std::string(); }, false},
    {"MissingFile", [](const ScratchFolder& f) { return f.File("status.txt"); }, false},
    {"MissingFolderOnTheWay",
     [](const ScratchFolder& f) { return f.File("Sensor\\status.txt"); }, false},
    {"InvalidCharacters", [](const ScratchFolder& f) { return f.File("sta<tus>.txt"); }, false},
    {"DriveWithNothingBehindIt",
     [](const ScratchFolder&) { return UnusedDriveRoot() + "status.txt"; }, false},
    {"Folder", [](const ScratchFolder& f) { return Folder(f, "Sensor"); }, false},
    {"FolderWithTrailingBackslash",
     [](const ScratchFolder& f) { return Folder(f, "Sensor") + "\\"; }, false},
    {"ReadOnlyFolder",
     [](const ScratchFolder& f) {
         const std::string path = Folder(f, "Sensor");
         SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
         return path;
     },
     false},
    {"DriveRoot", [](const ScratchFolder& f) { return f.Path().substr(0, 3); }, false},
    {"PlainFile",
     [](const ScratchFolder& f) { return FileWithAttributes(f, "status.txt", FILE_ATTRIBUTE_NORMAL); },
     true},
    {"ReadOnlyFile",
     [](const ScratchFolder& f) {
         return FileWithAttributes(f, "status.txt", FILE_ATTRIBUTE_READONLY);
     },
     true},
    {"HiddenFile",
     [](const ScratchFolder& f) { return FileWithAttributes(f, "status.txt", FILE_ATTRIBUTE_HIDDEN); },
     true},
    {"HiddenSystemReadOnlyFile",
     [](const ScratchFolder& f) {
         return FileWithAttributes(f, "status.txt",
                                   FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                       FILE_ATTRIBUTE_READONLY);
     },
     true},
    {"NameInOtherLetterCase",
     [](const ScratchFolder& f) {
         f.Write("Status.txt", "x");
         return f.File("sTATUS.TXT");
     },
     true},
    {"FolderInOtherLetterCase",
     [](const ScratchFolder& f) {
         Folder(f, "Sensor");
         f.Write("Sensor\\status.txt", "x");
         return f.File("SENSOR\\status.txt");
     },
     true},
    {"ForwardSlashes",
     [](const ScratchFolder& f) {
         std::string path = f.Write("status.txt", "x");
         for (char& c : path) {
             c = c == '\\' ? '/' : c;
         }
         return path;
     },
     true},
};

INSTANTIATE_TEST_SUITE_P(Paths, FileExistsTest, testing::ValuesIn(kCases),
                         [](const auto& tested) { return std::string(tested.param.name); });

}  // namespace
}  // namespace nortavi
