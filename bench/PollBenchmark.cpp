// SPDX-License-Identifier: MIT
// What one poll costs beside the bare system calls any reader of the status
// file needs, and a 30-day run at one poll per 5 s with a hand-set clock.
#include "FileSystem.h"
#include "Monitor.h"
#include "RecordingPorts.h"
#include "StatusFile.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace nortavi {
namespace {

const LocalTime kStart = *MakeLocalTime(2026, 12, 7, 21, 0, 0);

// Every alarm sound is thrown away: the cost measured is the program's own.
class SilentSound final : public SoundOutput {
public:
    void PlayWaveAsync(const std::string&) override {}
    void PlayTone(int, int) override {}
};

class NoConfig final : public ConfigStore {
public:
    void LoadConfig(Settings&) override {}
    bool SaveConfig(const Settings&) override { return true; }
};

struct Fixture {
    Fixture()
    {
        folder = std::filesystem::temp_directory_path() / ("nortavi-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        statusPath = (folder / "status.txt").string();
        std::ofstream(statusPath, std::ios::binary) << "12/7/2026 21:00:00,CLEAR\r\n";
        monitor.StartUp();
        settings.statusPath = statusPath;
    }
    ~Fixture() { std::filesystem::remove_all(folder); }

    std::filesystem::path folder;
    std::string statusPath;
    Settings settings;
    ManualClock clock{kStart};
    StatusFile statusFile;
    NoConfig config;
    DiskFileProbe files;
    RecordingDisplay display;
    SilentSound sound;
    Monitor monitor{settings, MonitorPorts{clock, statusFile, config, files, display, sound,
                                           (std::filesystem::path("/nonexistent") / "").string()}};
};

void BM_Poll(benchmark::State& state)
{
    Fixture fixture;
    for (auto _ : state) {
        fixture.monitor.RefreshStatus();
    }
    benchmark::DoNotOptimize(fixture.display.conditionCaption);
}
BENCHMARK(BM_Poll);

// The floor: what any reader of the file pays to the system.
void BM_BareStatOpenReadClose(benchmark::State& state)
{
    Fixture fixture;
    char buffer[256];
    for (auto _ : state) {
        struct stat info {};
        ::stat(fixture.statusPath.c_str(), &info);
        const int fd = ::open(fixture.statusPath.c_str(), O_RDONLY);
        benchmark::DoNotOptimize(::read(fd, buffer, sizeof buffer));
        ::close(fd);
    }
}
BENCHMARK(BM_BareStatOpenReadClose);

long MaxResidentKiB()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// 30 days at one poll per 5 s: 518,400 polls. The feed goes stale after the
// first minutes, so the alarm path runs too.
void BM_ThirtyDayRun(benchmark::State& state)
{
    constexpr long kPolls = 30L * 24 * 3600 / 5;
    for (auto _ : state) {
        Fixture fixture;
        const long before = MaxResidentKiB();
        for (long i = 0; i < kPolls; ++i) {
            fixture.clock.Advance(std::chrono::seconds{5});
            fixture.monitor.RefreshStatus();
        }
        state.counters["polls"] = static_cast<double>(kPolls);
        state.counters["maxRssGrowthKiB"] = static_cast<double>(MaxResidentKiB() - before);
    }
}
BENCHMARK(BM_ThirtyDayRun)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace nortavi

BENCHMARK_MAIN();
