// SPDX-License-Identifier: MIT
// The SDL backend played for real, through SDL's disk driver: what would
// have reached the speakers lands in a file, which the tests measure.
#include "Eventually.h"
#include "AlarmLatches.h"
#include "AudioCapture.h"
#include "CoreFakes.h"
#include "SoundSdl.h"
#include "SweepShape.h"
#include "TempFolder.h"
#include "ToneAnalyser.h"
#include "ToneWaveFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <numbers>
#include <thread>

namespace nortavi::platform {
namespace {

using namespace std::chrono_literals;
using testing::AudioCapture;
using testing::Eventually;
using testing::kPatience;
using testing::SweepShape;
using testing::ToneAnalyser;
using testing::ToneAnalysis;
using testing::WaveEncoding;
using testing::WaveFormat;
using testing::WriteToneWave;

constexpr int kRate = 44100;

std::size_t ThreadCount()
{
    const auto tasks = std::filesystem::directory_iterator("/proc/self/task");
    return static_cast<std::size_t>(std::distance(begin(tasks), end(tasks)));
}

class SdlSoundTest : public ::testing::Test {
protected:
    SdlSoundTest() : capture_(folder_.File("capture.raw"), kRate) {}

    void SetUp() override { UseDiskDriver(); }

    void UseDiskDriver()
    {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", capture_.Path().c_str(), 1);
        unsetenv("SDL_DISKAUDIODELAY");
    }

    std::string ToneWave(const std::string& name, double hz, int ms, WaveFormat format = {})
    {
        const auto path = folder_.File(name);
        WriteToneWave(path, format, hz, ms);
        return path;
    }

    void WaitUntilClosed()
    {
        ASSERT_TRUE(Eventually([this] { return !sound_.IsDeviceOpen(); }))
            << "the device stayed open after the sound";
    }

    ToneAnalysis AnalyseCapture() const
    {
        return ToneAnalyser(kRate).Analyse(capture_.ReadSamples());
    }

    // The sweep as the core plays it, tone by tone.
    void PlaySweep()
    {
        for (int hz = kSweepFirstHz; hz <= kSweepLastHz; hz += kSweepStepHz) {
            sound_.PlayTone(hz, kSweepToneMs);
        }
    }

    // With the disk driver back, a later play opens the device again and the
    // 0.3 s wave is heard whole.
    void ExpectTheDeviceUsedAgain(const std::string& wave)
    {
        UseDiskDriver();
        ASSERT_TRUE(Eventually([&] {
            sound_.PlayWaveAsync(wave);
            return sound_.IsDeviceOpen();
        }));
        WaitUntilClosed();
        EXPECT_NEAR(AnalyseCapture().SoundSeconds(), 0.3, 0.01);
    }

    std::size_t Samples(std::chrono::milliseconds length) const
    {
        return static_cast<std::size_t>(kRate * length.count() / 1000);
    }

