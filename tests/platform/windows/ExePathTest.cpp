// SPDX-License-Identifier: MIT
// GetEXEPath as Windows reports the program's place: copies of a small
// program that prints it are run from a drive root and from folders.
#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

constexpr const char* kProbeName = "nortavi_exe_path_probe.exe";

// The probe is built beside this test program.
std::string ProbeBesideThisProgram()
{
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH + 1);
    std::string self(path, length);
    return self.substr(0, self.find_last_of('\\') + 1) + kProbeName;
}

// Runs program (with the output file as its one argument) from a current
// folder unlike its own, so that only the module path can tell it where it
// is; what it wrote, or nullopt when it did not run cleanly.
std::optional<std::string> RunProbe(const std::string& program, const std::string& output)
{
    std::string commandLine = "\"" + program + "\" \"" + output + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        "C:\\", &startup, &process)) {
        ADD_FAILURE() << "cannot start " << program << ": error " << GetLastError();
        return std::nullopt;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (exitCode != 0) {
        ADD_FAILURE() << program << " exited with " << exitCode;
        return std::nullopt;
    }
    return ScratchFolder::ReadWholeFile(output);
}

// A drive whose root the tests may write to, such as "N:\", named by
// NORTAVI_TEST_DRIVE_ROOT: scripts/windows-stage.sh maps one in wine; on a
// Windows machine `subst N: <folder>` makes one.
std::optional<std::string> SpareDriveRoot()
{
    const char* root = std::getenv("NORTAVI_TEST_DRIVE_ROOT");
    if (root == nullptr || *root == '\0') {
        return std::nullopt;
    }
    return std::string(root);
}

enum class Place { DriveRoot, Subfolder, FolderWithSpacesAndDots };

struct ExePathCase {
    const char* name;
    Place place;
};

class GetEXEPathTest : public testing::TestWithParam<ExePathCase> {};

TEST_P(GetEXEPathTest, IsTheProgramFolderWithExactlyOneBackslash)
{
    ScratchFolder scratch;
    std::string folder;  // where the copy runs, with one trailing backslash
    switch (GetParam().place) {
    case Place::DriveRoot: {
        const auto root = SpareDriveRoot();
        if (!root) {
            GTEST_SKIP() << "NORTAVI_TEST_DRIVE_ROOT names no writable drive root";
        }
        ASSERT_EQ(root->size(), 3U) << *root;
        ASSERT_EQ(root->substr(1), ":\\") << *root;
        folder = *root;
        break;
    }
    case Place::Subfolder:
        ASSERT_TRUE(CreateDirectoryA(scratch.File("Nortavi").c_str(), nullptr));
        folder = scratch.File("Nortavi") + "\\";
        break;
    case Place::FolderWithSpacesAndDots:
        ASSERT_TRUE(CreateDirectoryA(scratch.File("Sky Alarm 1.0").c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA(scratch.File("Sky Alarm 1.0\\bin.x64").c_str(), nullptr));
        folder = scratch.File("Sky Alarm 1.0\\bin.x64") + "\\";
        break;
    }
    const std::string copy = folder + "nortavi-probe-" + std::to_string(GetCurrentProcessId()) + ".exe";
    ASSERT_TRUE(CopyFileA(ProbeBesideThisProgram().c_str(), copy.c_str(), FALSE))
        << copy << ": error " << GetLastError();

    const auto exePath = RunProbe(copy, scratch.File("exe-path.txt"));
    DeleteFileA(copy.c_str());

    ASSERT_TRUE(exePath.has_value());
    EXPECT_EQ(*exePath, folder);
}

INSTANTIATE_TEST_SUITE_P(Places, GetEXEPathTest,
                         testing::Values(ExePathCase{"DriveRoot", Place::DriveRoot},
                                         ExePathCase{"Subfolder", Place::Subfolder},
                                         ExePathCase{"FolderWithSpacesAndDots",
                                                     Place::FolderWithSpacesAndDots}),
                         [](const auto& tested) { return std::string(tested.param.name); });

}  // namespace
