// SPDX-License-Identifier: MIT
// What one poll costs beside the bare system calls any reader of the status
// file needs, and a 30-day run at one poll per 5 s with a hand-set clock.
#include "PolledMonitor.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>


namespace nortavi {
namespace {

struct Fixture : PolledMonitor {
    Fixture() : PolledMonitor("nortavi-bench") {}
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
