// SPDX-License-Identifier: MIT
// A save that meets a full disk or a folder turned read-only says so, and
// leaves config.ini as it was, byte for byte, with nothing beside it; once
// the fault is gone the next save works.
#include "ConfigFile.h"
#include "SaveFaults.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace nortavi {
namespace {

Settings Written(const std::string& folder, bool changed)
{
    Settings settings = DefaultSettings(folder);
    settings.statusPath = "/home/observer/sensor/status.txt";
    if (changed) {
        settings.statusPath = "/srv/observatory/a much longer path to the cloud sensor/status.txt";
        settings.timeToSafe = 30;
        settings.alarmOnSafe = true;
    }
    return settings;
}

enum class Fault { DiskFull, FolderReadOnly };

struct FaultCase {
    const char* name;
    Fault fault;
};

class FailedSaveTest : public testing::TestWithParam<FaultCase> {};

TEST_P(FailedSaveTest, SaysSoAndLeavesTheOldFileWhole)
{
    TempFolder folder;
    ConfigFile config(folder.WithSeparator());
    ASSERT_TRUE(config.SaveConfig(Written(folder.WithSeparator(), false)));
    const std::string before = folder.Read("config.ini");
    const Settings changed = Written(folder.WithSeparator(), true);

    {
        std::unique_ptr<FileSizeLimit> full;
        std::unique_ptr<ReadOnlyFolder> readOnly;
        if (GetParam().fault == Fault::DiskFull) {
            // Room for less than the new file, and more than nothing.
            full = std::make_unique<FileSizeLimit>(before.size() / 2);
        } else {
            readOnly = std::make_unique<ReadOnlyFolder>(folder.path().string());
            if (!readOnly->Made()) {
                GTEST_SKIP() << "this system lets us write into a folder we made read-only "
                                "(root, on a file system without the immutable flag)";
            }
        }
        EXPECT_FALSE(config.SaveConfig(changed));
        EXPECT_EQ(folder.Read("config.ini"), before);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1)
        << "something was left beside config.ini";

    EXPECT_TRUE(config.SaveConfig(changed));
    EXPECT_EQ(folder.Read("config.ini"), FormatConfig(changed));
}

INSTANTIATE_TEST_SUITE_P(Faults, FailedSaveTest,
                         testing::Values(FaultCase{"DiskFull", Fault::DiskFull},
                                         FaultCase{"FolderReadOnly", Fault::FolderReadOnly}),
                         [](const auto& tested) { return std::string(tested.param.name); });

}  // namespace
}  // namespace nortavi
