// SPDX-License-Identifier: MIT
// The analyser that judges captured alarm sounds: it must pass the right
// sweep and catch each way a sweep can come out wrong.
#include "SweepShape.h"
#include "ToneAnalyser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace nortavi::testing {
namespace {

constexpr int kRate = 44100;
constexpr double kAmplitude = 20000.0;
const SweepShape kAlarmSweep{100, 1000, 10, 20};

struct Tone {
    double hz;  // 0 for silence
    int ms;
};

// Consecutive tones; with continuousPhase each picks the wave up where the
// last one left it, otherwise each starts afresh at its peak (a click).
std::vector<std::int16_t> Synthesize(const std::vector<Tone>& tones, bool continuousPhase = true)
{
    std::vector<std::int16_t> samples;
    double phase = 0.0;
    for (const Tone& tone : tones) {
        if (!continuousPhase) {
            phase = 0.25;
        }
        for (int i = 0; i < kRate * tone.ms / 1000; ++i) {
            const double value = tone.hz > 0 ? std::sin(2 * std::numbers::pi * phase) : 0.0;
            samples.push_back(static_cast<std::int16_t>(std::lround(kAmplitude * value)));
            phase += tone.hz / kRate;
            phase -= std::floor(phase);
        }
    }
    return samples;
}

std::vector<Tone> Sweep(int firstHz, int lastHz, int stepHz, int ms)
{
    std::vector<Tone> tones;
    for (int hz = firstHz; stepHz > 0 ? hz <= lastHz : hz >= lastHz; hz += stepHz) {
        tones.push_back({static_cast<double>(hz), ms});
    }
    return tones;
}

ToneAnalysis Analyse(const std::vector<Tone>& tones, bool continuousPhase = true)
{
    return ToneAnalyser(kRate).Analyse(Synthesize(tones, continuousPhase));
}

TEST(ToneAnalyserTest, MeasuresPureTonesToWithinAFractionOfAHertz)
{
    for (const double hz : {100.0, 110.0, 440.0, 997.0, 1000.0, 3000.0}) {
        const auto analysis = ToneAnalyser(kRate).Analyse(Synthesize({{hz, 200}}));
        ASSERT_EQ(analysis.windowHz.size(), 10u) << hz;
        for (const double measured : analysis.windowHz) {
            EXPECT_NEAR(measured, hz, 0.2) << hz;
        }
    }
}

TEST(ToneAnalyserTest, CutsSilenceOffBothEnds)
{
    const auto analysis = Analyse({{0, 300}, {440, 500}, {0, 200}});
    EXPECT_NEAR(analysis.SoundSeconds(), 0.5, 0.001);
    EXPECT_NEAR(static_cast<double>(analysis.firstSample) / kRate, 0.3, 0.001);
    EXPECT_EQ(analysis.windowHz.size(), 25u);
}

TEST(ToneAnalyserTest, GroupsWindowsIntoRunsOfOnePitch)
{
    const auto runs = Analyse({{440, 300}, {880, 500}}).Runs(3.0);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_NEAR(runs[0].hz, 440, 0.5);
    EXPECT_EQ(runs[0].windows, 15u);
    EXPECT_NEAR(runs[1].hz, 880, 0.5);
    EXPECT_EQ(runs[1].windows, 25u);
}

TEST(ToneAnalyserTest, ShowsAPhaseJumpAsAStepSteeperThanAnyTone)
{
    const auto tones = Sweep(100, 1000, 10, 20);
    // The steepest a 1000 Hz sine gets between two samples.
    const double steepest = kAmplitude * 2 * std::numbers::pi * 1000 / kRate;
    EXPECT_LE(Analyse(tones, true).largestStep, steepest * 1.01);
    EXPECT_GT(Analyse(tones, false).largestStep, steepest * 3);
}

TEST(SweepShapeTest, PassesTheAlarmSweepWithSilenceAroundAndAFewGaps)
{
    auto tones = Sweep(100, 1000, 10, 20);
    tones.insert(tones.begin() + 60, {0, 40});
    tones.insert(tones.begin() + 40, {0, 20});
    tones.insert(tones.begin(), {0, 250});
    tones.push_back({0, 400});
    const auto analysis = Analyse(tones);

    EXPECT_TRUE(kAlarmSweep.FaultsIn(analysis).empty())
        << ::testing::PrintToString(kAlarmSweep.FaultsIn(analysis));
    EXPECT_EQ(analysis.SilentWindows(), 3u);
    // The sweep starts at a zero crossing, so its first loud sample is its
    // second: windows laid from there alone would straddle each gap's edge.
    EXPECT_LT(kAlarmSweep.LargestHzError(analysis), 0.2);
    EXPECT_LE(analysis.largestStep, kAmplitude * 2 * std::numbers::pi * 1000 / kRate * 1.01);
}

struct WrongSweep {
    std::string name;
    std::vector<Tone> tones;
    friend void PrintTo(const WrongSweep& sweep, std::ostream* out) { *out << sweep.name; }
};

class SweepShapeRejects : public ::testing::TestWithParam<WrongSweep> {};

TEST_P(SweepShapeRejects, AWrongSweep)
{
    const auto faults = kAlarmSweep.FaultsIn(Analyse(GetParam().tones));
    EXPECT_FALSE(faults.empty());
}

std::vector<WrongSweep> WrongSweeps()
{
    std::vector<WrongSweep> wrong;
    auto missing = Sweep(100, 1000, 10, 20);
    missing.erase(missing.begin() + 45);
    wrong.push_back({"OneToneMissing", missing});
    wrong.push_back({"Falling", Sweep(1000, 100, -10, 20)});
    wrong.push_back({"TonesTenPercentShort", Sweep(100, 1000, 10, 18)});
    wrong.push_back({"TonesTenPercentLong", Sweep(100, 1000, 10, 22)});
    auto offPitch = Sweep(100, 1000, 10, 20);
    offPitch[60].hz += 8;
    wrong.push_back({"OneToneOffPitch", offPitch});
    std::vector<Tone> gaps;
    for (const Tone& tone : Sweep(100, 1000, 10, 20)) {
        gaps.push_back(tone);
        gaps.push_back({0, 20});
    }
    wrong.push_back({"GapAfterEveryTone", gaps});
    auto longGap = Sweep(100, 1000, 10, 20);
    longGap.insert(longGap.begin() + 30, {0, 100});
    wrong.push_back({"GapTooLong", longGap});
    wrong.push_back({"HalfTheSweep", Sweep(100, 550, 10, 20)});
    wrong.push_back({"StepsOfTwenty", Sweep(100, 1900, 20, 20)});
    return wrong;
}

INSTANTIATE_TEST_SUITE_P(Sweeps, SweepShapeRejects, ::testing::ValuesIn(WrongSweeps()),
                         [](const auto& test) { return test.param.name; });

}  // namespace
}  // namespace nortavi::testing
