// SPDX-License-Identifier: MIT
#include "FileSystem.h"

#include "Platform.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

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
    EXPECT_EQ(WithTrailingSeparator("C:\\Program Files\\Nortavi", '\\'),
              "C:\\Program Files\\Nortavi\\");
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

TEST(CanCreateFilesInTest, TriesWithAFileItRemoves)
{
    TempFolder folder;
    EXPECT_TRUE(platform::CanCreateFilesIn(folder.WithSeparator()));
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
    EXPECT_FALSE(platform::CanCreateFilesIn(folder.File("no-such-folder") + "/"));
}

#ifndef _WIN32
// Sets an environment variable for one scope; nullopt unsets it.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, std::optional<std::string> value) : name_(name)
    {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        Set(value);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() { Set(old_); }

private:
    void Set(const std::optional<std::string>& value)
    {
        if (value) {
            ::setenv(name_, value->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }

    const char* name_;
    std::optional<std::string> old_;
};

TEST(UserSettingsFolderTest, FollowsTheXdgRules)
{
    struct Case {
        std::optional<std::string> configHome;
        std::optional<std::string> home;
        std::string expected;  // empty: the password database's home
    } const cases[] = {
        {"/srv/cfg", "/home/ann", "/srv/cfg/nortavi/"},
        {"/srv/cfg/", "/home/ann", "/srv/cfg/nortavi/"},
        {"relative/cfg", "/home/ann", "/home/ann/.config/nortavi/"},  // ignored, as the rules ask
        {"", "/home/ann", "/home/ann/.config/nortavi/"},
        {std::nullopt, "/home/ann/", "/home/ann/.config/nortavi/"},
        {std::nullopt, std::nullopt, ""},
        {std::nullopt, "relative", ""},
    };
    for (const Case& c : cases) {
        const ScopedEnvironment configHome("XDG_CONFIG_HOME", c.configHome);
        const ScopedEnvironment home("HOME", c.home);
        const std::string folder = platform::UserSettingsFolder();
        if (c.expected.empty()) {
            // From the password database: absolute, and ours.
            EXPECT_EQ(folder.front(), '/') << folder;
            EXPECT_TRUE(folder.ends_with("/.config/nortavi/")) << folder;
        } else {
            EXPECT_EQ(folder, c.expected);
        }
    }
}
#endif

}  // namespace
}  // namespace nortavi
