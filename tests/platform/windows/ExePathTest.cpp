// SPDX-License-Identifier: MIT
// GetEXEPath as Windows reports the program's place: copies of a small
// program that prints it are run from a drive root and from folders, and
// from folders named beyond ASCII, where it must also find, load and save
// config.ini.
#include "CodePageWindows.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <sstream>
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

// Runs program (with the output file as its first argument) from a current
// folder unlike its own, so that only the module path can tell it where it
// is; what it wrote, or nullopt when it did not run cleanly. The wide call,
// so that a program in any folder can be started.
std::optional<std::string> RunProbe(const std::wstring& program, const std::string& output,
                                    const std::wstring& options = {})
{
    std::wstring commandLine =
        L"\"" + program + L"\" \"" + nortavi::platform::Widen(output) + L"\" " + options;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const auto start = [&] {
        return CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                              nullptr, L"C:\\", &startup, &process);
    };
    // Wine's server now and then fails a start with ERROR_INTERNAL_ERROR
    // before the new process exists (the same start fails as a wine client
    // error elsewhere): such a start is tried once more.
    if (!start() && !(GetLastError() == ERROR_INTERNAL_ERROR && start())) {
        ADD_FAILURE() << "cannot start the probe: error " << GetLastError();
        return std::nullopt;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (exitCode != 0) {
        ADD_FAILURE() << "the probe exited with " << exitCode;
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

    const auto exePath = RunProbe(nortavi::platform::Widen(copy), scratch.File("exe-path.txt"));
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

// --- Folders named beyond ASCII ----------------------------------------

// Each folder's name ends in a letter that once lost the program its files:
// in the double-byte code pages (932 Japanese; 936, 949 and 950 alike) the
// second byte of "ソ" and "表" is 0x5C, a backslash, so a byte-wise test took
// the name for one that already ends in a separator; and letters outside
// the system code page (Cyrillic, or "Łódź", on a Western PC) came back from
// the ANSI calls as stand-ins, naming another folder or none.
struct FolderCase {
    const char* name;
    std::wstring folder;
};

class ProgramFolderBeyondAsciiTest : public testing::TestWithParam<FolderCase> {};

std::map<std::string, std::string> ProbeReport(const std::string& text)
{
    std::map<std::string, std::string> report;
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, report["exePath"]);
    while (std::getline(lines, line)) {
        const auto equals = line.find('=');
        report[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return report;
}

TEST_P(ProgramFolderBeyondAsciiTest, FindsLoadsAndSavesConfigIniThere)
{
    // The code page a run is meant for is named by the test's CTest entry,
    // which sets wine's locale; elsewhere the case is left to those entries.
    const char* codePage = std::getenv("NORTAVI_TEST_CODE_PAGE");
    if (codePage == nullptr) {
        GTEST_SKIP() << "run with NORTAVI_TEST_CODE_PAGE and a matching locale";
    }
    ASSERT_EQ(std::to_string(GetACP()), codePage) << "wine took another locale";

    using nortavi::platform::NarrowExactly;
    using nortavi::platform::Utf8FromWide;
    using nortavi::platform::Widen;
    ScratchFolder scratch;
    const std::wstring folder = Widen(scratch.File("")) + GetParam().folder + L"\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr)) << "error " << GetLastError();
    const std::wstring copy = folder + L"Nortavi.exe";
    ASSERT_TRUE(CopyFileW(Widen(ProbeBesideThisProgram()).c_str(), copy.c_str(), FALSE))
        << "error " << GetLastError();
    const std::string folderText = *Utf8FromWide(folder);
    const std::string output = scratch.File("report.txt");

    // First start, no config.ini: the defaults, saved beside the program.
    const auto first = RunProbe(copy, output, L"--settings");
    ASSERT_TRUE(first.has_value());
    auto report = ProbeReport(*first);
    EXPECT_EQ(report["exePath"], folderText);
    EXPECT_EQ(report["config"], folderText + "config.ini");
    EXPECT_EQ(report["statusPath"], folderText);
    EXPECT_EQ(report["saved"], "1");

    // config.ini holds the code page's bytes. The default status path, the
    // program's folder, is written as ".\" where the code page cannot hold
    // its name, so that the save neither fails nor mangles it.
    const auto inCodePage = NarrowExactly(folder);
    const std::string configBytes = "statusPath," + inCodePage.value_or(".\\") +
                                    "\r\ntimeToSafe,16\r\ntimeToUnsafe,5\r\ncloudyAsClear,False\r\n"
                                    "alarmOnSafe,False\r\nalarmOnUnsafe,True\r\n";
    HANDLE file = CreateFileW((folder + L"config.ini").c_str(), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "config.ini was not saved beside the program";
    std::string saved(4096, '\0');
    DWORD got = 0;
    ReadFile(file, saved.data(), static_cast<DWORD>(saved.size()), &got, nullptr);
    CloseHandle(file);
    saved.resize(got);
    EXPECT_EQ(saved, configBytes);

    // Second start: what the first saved comes back, the program's folder
    // included.
    const auto second = RunProbe(copy, output, L"--settings");
    ASSERT_TRUE(second.has_value());
    report = ProbeReport(*second);
    EXPECT_EQ(report["statusPath"], folderText);
    EXPECT_EQ(report["timeToSafe"], "17");
    EXPECT_EQ(report["saved"], "1");
    DeleteFileW(copy.c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Folders, ProgramFolderBeyondAsciiTest,
    testing::Values(FolderCase{"KatakanaSo", L"Nortavi \u30BD"},
                    FolderCase{"KanjiHyou", L"\u8868"},
                    FolderCase{"Cyrillic", L"\u041D\u043E\u0440\u0442\u0430\u0432\u0438"},
                    FolderCase{"Lodz", L"\u0141\u00F3d\u017A"}),
    [](const auto& tested) { return std::string(tested.param.name); });

}  // namespace
