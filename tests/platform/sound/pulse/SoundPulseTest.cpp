// SPDX-License-Identifier: MIT
// The SDL backend played through a real PulseAudio server, whose null sink
// is recorded from its monitor: what a listener would have heard. A sound
// server paces the device and takes samples ahead of playing them, which
// SDL's disk driver does not. Run by run-pulse-test.sh, which starts the
// server.
#include "Eventually.h"
#include "AlarmLatches.h"
#include "AudioCapture.h"
#include "SoundSdl.h"
#include "SweepShape.h"
#include "TempFolder.h"
#include "ToneAnalyser.h"
#include "ToneWaveFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <future>
#include <iostream>
#include <spawn.h>
#include <string_view>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace nortavi::platform {
namespace {

using namespace std::chrono_literals;
using testing::AudioCapture;
using testing::Eventually;
using testing::kPatience;
using testing::SweepShape;
using testing::ToneAnalyser;
using testing::ToneAnalysis;

constexpr int kRate = 44100;
// Makes libpulse ask the server for this much latency, in milliseconds.
constexpr std::string_view kLatencyVariable = "PULSE_LATENCY_MSEC";

// parec recording the sink's monitor into a file, from construction until
// Stop() or destruction.
class MonitorRecorder {
public:
    MonitorRecorder(const std::string& sink, const std::string& path)
    {
        const std::string device = "--device=" + sink + ".monitor";
        const char* const args[] = {"parec",          device.c_str(),    "--format=s16le",
                                    "--rate=44100",   "--channels=1",    "--raw",
                                    "--latency-msec=20", nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, path.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        // The recording keeps to its own latency, whatever the player's.
        std::vector<char*> env;
        for (char** entry = environ; *entry != nullptr; ++entry) {
            if (std::string_view(*entry).substr(0, kLatencyVariable.size() + 1) !=
                std::string(kLatencyVariable) + "=") {
                env.push_back(*entry);
            }
        }
        env.push_back(nullptr);
        if (posix_spawnp(&pid_, "parec", &actions, nullptr, const_cast<char* const*>(args),
                         env.data()) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    MonitorRecorder(const MonitorRecorder&) = delete;
    MonitorRecorder& operator=(const MonitorRecorder&) = delete;
    ~MonitorRecorder() { Stop(); }

    bool IsRunning() const { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }

    void Stop()
    {
        if (pid_ <= 0) {
            return;
        }
        kill(pid_, SIGTERM);
        while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
};

// How far ahead of playing the server takes samples: as little as SDL asks
// for, or two seconds, as some servers do, which is more than a sweep.
struct ServerLatency {
    std::string name;
    int ms = 0;  // 0: what SDL asks for
    friend void PrintTo(const ServerLatency& latency, std::ostream* out) { *out << latency.name; }
};

class SdlSoundThroughPulseAudio : public ::testing::TestWithParam<ServerLatency> {
protected:
    static std::size_t Samples(std::chrono::milliseconds length)
    {
        return static_cast<std::size_t>(kRate * length.count() / 1000);
    }

    void SetUp() override
    {
        const char* sink = std::getenv("NORTAVI_PULSE_SINK");
        if (sink == nullptr) {
            GTEST_SKIP() << "needs the server that run-pulse-test.sh starts";
        }
        if (GetParam().ms > 0 && std::getenv("NORTAVI_PULSE_FAR_AHEAD") == nullptr) {
            // Known limit, run on request: against a server that wants two
            // seconds in hand, tones handed over one at a time get silence
            // between them, and the estimate of when the last one is heard
            // can fall short, cutting off the end of the sweep.
            GTEST_SKIP() << "set NORTAVI_PULSE_FAR_AHEAD=1 to try a server far ahead";
        }
        setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
        if (GetParam().ms > 0) {
            setenv(kLatencyVariable.data(), std::to_string(GetParam().ms).c_str(), 1);
        } else {
            unsetenv(kLatencyVariable.data());
        }
        recorder_ = std::make_unique<MonitorRecorder>(sink, capture_.Path());
        ASSERT_TRUE(recorder_->IsRunning()) << "parec did not start";
        // The null sink feeds its monitor silence while idle.
        ASSERT_TRUE(capture_.WaitForSamples(Samples(100ms), kPatience)) << "nothing recorded";
    }

    // Waits for the device to close, then records some silence after it, as
    // long by the sink's clock, so that everything played is in the file.
    ToneAnalysis Heard()
    {
        EXPECT_TRUE(Eventually([this] { return !sound_.IsDeviceOpen(); }))
            << "the device stayed open after the sound";
        EXPECT_TRUE(capture_.WaitForSamples(capture_.SampleCount() + Samples(500ms), kPatience));
        recorder_->Stop();
        return ToneAnalyser(kRate).Analyse(capture_.ReadSamples());
    }

    TempFolder folder_;
    AudioCapture capture_{folder_.File("monitor.raw"), kRate};
    std::unique_ptr<MonitorRecorder> recorder_;
    SdlSound sound_{SdlDeviceRequest{kRate, 1, false}};
};

TEST_P(SdlSoundThroughPulseAudio, SweepIsHeardWholeInTimeAndTheCallsLastAsLongAsIt)
{
    const SweepShape sweep{kSweepFirstHz, kSweepLastHz, kSweepStepHz, kSweepToneMs};
    // The sweep as the core plays it, on a thread, so that a server that
    // crawls fails the test instead of hanging it.
    std::atomic<bool> giveUp = false;
    std::promise<std::chrono::duration<double>> took;
    std::thread player([&] {
        const auto start = std::chrono::steady_clock::now();
        for (int hz = sweep.firstHz; hz <= sweep.lastHz && !giveUp; hz += sweep.stepHz) {
            sound_.PlayTone(hz, sweep.toneMs);
        }
        took.set_value(std::chrono::steady_clock::now() - start);
    });
    auto tookFuture = took.get_future();
    const bool returned = tookFuture.wait_for(5s) == std::future_status::ready;
    giveUp = true;
    player.join();
    const double seconds = tookFuture.get().count();
    EXPECT_TRUE(returned) << "the sweep calls took " << seconds << " s";

    const ToneAnalysis analysis = Heard();
    std::cout << "sweep: calls took " << seconds << " s, heard " << analysis.SoundSeconds()
              << " s, largest pitch error " << sweep.LargestHzError(analysis) << " Hz, "
              << analysis.SilentWindows() << " gaps of 20 ms\n";
    // The tone-by-tone shape is the disk driver tests' business: a sound
    // server may resample and run its clock a little off. Here: the sweep
    // is heard from its first tone to its last, nothing cut off.
    ASSERT_FALSE(analysis.windowHz.empty());
    const auto [lowest, highest] =
        std::minmax_element(analysis.windowHz.begin(), analysis.windowHz.end());
    EXPECT_NEAR(*lowest, kSweepFirstHz, 10) << "the start of the sweep was lost";
    EXPECT_NEAR(*highest, kSweepLastHz, 10) << "the end of the sweep was cut off";
    EXPECT_GE(analysis.SoundSeconds(), sweep.Seconds() * 0.95);
    if (GetParam().ms > 0) {
        return;  // gaps and early calls are the known limit above
    }
    EXPECT_LE(analysis.SoundSeconds(), sweep.Seconds() * 1.05);
    EXPECT_EQ(analysis.SilentWindows(), 0) << "gaps in the sweep";
    // The last call returns when little of the sweep is left to play, not
    // when the server has merely taken the samples.
    EXPECT_GT(seconds, analysis.SoundSeconds() - 0.2) << "returned before the sweep was heard";
}

TEST_P(SdlSoundThroughPulseAudio, WaveIsHeardToItsEndBeforeTheDeviceCloses)
{
    const auto wave = folder_.File("alarm.wav");
    testing::WriteToneWave(wave, {}, 440, 1000);

    sound_.PlayWaveAsync(wave);
    const ToneAnalysis analysis = Heard();

    std::cout << "wave: heard " << analysis.SoundSeconds() << " s, " << analysis.SilentWindows()
              << " gaps of 20 ms\n";
    EXPECT_NEAR(analysis.SoundSeconds(), 1.0, 0.05);
    ASSERT_FALSE(analysis.windowHz.empty());
    for (const double hz : analysis.windowHz) {
        EXPECT_NEAR(hz, 440, 3);
    }
}

INSTANTIATE_TEST_SUITE_P(Servers, SdlSoundThroughPulseAudio,
                         ::testing::Values(ServerLatency{"Prompt", 0},
                                           ServerLatency{"TakingTwoSecondsAhead", 2000}),
                         [](const auto& test) { return test.param.name; });

}  // namespace
}  // namespace nortavi::platform
