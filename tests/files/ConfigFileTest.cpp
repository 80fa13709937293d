// SPDX-License-Identifier: MIT
#include "ConfigFile.h"
#include "FileSystem.h"

#include "PrintSettings.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <variant>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace nortavi {
namespace {

Settings Sample()
{
    Settings s = DefaultSettings("/opt/nortavi/");
    s.statusPath = "D:\\Sensor\\status.txt";
    return s;
}

TEST(ConfigFileTest, WritesSixLinesWithCrLfByteForByte)
{
    EXPECT_EQ(FormatConfig(Sample()),
              "statusPath,D:\\Sensor\\status.txt\r\n"
              "timeToSafe,15\r\n"
              "timeToUnsafe,5\r\n"
              "cloudyAsClear,False\r\n"
              "alarmOnSafe,False\r\n"
              "alarmOnUnsafe,True\r\n");
    Settings other = Sample();
    other.statusPath.clear();
    other.timeToSafe = -32768;
    other.timeToUnsafe = 7;
    other.cloudyAsClear = other.alarmOnSafe = true;
    other.alarmOnUnsafe = false;
    EXPECT_EQ(FormatConfig(other),
              "statusPath,\r\ntimeToSafe,-32768\r\ntimeToUnsafe,7\r\ncloudyAsClear,True\r\n"
              "alarmOnSafe,True\r\nalarmOnUnsafe,False\r\n");
}

class RoundTripTest : public testing::TestWithParam<Settings> {};

TEST_P(RoundTripTest, SavedSettingsLoadBackUnchanged)
{
    TempFolder folder;
    ConfigFile config(folder.WithSeparator());
    ASSERT_TRUE(config.SaveConfig(GetParam()));
    Settings loaded = DefaultSettings("elsewhere");
    loaded.timeToSafe = 1;
    config.LoadConfig(loaded);
    EXPECT_EQ(loaded, GetParam());
}

Settings With(std::string path, std::int16_t toSafe, std::int16_t toUnsafe, bool flags)
{
    Settings s;
    s.statusPath = std::move(path);
    s.timeToSafe = toSafe;
    s.timeToUnsafe = toUnsafe;
    s.cloudyAsClear = s.alarmOnSafe = flags;
    s.alarmOnUnsafe = !flags;
    return s;
}

INSTANTIATE_TEST_SUITE_P(Values, RoundTripTest,
                         testing::Values(With("/data/status.txt", -32768, 32767, true),
                                         With("C:\\Sensor\\status.txt", 32767, -32768, false),
                                         With("", 0, 0, true), With("/x/y", -5, 7, false),
                                         // paths the plain form cannot hold are written in quotes
                                         With("C:\\Sensor, old\\status.txt", 1, 2, true),
                                         With("  leading blanks", 1, 2, false),
                                         With("trailing blank ", 1, 2, true),
                                         With("a\"quote inside", 1, 2, false),
                                         // read from a file edited by hand, quoted across a line end
                                         With("two\r\nlines", 1, 2, true),
                                         With("unicode \xC3\xA9t\xC3\xA9", 1, 2, true)));

struct ParseCase {
    const char* name;
    std::string text;
    Settings expected;
};

Settings Expect(void (*change)(Settings&))
{
    Settings s = DefaultSettings("/opt/nortavi/");
    change(s);
    return s;
}

class ParseConfigTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseConfigTest, ReadsValuesByPositionAndKeepsWhatItCannotRead)
{
    Settings settings = DefaultSettings("/opt/nortavi/");
    ParseConfig(GetParam().text, settings);
    EXPECT_EQ(settings, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ParseConfigTest,
    testing::Values(
        ParseCase{"SwappedThresholdLinesSwapValues",
                  "statusPath,/s\r\ntimeToUnsafe,5\r\ntimeToSafe,15\r\ncloudyAsClear,False\r\n"
                  "alarmOnSafe,False\r\nalarmOnUnsafe,True\r\n",
                  Expect([](Settings& s) {
                      s.statusPath = "/s";
                      s.timeToSafe = 5;
                      s.timeToUnsafe = 15;
                  })},
        ParseCase{"KeysAreNeverRead",
                  "sttusPath,/s\r\nx,20\r\ny,3\r\nz,True\r\nw,True\r\nv,False\r\n",
                  Expect([](Settings& s) {
                      s.statusPath = "/s";
                      s.timeToSafe = 20;
                      s.timeToUnsafe = 3;
                      s.cloudyAsClear = s.alarmOnSafe = true;
                      s.alarmOnUnsafe = false;
                  })},
        ParseCase{"OnlyExactTrueIsTrue",
                  "statusPath,/s\r\ntimeToSafe,15\r\ntimeToUnsafe,5\r\ncloudyAsClear,true\r\n"
                  "alarmOnSafe,   True\r\nalarmOnUnsafe,1\r\n",
                  Expect([](Settings& s) {
                      s.statusPath = "/s";
                      s.alarmOnSafe = true;
                      s.alarmOnUnsafe = false;
                  })},
        ParseCase{"ExtraLinesIgnored",
                  "statusPath,/s\r\ntimeToSafe,1\r\ntimeToUnsafe,2\r\ncloudyAsClear,False\r\n"
                  "alarmOnSafe,False\r\nalarmOnUnsafe,True\r\nmore,stuff\r\n",
                  Expect([](Settings& s) {
                      s.statusPath = "/s";
                      s.timeToSafe = 1;
                      s.timeToUnsafe = 2;
                  })},
        ParseCase{"ShortFileKeepsTheRest", "statusPath,/s\r\ntimeToSafe,30\r\ntimeToUnsa",
                  Expect([](Settings& s) {
                      s.statusPath = "/s";
                      s.timeToSafe = 30;
                  })},
        ParseCase{"BadMinutesKeepTheirValueAndTheRestStillReads",
                  "statusPath,/s\r\ntimeToSafe,1.5\r\ntimeToUnsafe,40000\r\ncloudyAsClear,True\r\n"
                  "alarmOnSafe,False\r\nalarmOnUnsafe,True\r\n",
                  Expect([](Settings& s) {
                      s.statusPath = "/s";
                      s.cloudyAsClear = true;
                  })},
        ParseCase{"EmptyStatusPath", "statusPath,\r\ntimeToSafe,15\r\n",
                  Expect([](Settings& s) { s.statusPath = ""; })},
        ParseCase{"LfOnlyLineEnds", "statusPath,/s\ntimeToSafe,9\n", Expect([](Settings& s) {
                      s.statusPath = "/s";
                      s.timeToSafe = 9;
                  })},
        ParseCase{"EmptyFileKeepsEverything", "", Expect([](Settings&) {})}),
    [](const auto& testCase) { return testCase.param.name; });

TEST(ConfigFileTest, TheNetworkSettingsFollowTheSixLinesOnceSet)
{
    const std::string sixLines = FormatConfig(Sample());
    Settings published = Sample();
    published.alpaca = {true, 8080, true, 32228, "1b4e28ba-2fa1-11d2-883f-0016d3cca427"};
    const std::string eleven = FormatConfig(published);
    EXPECT_EQ(eleven, sixLines + "alpacaServer,True\r\nalpacaPort,8080\r\nalpacaAllowRemote,True\r\n"
                                 "alpacaDiscoveryPort,32228\r\n"
                                 "alpacaUniqueId,1b4e28ba-2fa1-11d2-883f-0016d3cca427\r\n");
    Settings read = Sample();
    ParseConfig(eleven, read);
    EXPECT_EQ(read, published);

    // A six-line file, or values that cannot be read, keep what is there.
    read = published;
    ParseConfig(sixLines, read);
    EXPECT_EQ(read.alpaca, published.alpaca);
    ParseConfig(sixLines + "k,true\r\nk,0\r\nk,yes\r\nk,65536\r\nk,not an id!\r\n", read);
    EXPECT_EQ(read.alpaca, published.alpaca);
    ParseConfig(sixLines + "k,False\r\nk, +65535 \r\n", read);
    EXPECT_FALSE(read.alpaca.server);
    EXPECT_EQ(read.alpaca.port, 65535);
    EXPECT_EQ(read.alpaca.uniqueId, published.alpaca.uniqueId);
}

TEST(ParseMinutesTest, AcceptsWholeSixteenBitNumbersOnly)
{
    EXPECT_EQ(ParseMinutes("007"), 7);
    EXPECT_EQ(ParseMinutes(" +12 "), 12);
    EXPECT_EQ(ParseMinutes("-32768"), -32768);
    EXPECT_EQ(ParseMinutes("32767"), 32767);
    for (const char* bad :
         {"", " ", "32768", "-32769", "1.5", "1e3", "abc", "5x", "+-5", "--5", "+"}) {
        EXPECT_FALSE(ParseMinutes(bad)) << bad;
    }
}

TEST(StatusPathRoundTripsTest, RefusesOnlyWhatNoFormCanHold)
{
    EXPECT_TRUE(StatusPathRoundTrips(""));
    EXPECT_TRUE(StatusPathRoundTrips("C:\\a, b\\status.txt"));
    EXPECT_TRUE(StatusPathRoundTrips(" x"));
    EXPECT_FALSE(StatusPathRoundTrips("C:\\a\"b,c"));
    EXPECT_FALSE(StatusPathRoundTrips("\"x\""));
    EXPECT_FALSE(StatusPathRoundTrips("two\r\nlines"));
}

TEST(ConfigFileTest, MissingFileKeepsTheDefaults)
{
    TempFolder folder;
    Settings settings = DefaultSettings(folder.WithSeparator());
    ConfigFile(folder.WithSeparator()).LoadConfig(settings);
    EXPECT_EQ(settings, DefaultSettings(folder.WithSeparator()));
}

TEST(ConfigFileTest, FailedSaveLeavesTheOldFileAndNoLitter)
{
    TempFolder folder;
    ConfigFile config(folder.WithSeparator());
    ASSERT_TRUE(config.SaveConfig(Sample()));
    const std::string before = folder.Read("config.ini");

    // A folder where config.ini should be: the replace cannot happen.
    TempFolder blocked;
    std::filesystem::create_directory(blocked.path() / "config.ini");
    EXPECT_FALSE(ConfigFile(blocked.WithSeparator()).SaveConfig(Sample()));
    EXPECT_TRUE(std::filesystem::is_directory(blocked.path() / "config.ini"));

    // A folder that cannot be made: its parent is a file.
    EXPECT_FALSE(ConfigFile(folder.File("config.ini") + "/nortavi/").SaveConfig(Sample()));

    EXPECT_EQ(folder.Read("config.ini"), before);
    const auto entries = [](const std::filesystem::path& p) {
        return std::distance(std::filesystem::directory_iterator(p), {});
    };
    EXPECT_EQ(entries(folder.path()), 1);
    EXPECT_EQ(entries(blocked.path()), 1);
}

#ifndef _WIN32
TEST(ConfigFileTest, ASaveKeepsALinkedConfigIniALink)
{
    // As a dotfile manager keeps it: the file lives elsewhere.
    TempFolder dotfiles;
    TempFolder folder;
    dotfiles.Write("config.ini", "old");
    std::filesystem::create_symlink(dotfiles.path() / "config.ini", folder.path() / "config.ini");
    ASSERT_TRUE(ConfigFile(folder.WithSeparator()).SaveConfig(Sample()));
    EXPECT_TRUE(std::filesystem::is_symlink(folder.path() / "config.ini"));
    EXPECT_EQ(dotfiles.Read("config.ini"), FormatConfig(Sample()));
}
#endif

#ifndef _WIN32
TEST(ConfigFileTest, AConfigIniThatCannotBeReadIsNotOverwrittenWithDefaults)
{
    // A config.ini that is there but cannot be read: a FIFO plays it, as a
    // file the user may not read would (the tests may run as root, whom
    // permissions do not stop).
    TempFolder folder;
    const auto path = folder.path() / "config.ini";
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    ConfigFile config(folder.WithSeparator());
    Settings settings = DefaultSettings(folder.WithSeparator());
    config.LoadConfig(settings);
    ASSERT_EQ(settings, DefaultSettings(folder.WithSeparator()));

    // Closing the window saves what it started with: nothing the user
    // chose, so the file is left alone and nothing is reported.
    EXPECT_TRUE(config.SaveConfig(settings));
    // Settings changed in the dialog are refused: the rest are defaults
    // the user never chose.
    settings.timeToSafe = 3;
    EXPECT_FALSE(config.SaveConfig(settings));
    EXPECT_TRUE(std::filesystem::is_fifo(path));
}
#endif

TEST(ConfigFileTest, FirstSaveMakesTheUsersFolder)
{
    // A new user: not even ~/.config is there yet.
    TempFolder home;
    const std::string folder = home.File(".config/nortavi/");
    ConfigFile config(folder);
    Settings loaded = DefaultSettings("/opt/nortavi/");
    config.LoadConfig(loaded);
    EXPECT_EQ(loaded, DefaultSettings("/opt/nortavi/"));

    ASSERT_TRUE(config.SaveConfig(Sample()));
    EXPECT_EQ(home.Read(".config/nortavi/config.ini"), FormatConfig(Sample()));
#ifndef _WIN32
    // Made for the user alone.
    const auto permissions = std::filesystem::status(home.path() / ".config").permissions();
    EXPECT_EQ(permissions & std::filesystem::perms::all, std::filesystem::perms::owner_all);
#endif
}

TEST(ProgramFoldersTest, AnInstalledProgramSavesOnlyInTheUsersFolder)
{
    TempFolder program;
    TempFolder user;
    const std::string p = program.WithSeparator();
    const std::string u = user.WithSeparator();
    struct Case {
        const char* name;
        bool programFolderTakesFiles;
        bool configBesideProgram;
        bool configInUserFolder;
        std::string load;
        std::string save;
    } const cases[] = {
        {"PortableCopy", true, false, true, p, p},
        {"PortableCopyWithItsSettings", true, true, true, p, p},
        {"InstalledFirstRun", false, false, false, u, u},
        {"InstalledLaterRuns", false, true, true, u, u},
        // config.ini left beside a read-only program: the starting point,
        // but every save goes to the user's folder, where it can succeed.
        {"InstalledBesideAnOldConfigIni", false, true, false, p, u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(program.path() / "config.ini");
        std::filesystem::remove(user.path() / "config.ini");
        if (c.configBesideProgram) {
            program.Write("config.ini", "statusPath,x\r\n");
        }
        if (c.configInUserFolder) {
            user.Write("config.ini", "statusPath,y\r\n");
        }
        const ProgramFolders folders = ChooseProgramFolders(p, u, c.programFolderTakesFiles);
        EXPECT_EQ(folders.load, c.load);
        EXPECT_EQ(folders.save, c.save);
        EXPECT_EQ(folders.program, p);
        EXPECT_EQ(folders.user, u);
    }
    // Without a user folder, everything stays beside the program.
    EXPECT_EQ(ChooseProgramFolders(p, "", false).save, p);
}

TEST(ConfigFileTest, ReadsFromOneFolderAndSavesToAnother)
{
    TempFolder program;
    TempFolder user;
    program.Write("config.ini", FormatConfig(Sample()));
    ConfigFile config(program.WithSeparator(), user.WithSeparator());
    Settings loaded;
    config.LoadConfig(loaded);
    EXPECT_EQ(loaded, Sample());
    EXPECT_EQ(config.Path(), user.WithSeparator() + "config.ini");
    loaded.timeToSafe = 3;
    ASSERT_TRUE(config.SaveConfig(loaded));
    EXPECT_EQ(program.Read("config.ini"), FormatConfig(Sample()));
    EXPECT_EQ(user.Read("config.ini"), FormatConfig(loaded));
}

const char* const kSixLines =
    "statusPath,/s\r\ntimeToSafe,15\r\ntimeToUnsafe,5\r\ncloudyAsClear,False\r\n"
    "alarmOnSafe,False\r\nalarmOnUnsafe,True\r\n";
const char* const kNetworkLines =
    "alpacaServer,True\r\nalpacaPort,8080\r\nalpacaAllowRemote,False\r\n"
    "alpacaDiscoveryPort,32227\r\nalpacaUniqueId,1b4e28ba-2fa1-41d2-883f-0016d3cca427\r\n";

struct StrictCase {
    const char* name;
    std::string text;
    ConfigProblem problem;  // line 0: the text reads
};

void PrintTo(const StrictCase& c, std::ostream* out)
{
    *out << c.name;
}

class ParseConfigStrictTest : public testing::TestWithParam<StrictCase> {};

TEST_P(ParseConfigStrictTest, NamesTheFirstLineThatDoesNotReadAndWhy)
{
    const auto read = ParseConfigStrict(GetParam().text);
    if (GetParam().problem.line == 0) {
        ASSERT_TRUE(std::holds_alternative<Settings>(read)) << std::get<ConfigProblem>(read).why;
        // What the lenient reading takes from the same text.
        Settings lenient = DefaultSettings("/nowhere/");
        ParseConfig(GetParam().text, lenient);
        EXPECT_EQ(std::get<Settings>(read), lenient);
    } else {
        ASSERT_TRUE(std::holds_alternative<ConfigProblem>(read));
        EXPECT_EQ(std::get<ConfigProblem>(read), GetParam().problem);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ParseConfigStrictTest,
    testing::Values(
        StrictCase{"SixLines", kSixLines, {}},
        StrictCase{"ElevenLinesLfBomAndBlankLinesAtTheEnd",
                   "\xEF\xBB\xBFstatusPath,\"C:\\a, b\\s.txt\" \ntimeToSafe, +7 \ntimeToUnsafe,-2\n"
                   "cloudyAsClear,True\nalarmOnSafe,True\nalarmOnUnsafe,False\n" +
                       std::string(kNetworkLines) + "\n \r\n",
                   {}},
        StrictCase{"Empty", "", {1, "statusPath is missing"}},
        StrictCase{
            "BadMinutes",
            "statusPath,/s\r\ntimeToSafe,1.5\r\n",
            {2, "timeToSafe must be a whole number of minutes (-32768 to 32767), not '1.5'"}},
        StrictCase{"LinesSwapped",
                   "statusPath,/s\r\ntimeToUnsafe,5\r\ntimeToSafe,15\r\n",
                   {2, "timeToSafe expected, not 'timeToUnsafe,5'"}},
        StrictCase{"EmptyLineBetween",
                   "statusPath,/s\r\n\r\ntimeToSafe,15\r\n",
                   {2, "timeToSafe expected, not an empty line"}},
        StrictCase{"TrailingComma",
                   "statusPath,/s\r\ntimeToSafe,15,\r\n",
                   {2, "a second comma (a value that holds one goes in double quotes)"}},
        StrictCase{"TextAfterTheQuotes",
                   "statusPath,\"/a,b\",/c\r\n",
                   {1, "text after the closing double quote: ',/c'"}},
        StrictCase{"FlagOfAnotherSpelling",
                   "statusPath,/s\r\ntimeToSafe,15\r\ntimeToUnsafe,5\r\ncloudyAsClear,true\r\n",
                   {4, "cloudyAsClear must be True or False, not 'true'"}},
        StrictCase{"SixLinesCutShort",
                   "statusPath,/s\r\ntimeToSafe,15\r\ntimeToUnsafe,5\r\n",
                   {4, "cloudyAsClear is missing"}},
        StrictCase{"NetworkLinesCutShort",
                   std::string(kSixLines) + "alpacaServer,True\r\nalpacaPort,8080\r\n",
                   {9, "alpacaAllowRemote is missing (the network lines come as five)"}},
        StrictCase{"PortOutOfRange",
                   std::string(kSixLines) + "alpacaServer,True\r\nalpacaPort,65536\r\n",
                   {8, "alpacaPort must be a port number from 1 to 65535, not '65536'"}},
        StrictCase{
            "BadUniqueId",
            std::string(kSixLines) +
                "alpacaServer,True\r\nalpacaPort,1\r\nalpacaAllowRemote,False\r\n"
                "alpacaDiscoveryPort,2\r\nalpacaUniqueId,not an id\r\n",
            {11, "alpacaUniqueId must be 1 to 64 letters, digits and hyphens, not 'not an id'"}},
        StrictCase{"ALineTooMany",
                   std::string(kSixLines) + kNetworkLines + "more,1\r\n",
                   {12, "a line after alpacaUniqueId, the last setting"}}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(ConfigFileTest, AReloadReadsWhereANewStartWouldAndSaysWhyNot)
{
    TempFolder program;
    TempFolder user;
    program.Write("settings.ini", kSixLines);
    ConfigFile config(program.WithSeparator(), user.WithSeparator(), "settings.ini");
    auto read = config.ReloadConfig();
    ASSERT_TRUE(std::holds_alternative<Settings>(read));
    Settings settings = std::get<Settings>(read);
    EXPECT_EQ(settings.statusPath, "/s");
    // Once saved, the user's copy is the one a new start reads.
    settings.timeToSafe = 3;
    ASSERT_TRUE(config.SaveConfig(settings));
    EXPECT_EQ(std::get<Settings>(config.ReloadConfig()), settings);

    std::filesystem::remove(user.path() / "settings.ini");
    std::filesystem::remove(program.path() / "settings.ini");
    EXPECT_EQ(std::get<ConfigProblem>(config.ReloadConfig()),
              (ConfigProblem{0, "No such file or directory"}));
}

#ifndef _WIN32
TEST(ConfigFileTest, AConfigIniUnreadableAtStartIsWrittenOnceAReloadHasReadIt)
{
    TempFolder folder;
    const auto path = folder.path() / "config.ini";
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    ConfigFile config(folder.WithSeparator());
    Settings settings = DefaultSettings(folder.WithSeparator());
    config.LoadConfig(settings);
    EXPECT_EQ(std::get<ConfigProblem>(config.ReloadConfig()).line, 0);

    std::filesystem::remove(path);
    folder.Write("config.ini", kSixLines);
    settings = std::get<Settings>(config.ReloadConfig());
    settings.alpaca.uniqueId = "1b4e28ba-2fa1-41d2-883f-0016d3cca427";
    EXPECT_TRUE(config.SaveConfig(settings));
    EXPECT_EQ(folder.Read("config.ini"), FormatConfig(settings));
}
#endif

}  // namespace
}  // namespace nortavi
