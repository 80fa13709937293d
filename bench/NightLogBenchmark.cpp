// SPDX-License-Identifier: MIT
// The night log's costs beside a full folder of 60 nights (typical ones,
// or busy ones whose sky changes every two minutes): the first poll, which
// reads the nights the chart can need and prunes the folder; the chart
// from memory; its layout; the status page; a poll that appends a line.
#include "ChartLayout.h"
#include "NightLogListener.h"
#include "Platform.h"
#include "StatusPage.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace {

using namespace nortavi;
using namespace std::chrono;

const LocalTime kNow = *MakeLocalTime(2026, 12, 8, 6, 0, 0);

PollReport Report(LocalTime at, const char* condition)
{
    PollReport report;
    report.at = at;
    report.condition = condition;
    report.status = ShownStatus::Safe;
    report.read = StatusRead::Read;
    report.feedFresh = report.stampChanging = report.stampEverRead = true;
    report.lastStatusTime = at;
    return report;
}

// 60 nights, each from 18:00 to 08:00, as the log writes them.
std::string MakeFolder(bool busy)
{
    const auto folder = std::filesystem::temp_directory_path() /
                        ("nortavi-night-bench-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder);
    const std::string nights = folder.string() + "/nights/";
    for (int night = 60; night >= 1; --night) {
        NightLogListener log(nights, [] { return hours(1); });
        const LocalTime start = kNow - days(night) - hours(12);
        for (auto at = start; at < start + hours(14); at += seconds(5)) {
            const bool cloudy = busy ? (at - start) / minutes(2) % 2 == 1
                                     : at - start > hours(5) && at - start < hours(6);
            log.PollEnded(Report(at, cloudy ? "CLOUDY" : "CLEAR"));
        }
        log.Stop(start + hours(14));
    }
    return nights;
}

void FirstPoll(benchmark::State& state)
{
    const std::string nights = MakeFolder(state.range(0) != 0);
    for (auto _ : state) {
        NightLogListener log(nights, [] { return hours(1); });
        log.PollEnded(Report(kNow, "CLEAR"));
        benchmark::DoNotOptimize(log.Version());
    }
    std::filesystem::remove_all(std::filesystem::path(nights).parent_path().parent_path());
}

// What a running program does for the chart, the page and each poll.
class Running : public benchmark::Fixture {
public:
    void SetUp(benchmark::State& state) override
    {
        nights = MakeFolder(state.range(0) != 0);
        log = std::make_unique<NightLogListener>(nights, [] { return hours(1); });
        for (auto at = kNow - hours(12); at <= kNow; at += seconds(5)) {
            const bool cloudy = state.range(0) != 0 && (at - kNow) / minutes(2) % 2 == 1;
            log->PollEnded(Report(at, cloudy ? "CLOUDY" : "CLEAR"));
        }
    }
    void TearDown(benchmark::State&) override
    {
        log.reset();
        std::filesystem::remove_all(std::filesystem::path(nights).parent_path().parent_path());
    }

    std::string nights;
    std::unique_ptr<NightLogListener> log;
};

BENCHMARK_DEFINE_F(Running, Chart)(benchmark::State& state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(log->Chart());
    }
}

BENCHMARK_DEFINE_F(Running, Layout)(benchmark::State& state)
{
    const auto chart = log->Chart();
    for (auto _ : state) {
        benchmark::DoNotOptimize(history::DrawNightChart(chart, 760, 150));
    }
}

BENCHMARK_DEFINE_F(Running, StatusPage)(benchmark::State& state)
{
    const auto chart = log->Chart();
    const auto now = log->Now();
    for (auto _ : state) {
        benchmark::DoNotOptimize(history::StatusPageHtml(now, chart));
    }
    state.counters["bytes"] = static_cast<double>(history::StatusPageHtml(now, chart).size());
}

BENCHMARK_DEFINE_F(Running, PollThatAppendsALine)(benchmark::State& state)
{
    LocalTime at = kNow;
    bool cloudy = false;
    for (auto _ : state) {
        at += seconds(5);
        cloudy = !cloudy;
        log->PollEnded(Report(at, cloudy ? "CLOUDY" : "CLEAR"));
    }
}

BENCHMARK(FirstPoll)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK_REGISTER_F(Running, Chart)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK_REGISTER_F(Running, Layout)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK_REGISTER_F(Running, StatusPage)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK_REGISTER_F(Running, PollThatAppendsALine)->Arg(0)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
