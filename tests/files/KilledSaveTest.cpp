// SPDX-License-Identifier: MIT
// config.ini against a program killed at a random moment of a save
// (SIGKILL, or TerminateProcess on Windows): after every kill it is the
// whole of one of the two settings saved, byte for byte, and what a killed
// save leaves behind is cleared by the next one.
#include "ChildProcess.h"
#include "ConfigFile.h"
#include "TempFolder.h"
#include "TortureData.h"
#include "TortureHelpers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

namespace nortavi::torture {
namespace {

// Entries in the folder other than config.ini.
int Leftovers(const std::filesystem::path& folder)
{
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        count += entry.path().filename() != "config.ini";
    }
    return count;
}

TEST(KilledSaveTest, ConfigIniIsAlwaysOneWholeFileAndLeftoversDoNotPileUp)
{
    TempFolder scratch;
    const std::filesystem::path program = scratch.path() / "program";
    std::filesystem::create_directory(program);
    const std::string folder = (program / "").string();
    const std::string started = scratch.File("started");
    const std::string first = FormatConfig(SaverSettings(folder, false));
    const std::string second = FormatConfig(SaverSettings(folder, true));
    scratch.Write("program/config.ini", first);

    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    // A save takes from tens of microseconds to a few milliseconds (fsync).
    std::uniform_int_distribution<int> delayUs(0, 5000);
    const long kills = Rounds("NORTAVI_TORTURE_KILLS", 50);
    long firstSeen = 0;
    long secondSeen = 0;
    long leftBehind = 0;
    int mostLeftovers = 0;
    for (long kill = 1; kill <= kills; ++kill) {
        std::filesystem::remove(started);
        ChildProcess saver(HelperProgram("nortavi-config-saver"), {folder, started});
        WaitUntil([&] { return std::filesystem::exists(started) || saver.HasEnded(); });
        std::this_thread::sleep_for(std::chrono::microseconds{delayUs(random)});
        saver.Kill();
        ASSERT_EQ(saver.Wait(), -1) << "the saver ended by itself (a save failed)";

        const std::string bytes = ReadWholeFile(folder + "config.ini");
        ASSERT_TRUE(bytes == first || bytes == second)
            << "kill " << kill << " (seed " << seed << ") left config.ini as:\n" << bytes;
        (bytes == first ? firstSeen : secondSeen) += 1;
        const int leftovers = Leftovers(program);
        leftBehind += leftovers > 0;
        mostLeftovers = std::max(mostLeftovers, leftovers);
    }
    std::printf("[ figures  ] %ld kills: config.ini whole every time (%ld the first settings, "
                "%ld the second); a temporary file left after %ld kills, never more than %d\n",
                kills, firstSeen, secondSeen, leftBehind, mostLeftovers);
    EXPECT_GT(secondSeen, 0) << "no save ever completed before a kill";
    // At most the last killed save's own temporary file: each save cleared
    // what the ones before it left.
    EXPECT_LE(mostLeftovers, 1) << "temporary files piled up (seed " << seed << ")";

    ConfigFile config(folder);
    ASSERT_TRUE(config.SaveConfig(SaverSettings(folder, false)));
    EXPECT_EQ(Leftovers(program), 0) << "a later save did not clear what a killed one left";
}

// Process ids come round again: what a killed save of an earlier process
// with this very id left must not stop this one from saving.
TEST(KilledSaveTest, NamesLeftByAnEarlierProcessWithTheSameIdDoNotStopASave)
{
    TempFolder folder;
    const std::string prefix = "config.ini.tmp-" + std::to_string(CurrentProcessId()) + "-";
    for (int save = 0; save < 200; ++save) {
        folder.Write(prefix + std::to_string(save), "statusPath,cut sh");
    }
    ConfigFile config(folder.WithSeparator());
    EXPECT_TRUE(config.SaveConfig(SaverSettings(folder.WithSeparator(), false)));
    EXPECT_TRUE(config.SaveConfig(SaverSettings(folder.WithSeparator(), true)));
    EXPECT_EQ(folder.Read("config.ini"), FormatConfig(SaverSettings(folder.WithSeparator(), true)));
}

}  // namespace
}  // namespace nortavi::torture
