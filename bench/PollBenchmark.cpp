// SPDX-License-Identifier: MIT
// What one poll costs beside the bare system calls any reader of the status
// file needs and beside the same calls on one long-lived thread, and a
// 30-day run at one poll per 5 s with a hand-set clock.
#include "PolledMonitor.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

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

// The system calls any reader of the status file makes.
ssize_t BareStatOpenReadClose(const std::string& path)
{
    char buffer[256];
    struct stat info {};
    ::stat(path.c_str(), &info);
    const int fd = ::open(path.c_str(), O_RDONLY);
    const ssize_t read = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    return read;
}

// The floor: what any reader of the file pays to the system.
void BM_BareStatOpenReadClose(benchmark::State& state)
{
    Fixture fixture;
    for (auto _ : state) {
        benchmark::DoNotOptimize(BareStatOpenReadClose(fixture.statusPath));
    }
}
BENCHMARK(BM_BareStatOpenReadClose);

// The yardstick for a reader that keeps its caller clear of a stalled
// file: the same calls handed to one long-lived thread, which waits on a
// condition variable between reads, and the caller waiting for the answer.
void BM_BareReadOnOneWorker(benchmark::State& state)
{
    Fixture fixture;
    std::mutex mutex;
    std::condition_variable asked;
    std::condition_variable answered;
    bool pending = false;
    bool stop = false;
    ssize_t bytes = 0;
    std::thread worker([&] {
        std::unique_lock lock(mutex);
        for (;;) {
            asked.wait(lock, [&] { return pending || stop; });
            if (stop) {
                return;
            }
            lock.unlock();
            const ssize_t read = BareStatOpenReadClose(fixture.statusPath);
            lock.lock();
            bytes = read;
            pending = false;
            answered.notify_one();
        }
    });
    for (auto _ : state) {
        std::unique_lock lock(mutex);
        pending = true;
        asked.notify_one();
        answered.wait(lock, [&] { return !pending; });
        benchmark::DoNotOptimize(bytes);
    }
    {
        std::lock_guard lock(mutex);
        stop = true;
    }
    asked.notify_one();
    worker.join();
}
BENCHMARK(BM_BareReadOnOneWorker);

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
