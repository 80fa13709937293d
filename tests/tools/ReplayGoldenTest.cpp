// SPDX-License-Identifier: MIT
// Whole runs of the monitoring core on real files: each scenario's output
// must match its .expected file line for line.
#include "ScenarioRunner.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace nortavi {
namespace {

const std::filesystem::path kScenarios = NORTAVI_SCENARIO_DIR;

std::string ReadText(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string RunScenario(const std::filesystem::path& path)
{
    TempFolder folder;
    std::ostringstream out;
    ScenarioRunner runner(folder.path(), out);
    std::istringstream lines(ReadText(path));
    std::string line;
    while (std::getline(lines, line)) {
        runner.Run(line);
    }
    return out.str();
}

std::vector<std::string> GoldenScenarios()
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(kScenarios)) {
        auto expected = entry.path();
        if (entry.path().extension() == ".scenario" &&
            std::filesystem::exists(expected.replace_extension(".expected"))) {
            names.push_back(entry.path().stem().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

class ReplayGoldenTest : public testing::TestWithParam<std::string> {};

TEST_P(ReplayGoldenTest, MatchesItsExpectedOutput)
{
    const auto base = kScenarios / GetParam();
    EXPECT_EQ(RunScenario(base.string() + ".scenario"), ReadText(base.string() + ".expected"));
}

INSTANTIATE_TEST_SUITE_P(Scenarios, ReplayGoldenTest, testing::ValuesIn(GoldenScenarios()),
                         [](const auto& testCase) {
                             std::string name = testCase.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST(ScenarioRunnerTest, RefusesLinesItCannotRun)
{
    TempFolder folder;
    std::ostringstream out;
    ScenarioRunner runner(folder.path(), out);
    for (const char* bad : {"poll", "tick", "click", "fly", "now 2026-02-30 10:00:00",
                            "now tomorrow", "advance 5s", "region d MMM yyyy",
                            "region d.M.yyyy | H.mm | AM", "region d.M.yyyy | dd.MM",
                            "statusbytes \\q", "statusbytes \\x4", "set timeToSafe=1.5",
                            "set cloudyAsClear=yes", "set colour=red", "start now"}) {
        EXPECT_THROW(runner.Run(bad), ScenarioError) << bad;
    }
    EXPECT_NO_THROW(runner.Run("# a comment"));
    EXPECT_NO_THROW(runner.Run("   "));
    EXPECT_NO_THROW(runner.Run("start\r"));
    EXPECT_THROW(runner.Run("start"), ScenarioError);
    for (const char* bad : {"chart", "stop", "run 1h", "utcoffset +1:00", "utcoffset +19:00",
                            "sensor CLEAR,1"}) {
        EXPECT_THROW(ScenarioRunner(folder.path(), out).Run(bad), ScenarioError) << bad;
    }
    for (const char* bad : {"run 7s", "run 0m", "run 3h30", "run h"}) {
        EXPECT_THROW(runner.Run(bad), ScenarioError) << bad;
    }
}

TEST(ScenarioRunnerTest, WritesStatusBytesExactly)
{
    TempFolder folder;
    std::ostringstream out;
    ScenarioRunner runner(folder.path(), out);
    runner.Run("statusbytes a\\tb\\r\\n\\\"\\\\\\x00\\xff");
    EXPECT_EQ(folder.Read("status.txt"), std::string("a\tb\r\n\"\\\0\xff", 9));
    runner.Run("status {dir}x");
    EXPECT_EQ(folder.Read("status.txt"), folder.WithSeparator() + "x\r\n");
}

}  // namespace
}  // namespace nortavi
