// SPDX-License-Identifier: MIT
// Notifications measured against the services' stand-in (tests/notify/
// receiver.py) over HTTPS on loopback, with the monitor as the window
// drives it:
//  - from the start of the poll that raises the unsafe alarm to the
//    receiver's taking the ntfy request (the same wall clock on both sides);
//  - the longest poll while the receiver holds every request (a stalled
//    server), beside the same polls with no route set;
//  - the memory that 1,000 undelivered messages hold.
//
//   build/test/bench/nortavi_notify_measure [alarms]
#include "Notifier.h"
#include "PolledMonitor.h"

#include <nlohmann/json.hpp>

#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace nortavi {
namespace {

using SteadyClock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double WallSeconds()
{
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

long ResidentKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

// receiver.py in a folder of its own, for as long as this lives.
class Receiver {
public:
    explicit Receiver(const std::filesystem::path& folder) : folder_(folder)
    {
        pid_ = ::fork();
        if (pid_ == 0) {
            const std::string script = NORTAVI_SOURCE_DIR "/tests/notify/receiver.py";
            ::execl("/usr/bin/python3", "python3", script.c_str(), folder.c_str(), static_cast<char*>(nullptr));
            std::_Exit(127);
        }
        while (!std::filesystem::exists(folder / "ports.json")) {
            std::this_thread::sleep_for(50ms);
        }
        port_ = nlohmann::json::parse(std::ifstream(folder / "ports.json"))["https"].get<int>();
    }
    ~Receiver()
    {
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    std::string CaFile() const { return (folder_ / "ca.pem").string(); }
    std::string Server(const char* mode) const
    {
        return "https://localhost:" + std::to_string(port_) + "/" + mode;
    }
    // When each request came, in the receiver's log.
    std::vector<double> Times() const
    {
        std::vector<double> times;
        std::ifstream log(folder_ / "requests.log");
        for (std::string line; std::getline(log, line);) {
            times.push_back(nlohmann::json::parse(line)["time"].get<double>());
        }
        return times;
    }

private:
    std::filesystem::path folder_;
    pid_t pid_ = 0;
    int port_ = 0;
};

// Turns the sky clear, then very cloudy a minute later by the status
// file's clock: the second poll raises the unsafe alarm.
class Sky {
public:
    explicit Sky(PolledMonitor& polled) : polled_(polled)
    {
        polled_.settings.timeToSafe = 0;
        polled_.settings.timeToUnsafe = 1;
    }
    void Clear() { Write("CLEAR", 0s); }
    // Returns when the raising poll began (wall clock) and how long it took.
    std::pair<double, SteadyClock::duration> Unsafe()
    {
        Write("V.CLOUDY", 61s);
        const double began = WallSeconds();
        const auto start = SteadyClock::now();
        polled_.monitor.RefreshStatus();
        return {began, SteadyClock::now() - start};
    }

private:
    void Write(const char* condition, std::chrono::seconds after)
    {
        const LocalTime at = base_ + after;
        polled_.clock.Set(at);
        const std::string stamp = FormatLocalTime(at);  // yyyy-MM-dd HH:mm:ss
        std::ofstream(polled_.statusPath, std::ios::binary | std::ios::trunc)
            << stamp.substr(5, 2) << "/" << stamp.substr(8, 2) << "/" << stamp.substr(0, 4) << " "
            << stamp.substr(11) << "," << condition << "\r\n";
        if (after == 0s) {
            polled_.monitor.RefreshStatus();
        } else {
            base_ += 120s;
        }
    }

    PolledMonitor& polled_;
    LocalTime base_ = *MakeLocalTime(2026, 12, 7, 21, 0, 0);
};

double Ms(SteadyClock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

void AlarmToRequest(const Receiver& receiver, int alarms)
{
    PolledMonitor polled("nortavi-notify-latency");
    polled.settings.notify.ntfyServer = receiver.Server("ok");
    polled.settings.notify.ntfyTopic = "roof";
    polled.settings.notify.caFile = receiver.CaFile();
    notify::Notifier notifier(polled.settings.notify);
    polled.monitor.AddListener(notifier);
    Sky sky(polled);
    std::vector<double> ms;
    for (int i = 0; i < alarms; ++i) {
        sky.Clear();
        const std::size_t before = receiver.Times().size();
        const double began = sky.Unsafe().first;
        std::vector<double> times;
        while ((times = receiver.Times()).size() <= before) {
            std::this_thread::sleep_for(1ms);
        }
        ms.push_back((times[before] - began) * 1000);
        std::this_thread::sleep_for(300ms);  // alarms come minutes apart: the answer is in by then
    }
    std::printf("alarm to request (%d alarms): first %.1f ms, median %.1f ms, longest %.1f ms\n", alarms,
                ms.front(), [&] { auto s = ms; std::sort(s.begin(), s.end()); return s[s.size() / 2]; }(),
                *std::max_element(ms.begin(), ms.end()));
}

void PollsWhileStalled(const Receiver& receiver, int alarms)
{
    for (const bool stalled : {false, true}) {
        PolledMonitor polled(stalled ? "nortavi-notify-stall" : "nortavi-notify-none");
        if (stalled) {
            polled.settings.notify.ntfyServer = receiver.Server("stall");
            polled.settings.notify.ntfyTopic = "roof";
            polled.settings.notify.caFile = receiver.CaFile();
        }
        notify::Notifier notifier(polled.settings.notify);
        polled.monitor.AddListener(notifier);
        Sky sky(polled);
        double longest = 0;
        for (int i = 0; i < alarms; ++i) {
            sky.Clear();
            longest = std::max(longest, Ms(sky.Unsafe().second));
        }
        std::printf("longest poll raising an alarm, %s: %.3f ms\n",
                    stalled ? "the receiver holding every request" : "no route set", longest);
    }
}

void MemoryOfUndelivered(const Receiver& receiver)
{
    PolledMonitor polled("nortavi-notify-memory");
    polled.settings.notify.ntfyServer = receiver.Server("stall");
    polled.settings.notify.ntfyTopic = "roof";
    polled.settings.notify.caFile = receiver.CaFile();
    notify::NotifierOptions options;
    options.log = [](const std::string&) {};
    notify::Notifier notifier(polled.settings.notify, options);
    PollReport report;
    report.condition = "V.CLOUDY";
    report.status = ShownStatus::Unsafe;
    report.active.unsafe = report.raised.unsafe = true;
    notifier.PollEnded(report);  // the first one, held by the receiver
    std::this_thread::sleep_for(500ms);
    const long before = ResidentKiB();
    for (int i = 1; i < 1000; ++i) {
        report.at += 5s;
        notifier.PollEnded(report);
    }
    std::this_thread::sleep_for(500ms);
    const long after = ResidentKiB();
    std::printf("1,000 undelivered messages: %ld KiB resident more (%.0f bytes each), %ld KiB in all\n",
                after - before, static_cast<double>(after - before) * 1024.0 / 999, after);
}

}  // namespace
}  // namespace nortavi

int main(int argc, char** argv)
{
    const int alarms = argc > 1 ? std::atoi(argv[1]) : 20;
    const auto folder = std::filesystem::temp_directory_path() / ("nortavi-receiver-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    {
        const nortavi::Receiver receiver(folder);
        nortavi::MemoryOfUndelivered(receiver);
        nortavi::AlarmToRequest(receiver, alarms);
        nortavi::PollsWhileStalled(receiver, alarms);
    }
    std::filesystem::remove_all(folder);
    return 0;
}