    TempFolder folder_;
    AudioCapture capture_;
    SdlSound sound_{SdlDeviceRequest{kRate, 1, false}};
};

TEST_F(SdlSoundTest, SweepsAsTheCoreAsksGaplessAndOnlyReturnsOnceItIsOut)
{
    FakeFiles noWave;
    NoDisplay display;
    AlarmSound alarm{noWave, sound_, folder_.WithSeparator()};
    MonitorState state;
    state.commsAlarmActive = true;

    Annunciate(state, display, alarm);
    const std::size_t capturedOnReturn = capture_.SampleCount();
    WaitUntilClosed();

    const SweepShape sweep{kSweepFirstHz, kSweepLastHz, kSweepStepHz, kSweepToneMs};
    const ToneAnalysis analysis = AnalyseCapture();
    const auto faults = sweep.FaultsIn(analysis);
    EXPECT_TRUE(faults.empty()) << ::testing::PrintToString(faults);
    std::cout << "sweep: " << analysis.SoundSeconds() << " s, largest pitch error "
              << sweep.LargestHzError(analysis) << " Hz, " << analysis.SilentWindows()
              << " gaps of 20 ms\n";

    // Phase runs on from tone to tone: no step steeper than the top tone's.
    const double steepest = 32767 * 2 * std::numbers::pi * kSweepLastHz / kRate;
    EXPECT_LT(analysis.largestStep, steepest);

    // The last call returned with no more than the 60 ms kept ahead left to
    // play; the file may lag by the driver's write buffer and one device
    // buffer more.
    const std::size_t soundEnd = analysis.firstSample + analysis.soundSamples;
    EXPECT_GE(capturedOnReturn + AudioCapture::kWriteLagSamples + Samples(80ms), soundEnd);
}

TEST_F(SdlSoundTest, PlaysAWaveInTheBackgroundAndThenLetsTheDeviceGo)
{
    const auto wave = ToneWave("alarm.wav", 440, 500);
    const std::size_t threadsBefore = ThreadCount();

    sound_.PlayWaveAsync(wave);
    EXPECT_TRUE(sound_.IsDeviceOpen());
    EXPECT_LT(capture_.SampleCount(), Samples(500ms)) << "returned only after playing";
    EXPECT_GT(ThreadCount(), threadsBefore);

    WaitUntilClosed();
    EXPECT_TRUE(Eventually([&] { return ThreadCount() == threadsBefore; }))
        << ThreadCount() << " threads left, " << threadsBefore << " before";

    const ToneAnalysis analysis = AnalyseCapture();
    EXPECT_NEAR(analysis.SoundSeconds(), 0.5, 0.01);
    ASSERT_FALSE(analysis.windowHz.empty());
    for (const double hz : analysis.windowHz) {
        EXPECT_NEAR(hz, 440, 2);
    }
}

TEST_F(SdlSoundTest, ASecondWaveCutsTheFirstShort)
{
    const auto first = ToneWave("first.wav", 440, 1000);
    const auto second = ToneWave("second.wav", 880, 500);

    sound_.PlayWaveAsync(first);
    ASSERT_TRUE(capture_.WaitForSamples(Samples(200ms), kPatience));
    sound_.PlayWaveAsync(second);
    WaitUntilClosed();

    const ToneAnalysis analysis = AnalyseCapture();
    std::vector<testing::ToneRun> runs;
    for (const auto& run : analysis.Runs(3.0)) {
        if (run.windows > 1) {  // leaves out the window where one meets the other
            runs.push_back(run);
        }
    }
    ASSERT_EQ(runs.size(), 2u) << "expected 440 Hz then 880 Hz";
    EXPECT_NEAR(runs[0].hz, 440, 2);
    EXPECT_NEAR(runs[1].hz, 880, 2);
    EXPECT_LT(runs[0].windows * 20, 700u) << "the first wave was not cut short";
    EXPECT_NEAR(static_cast<double>(runs[1].windows * 20), 500, 40);
    EXPECT_LT(analysis.SoundSeconds(), 1.2);
}

TEST_F(SdlSoundTest, AToneCutsAWaveShort)
{
    sound_.PlayWaveAsync(ToneWave("long.wav", 440, 3000));
    ASSERT_TRUE(capture_.WaitForSamples(Samples(200ms), kPatience));
    sound_.PlayTone(1000, 200);
    WaitUntilClosed();

    const auto runs = AnalyseCapture().Runs(3.0);
    ASSERT_GE(runs.size(), 2u);
    EXPECT_NEAR(runs.front().hz, 440, 2);
    EXPECT_NEAR(runs.back().hz, 1000, 2);
    EXPECT_LT(AnalyseCapture().SoundSeconds(), 1.5) << "the tone waited for the wave";
}

struct ForeignFormat {
    std::string name;
    WaveFormat format;
    friend void PrintTo(const ForeignFormat& format, std::ostream* out) { *out << format.name; }
};

class SdlSoundConverts : public SdlSoundTest,
                         public ::testing::WithParamInterface<ForeignFormat> {};

TEST_P(SdlSoundConverts, AWaveInAnotherFormatKeepingPitchAndLength)
{
    sound_.PlayWaveAsync(ToneWave("alarm.wav", 440, 500, GetParam().format));
    WaitUntilClosed();

    const ToneAnalysis analysis = AnalyseCapture();
    EXPECT_NEAR(analysis.SoundSeconds(), 0.5, 0.01);
    ASSERT_GE(analysis.windowHz.size(), 20u);
    for (const double hz : analysis.windowHz) {
        EXPECT_NEAR(hz, 440, 3);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Waves, SdlSoundConverts,
    ::testing::Values(ForeignFormat{"Stereo22050", {22050, 2, WaveEncoding::Signed16}},
                      ForeignFormat{"EightBit11025", {11025, 1, WaveEncoding::Unsigned8}},
                      ForeignFormat{"FloatStereo48000", {48000, 2, WaveEncoding::Float32}}),
    [](const auto& test) { return test.param.name; });

TEST_F(SdlSoundTest, WithoutADeviceReturnsAndUsesOneThatAppearsLater)
{
    const auto wave = ToneWave("alarm.wav", 440, 300);
    setenv("SDL_AUDIODRIVER", "nonexistent", 1);

    sound_.PlayWaveAsync(wave);
    EXPECT_FALSE(sound_.IsDeviceOpen());
    PlaySweep();
    EXPECT_FALSE(sound_.IsDeviceOpen());
    EXPECT_EQ(capture_.SampleCount(), 0u);

    ExpectTheDeviceUsedAgain(wave);
}

TEST_F(SdlSoundTest, GivesUpOnADeviceThatStopsAndTriesAgainLater)
{
    // The disk driver then sleeps a second between buffers: a device that
    // no longer asks for samples in time.
    setenv("SDL_DISKAUDIODELAY", "1000", 1);
    const auto wave = ToneWave("alarm.wav", 440, 300);
    const auto start = std::chrono::steady_clock::now();
    PlaySweep();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::cout << "sweep on a stopped device returned after " << took.count() << " s\n";
    EXPECT_FALSE(sound_.IsDeviceOpen());
    // Having just given up, it does not open the device again at once: one
    // wait per sweep, not one per tone.
    sound_.PlayWaveAsync(wave);
    EXPECT_FALSE(sound_.IsDeviceOpen());

    ExpectTheDeviceUsedAgain(wave);
}

TEST_F(SdlSoundTest, FilesItCannotDecodeLeaveTheDeviceAlone)
{
    const struct {
        std::string name;
        std::string bytes;
    } files[] = {
        {"empty.wav", ""},
        {"garbage.wav", std::string(4096, '\x5a')},
        {"header-only.wav", std::string("RIFF\x24\0\0\0WAVEfmt ", 16)},
    };
    for (const auto& file : files) {
        sound_.PlayWaveAsync(folder_.Write(file.name, file.bytes));
        EXPECT_FALSE(sound_.IsDeviceOpen()) << file.name;
    }
    sound_.PlayWaveAsync(folder_.File("missing.wav"));
    EXPECT_FALSE(sound_.IsDeviceOpen());
}

TEST_F(SdlSoundTest, GoesQuietWhenDestroyedMidSound)
{
    const std::size_t threadsBefore = ThreadCount();
    {
        SdlSound sound(SdlDeviceRequest{kRate, 1, false});
        sound.PlayWaveAsync(ToneWave("long.wav", 440, 5000));
        ASSERT_TRUE(capture_.WaitForSamples(Samples(100ms), kPatience));
    }
    // A joined thread can linger in /proc for a moment.
    EXPECT_TRUE(Eventually([&] { return ThreadCount() == threadsBefore; }));
    const std::size_t written = capture_.SampleCount();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(capture_.SampleCount(), written);
}

}  // namespace
}  // namespace nortavi::platform
