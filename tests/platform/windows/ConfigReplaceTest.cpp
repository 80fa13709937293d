// SPDX-License-Identifier: MIT
// SaveConfig on Windows: config.ini is replaced as a whole, and a moment's
// lock by another program (a virus scanner, an indexer, an editor) only
// delays the save.
#include "CodePageWindows.h"
#include "ConfigFile.h"
#include "Gate.h"
#include "ImportHook.h"
#include "PrintSettings.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <future>
#include <mutex>
#include <string>
#include <vector>

namespace nortavi {
namespace {

Settings OldSettings(const ScratchFolder& folder)
{
    Settings settings = DefaultSettings(folder.WithSeparator());
    settings.statusPath = "D:\\Sensor\\status.txt";
    return settings;
}

Settings NewSettings(const ScratchFolder& folder)
{
    Settings settings = OldSettings(folder);
    settings.statusPath = "E:\\Observatory\\Cloud Sensor\\status.txt";
    settings.timeToSafe = -32768;
    settings.timeToUnsafe = 32767;
    settings.cloudyAsClear = settings.alarmOnSafe = true;
    settings.alarmOnUnsafe = false;
    return settings;
}

std::vector<std::string> OnlyConfigIni()
{
    return {"config.ini"};
}

// --- Old or new, never a mix --------------------------------------------

// The save is stopped half-way through writing its bytes, as a slow disk
// would leave it, and config.ini is read at that moment.
Gate* g_writeGate = nullptr;
ImportHook* g_writeHook = nullptr;

BOOL WINAPI HalfThenHoldWriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written,
                                  LPOVERLAPPED overlapped)
{
    const auto real = g_writeHook->Original<decltype(&WriteFile)>();
    if (!g_writeGate->ArmedHere()) {
        return real(file, buffer, toWrite, written, overlapped);
    }
    DWORD first = 0;
    DWORD rest = 0;
    const auto* bytes = static_cast<const char*>(buffer);
    if (!real(file, bytes, toWrite / 2, &first, nullptr)) {
        return FALSE;
    }
    g_writeGate->HoldIfArmed();
    const BOOL ok = real(file, bytes + first, toWrite - first, &rest, nullptr);
    *written = first + rest;
    return ok;
}

TEST(SaveConfigTest, ReplacesConfigIniWhole)
{
    ScratchFolder folder;
    ConfigFile config(folder.WithSeparator());
    ASSERT_TRUE(config.SaveConfig(OldSettings(folder)));
    const std::string oldBytes = FormatConfig(OldSettings(folder));
    const std::string newBytes = FormatConfig(NewSettings(folder));

    Gate gate;
    ImportHook hook("kernel32.dll", "WriteFile",
                    reinterpret_cast<const void*>(&HalfThenHoldWriteFile));
    g_writeGate = &gate;
    g_writeHook = &hook;
    auto save = std::async(std::launch::async, [&] {
        gate.Arm();
        const bool saved = config.SaveConfig(NewSettings(folder));
        gate.Finished();
        return saved;
    });
    ASSERT_TRUE(gate.Reached()) << "the save never wrote";
    const auto midway = ScratchFolder::ReadWholeFile(config.Path());
    gate.Open();
    const bool saved = save.get();

    EXPECT_EQ(midway, oldBytes) << "a reader met config.ini half-written";
    EXPECT_TRUE(saved);
    const auto after = ScratchFolder::ReadWholeFile(config.Path());
    EXPECT_EQ(after, newBytes);
    // Bytes on disk, not only in memory: CR LF stays CR LF.
    ASSERT_TRUE(after.has_value());
    EXPECT_EQ(std::count(after->begin(), after->end(), '\n'), 6);
    EXPECT_EQ(after->find("\r\r"), std::string::npos);
    EXPECT_EQ(folder.Names(), OnlyConfigIni());
}

// --- A moment's lock only delays the save -------------------------------

// Counts the replaces Windows refuses, and can play a virus scanner that
// opens the freshly written file just before the save moves it into place.
struct ReplaceWatch {
    std::mutex mutex;
    std::condition_variable changed;
    int refusals = 0;
    bool saveReturned = false;
    bool scanNewFile = false;
    HANDLE scanner = INVALID_HANDLE_VALUE;
    ImportHook* hook = nullptr;
};
ReplaceWatch* g_watch = nullptr;

BOOL WINAPI WatchedMoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags)
{
    {
        std::lock_guard lock(g_watch->mutex);
        if (g_watch->scanNewFile && g_watch->scanner == INVALID_HANDLE_VALUE) {
            // Scanners read a new file and share it, but not for deletion,
            // so it cannot be renamed while they look.
            g_watch->scanner = CreateFileW(from, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        }
    }
    const BOOL moved = g_watch->hook->Original<decltype(&MoveFileExW)>()(from, to, flags);
    const DWORD error = GetLastError();
    if (!moved) {
        std::lock_guard lock(g_watch->mutex);
        ++g_watch->refusals;
        g_watch->changed.notify_all();
    }
    SetLastError(error);
    return moved;
}

enum class Lock { ConfigIniOpenWithoutShareDelete, NewFileOpenByScanner };

struct LockCase {
    const char* name;
    Lock lock;
};

class SaveConfigLockTest : public testing::TestWithParam<LockCase> {};

TEST_P(SaveConfigLockTest, ReplacesOnceTheLockIsReleased)
{
    ScratchFolder folder;
    ConfigFile config(folder.WithSeparator());
    ASSERT_TRUE(config.SaveConfig(OldSettings(folder)));

    ReplaceWatch watch;
    ImportHook hook("kernel32.dll", "MoveFileExW", reinterpret_cast<const void*>(&WatchedMoveFileExW));
    watch.hook = &hook;
    g_watch = &watch;
    HANDLE editor = INVALID_HANDLE_VALUE;
    if (GetParam().lock == Lock::ConfigIniOpenWithoutShareDelete) {
        editor = CreateFileA(config.Path().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(editor, INVALID_HANDLE_VALUE);
    } else {
        watch.scanNewFile = true;
    }
    // The other program lets go from its own thread once the save has met
    // the lock twice, that is while the save is retrying.
    auto release = std::async(std::launch::async, [&] {
        std::unique_lock lock(watch.mutex);
        watch.changed.wait(lock, [&] { return watch.refusals >= 2 || watch.saveReturned; });
        CloseHandle(editor != INVALID_HANDLE_VALUE ? editor : watch.scanner);
    });

    const bool saved = config.SaveConfig(NewSettings(folder));
    {
        std::lock_guard lock(watch.mutex);
        watch.saveReturned = true;
        watch.changed.notify_all();
    }
    release.get();

    EXPECT_GE(watch.refusals, 2) << "the save never met the lock";
    EXPECT_TRUE(saved);
    EXPECT_EQ(ScratchFolder::ReadWholeFile(config.Path()), FormatConfig(NewSettings(folder)));
    EXPECT_EQ(folder.Names(), OnlyConfigIni());
}

INSTANTIATE_TEST_SUITE_P(
    Locks, SaveConfigLockTest,
    testing::Values(LockCase{"ConfigIniOpenWithoutShareDelete", Lock::ConfigIniOpenWithoutShareDelete},
                    LockCase{"NewFileOpenByScanner", Lock::NewFileOpenByScanner}),
    [](const auto& tested) { return std::string(tested.param.name); });

TEST(SaveConfigTest, GivesUpCleanlyWhenTheLockStays)
{
    ScratchFolder folder;
    ConfigFile config(folder.WithSeparator());
    ASSERT_TRUE(config.SaveConfig(OldSettings(folder)));
    const HANDLE editor =
        CreateFileA(config.Path().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(editor, INVALID_HANDLE_VALUE);

    const bool saved = config.SaveConfig(NewSettings(folder));
    CloseHandle(editor);

    EXPECT_FALSE(saved);
    EXPECT_EQ(ScratchFolder::ReadWholeFile(config.Path()), FormatConfig(OldSettings(folder)));
    EXPECT_EQ(folder.Names(), OnlyConfigIni());
}

// --- What Windows refuses never costs the settings ----------------------

// wine differs from Windows here (it replaces a read-only file and, with
// the tests run as root, ignores the folder's permissions), so hooks on the
// calls play Windows' part: the program's decision is what is tested.
struct Refusals {
    ImportHook* createHook = nullptr;
    ImportHook* moveHook = nullptr;
    int moves = 0;
    DWORD newFileError = 0;    // why the folder takes no new file, if it does not
    bool leaveLeftover = false;  // a crashed run left the temporary file
};
Refusals* g_refusals = nullptr;

bool Exists(LPCWSTR path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

HANDLE WINAPI RefusingCreateFileW(LPCWSTR name, DWORD access, DWORD share,
                                  LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
                                  HANDLE templateFile)
{
    const auto real = g_refusals->createHook->Original<decltype(&CreateFileW)>();
    const bool creates = disposition != OPEN_EXISTING && disposition != TRUNCATE_EXISTING;
    if (g_refusals->newFileError != 0 && creates && !Exists(name)) {
        SetLastError(g_refusals->newFileError);
        return INVALID_HANDLE_VALUE;
    }
    if (g_refusals->leaveLeftover && creates && !Exists(name)) {
        // Under the very name the save is about to take, left read-only and
        // hidden, as a crashed run would leave a file it had just made.
        g_refusals->leaveLeftover = false;
        CloseHandle(real(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, nullptr));
    }
    return real(name, access, share, security, disposition, flags, templateFile);
}

BOOL WINAPI WindowsMoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags)
{
    ++g_refusals->moves;
    const DWORD attributes = GetFileAttributesW(to);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        SetLastError(ERROR_ACCESS_DENIED);  // what Windows answers
        return FALSE;
    }
    return g_refusals->moveHook->Original<decltype(&MoveFileExW)>()(from, to, flags);
}

enum class Obstacle {
    ReadOnlyConfigIni,
    NoNewFilesInTheFolder,
    NoRoomForANewFile,
    LeftoverFromACrashedRun,
    LongPath
};

struct ObstacleCase {
    const char* name;
    Obstacle obstacle;
};

class SaveConfigObstacleTest : public testing::TestWithParam<ObstacleCase> {};

TEST_P(SaveConfigObstacleTest, SavesOrFailsAtOnceAndLeavesNothingBehind)
{
    ScratchFolder scratch;
    std::string folder = scratch.WithSeparator();
    if (GetParam().obstacle == Obstacle::LongPath) {
        // config.ini's own path is 254 characters, within MAX_PATH; a
        // temporary name beside it is not.
        while (folder.size() < 244) {
            folder += std::string(std::min<std::size_t>(60, 244 - folder.size() - 1), 'n') + "\\";
            ASSERT_TRUE(CreateDirectoryW(platform::WideFromUtf8(folder).c_str(), nullptr));
        }
        ASSERT_EQ((folder + "config.ini").size(), 254U);
    }
    ConfigFile config(folder);
    ASSERT_TRUE(config.SaveConfig(OldSettings(scratch)));

    Refusals refusals;
    ImportHook create("kernel32.dll", "CreateFileW",
                      reinterpret_cast<const void*>(&RefusingCreateFileW));
    ImportHook move("kernel32.dll", "MoveFileExW", reinterpret_cast<const void*>(&WindowsMoveFileExW));
    refusals.createHook = &create;
    refusals.moveHook = &move;
    g_refusals = &refusals;
    const std::wstring configIni = platform::WideFromUtf8(config.Path());
    bool shouldSave = true;
    switch (GetParam().obstacle) {
    case Obstacle::ReadOnlyConfigIni:
        ASSERT_TRUE(SetFileAttributesW(configIni.c_str(), FILE_ATTRIBUTE_READONLY));
        shouldSave = false;
        break;
    case Obstacle::NoNewFilesInTheFolder:
        refusals.newFileError = ERROR_ACCESS_DENIED;
        break;
    case Obstacle::NoRoomForANewFile:
        // Rewriting in place on a full disk could cut config.ini short.
        refusals.newFileError = ERROR_DISK_FULL;
        shouldSave = false;
        break;
    case Obstacle::LeftoverFromACrashedRun:
        refusals.leaveLeftover = true;
        break;
    case Obstacle::LongPath:
        break;
    }

    const bool saved = config.SaveConfig(NewSettings(scratch));

    EXPECT_EQ(saved, shouldSave);
    EXPECT_EQ(ScratchFolder::ReadWholeFile(config.Path()),
              FormatConfig(shouldSave ? NewSettings(scratch) : OldSettings(scratch)));
    // A read-only file is refused at once: no retries on the window's thread.
    EXPECT_LE(refusals.moves, 1);
    WIN32_FIND_DATAW entry;
    int names = 0;
    const HANDLE find = FindFirstFileW(platform::WideFromUtf8(folder + "*").c_str(), &entry);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        names += std::wstring(entry.cFileName) != L"." && std::wstring(entry.cFileName) != L"..";
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    EXPECT_EQ(names, 1) << "a temporary file was left beside config.ini";
}

INSTANTIATE_TEST_SUITE_P(
    Obstacles, SaveConfigObstacleTest,
    testing::Values(ObstacleCase{"ReadOnlyConfigIni", Obstacle::ReadOnlyConfigIni},
                    ObstacleCase{"NoNewFilesInTheFolder", Obstacle::NoNewFilesInTheFolder},
                    ObstacleCase{"NoRoomForANewFile", Obstacle::NoRoomForANewFile},
                    ObstacleCase{"LeftoverFromACrashedRun", Obstacle::LeftoverFromACrashedRun},
                    ObstacleCase{"LongPath", Obstacle::LongPath}),
    [](const auto& tested) { return std::string(tested.param.name); });

// --- A config.ini another program holds at start-up --------------------

// Counts the opens that a lock refused, so the holder can let go while the
// load is trying again.
struct LoadWatch {
    std::mutex mutex;
    std::condition_variable changed;
    int refusals = 0;
    bool loadReturned = false;
    ImportHook* hook = nullptr;
};
LoadWatch* g_load = nullptr;

HANDLE WINAPI WatchedCreateFileW(LPCWSTR name, DWORD access, DWORD share,
                                 LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
                                 HANDLE templateFile)
{
    const HANDLE file = g_load->hook->Original<decltype(&CreateFileW)>()(
        name, access, share, security, disposition, flags, templateFile);
    const DWORD error = GetLastError();
    if (file == INVALID_HANDLE_VALUE && error == ERROR_SHARING_VIOLATION) {
        std::lock_guard lock(g_load->mutex);
        ++g_load->refusals;
        g_load->changed.notify_all();
    }
    SetLastError(error);
    return file;
}

enum class Holder { LetsGoWithinAMoment, HoldsItThroughTheStart };

struct HolderCase {
    const char* name;
    Holder holder;
};

class HeldAtStartTest : public testing::TestWithParam<HolderCase> {};

TEST_P(HeldAtStartTest, TheUsersSettingsAreReadOrLeftAlone)
{
    ScratchFolder folder;
    const std::string usersFile = FormatConfig(NewSettings(folder));
    ASSERT_TRUE(ConfigFile(folder.WithSeparator()).SaveConfig(NewSettings(folder)));
    // A backup program or a synchroniser holds it without sharing.
    const HANDLE holder = CreateFileA(folder.File("config.ini").c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);

    LoadWatch watch;
    ImportHook hook("kernel32.dll", "CreateFileW", reinterpret_cast<const void*>(&WatchedCreateFileW));
    watch.hook = &hook;
    g_load = &watch;
    const bool letsGo = GetParam().holder == Holder::LetsGoWithinAMoment;
    auto release = std::async(std::launch::async, [&] {
        std::unique_lock lock(watch.mutex);
        watch.changed.wait(lock, [&] { return (letsGo && watch.refusals >= 2) || watch.loadReturned; });
        CloseHandle(holder);
    });
    ConfigFile config(folder.WithSeparator());
    const Settings defaults = DefaultSettings(folder.WithSeparator());
    Settings settings = defaults;
    config.LoadConfig(settings);
    {
        std::lock_guard lock(watch.mutex);
        watch.loadReturned = true;
        watch.changed.notify_all();
    }
    release.get();

    if (letsGo) {
        EXPECT_GE(watch.refusals, 2) << "the load never met the lock";
        EXPECT_EQ(settings, NewSettings(folder));
        return;
    }
    // The file is free again by the time the window closes; its save must
    // not put the defaults in place of the user's settings.
    EXPECT_EQ(settings, defaults);
    EXPECT_TRUE(config.SaveConfig(settings));
    Settings changed = settings;
    changed.alarmOnSafe = true;
    EXPECT_FALSE(config.SaveConfig(changed));
    EXPECT_EQ(ScratchFolder::ReadWholeFile(folder.File("config.ini")), usersFile);
}

INSTANTIATE_TEST_SUITE_P(
    Holders, HeldAtStartTest,
    testing::Values(HolderCase{"LetsGoWithinAMoment", Holder::LetsGoWithinAMoment},
                    HolderCase{"HoldsItThroughTheStart", Holder::HoldsItThroughTheStart}),
    [](const auto& tested) { return std::string(tested.param.name); });

}  // namespace
}  // namespace nortavi
