// SPDX-License-Identifier: MIT
#include "FileSystem.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace nortavi {
namespace {

TEST(FileExistsTest, TrueOnlyForEntriesThatAreNotFolders)
{
    TempFolder folder;
    const auto file = folder.Write("status.txt", "x");
    const auto readOnly = folder.Write("read-only.txt", "x");
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read);
    std::filesystem::create_directory(folder.path() / "sub");

    EXPECT_TRUE(FileExists(file));
    EXPECT_TRUE(FileExists(readOnly));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(folder.File("missing.txt")));
    EXPECT_FALSE(FileExists(folder.File("sub")));
    EXPECT_FALSE(FileExists(folder.WithSeparator()));
    EXPECT_FALSE(FileExists(folder.File("missing-folder") + "/status.txt"));
    EXPECT_FALSE(FileExists(std::string("bad\0name", 8)));
}

TEST(WithTrailingSeparatorTest, AddsExactlyOneSeparator)
{
    EXPECT_EQ(WithTrailingSeparator("C:\\Program Files\\Nortavi", '\\'), "C:\\Program Files\\Nortavi\\");
    EXPECT_EQ(WithTrailingSeparator("D:\\", '\\'), "D:\\");
    EXPECT_EQ(WithTrailingSeparator("/opt/nortavi", '/'), "/opt/nortavi/");
    EXPECT_EQ(WithTrailingSeparator("/", '/'), "/");
}

TEST(GetEXEPathTest, NamesTheFolderOfTheRunningProgram)
{
    const std::string folder = GetEXEPath();
    ASSERT_GE(folder.size(), 2U);
    const char last = folder.back();
    EXPECT_TRUE(last == '/' || last == '\\');
    EXPECT_NE(folder[folder.size() - 2], last);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_FALSE(FileExists(folder));
}

}  // namespace
}  // namespace nortavi
