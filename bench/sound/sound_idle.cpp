// SPDX-License-Identifier: MIT
// What the SDL sound backend costs: plays the alarm sweep (and a wave file
// if one is named), waits for the device to close, then shows the threads
// left and the CPU time the process uses while idle.
//
//   nortavi_sound_idle [idle-seconds] [wave-file]
//
// Without SDL_AUDIODRIVER set it plays through SDL's disk driver into
// /dev/null, so it runs on machines with no sound.
#include "AlarmLatches.h"
#include "SoundSdl.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;
using nortavi::platform::SdlSound;

void ListThreads(const char* when)
{
    std::cout << when << ':';
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::string name;
        std::getline(std::ifstream(task.path() / "comm"), name);
        std::cout << ' ' << task.path().filename().string() << '(' << name << ')';
    }
    std::cout << '\n';
}

double ProcessCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void WaitUntilClosed(SdlSound& sound)
{
    while (sound.IsDeviceOpen()) {
        std::this_thread::sleep_for(10ms);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const int idleSeconds = argc > 1 ? std::atoi(argv[1]) : 10;
    if (std::getenv("SDL_AUDIODRIVER") == nullptr) {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    }
    SdlSound sound;
    ListThreads("before any sound");

    const auto sweepStart = std::chrono::steady_clock::now();
    for (int hz = nortavi::kSweepFirstHz; hz <= nortavi::kSweepLastHz;
         hz += nortavi::kSweepStepHz) {
        sound.PlayTone(hz, nortavi::kSweepToneMs);
    }
    const std::chrono::duration<double> sweep = std::chrono::steady_clock::now() - sweepStart;
    std::cout << "sweep calls took " << sweep.count() << " s (device open: " << sound.IsDeviceOpen()
              << ")\n";
    ListThreads("right after the sweep");
    WaitUntilClosed(sound);

    if (argc > 2) {
        sound.PlayWaveAsync(argv[2]);
        ListThreads("playing the wave");
        WaitUntilClosed(sound);
    }
    ListThreads("after the device closed");

    const double cpuBefore = ProcessCpuSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
    const double cpuUsed = ProcessCpuSeconds() - cpuBefore;
    std::cout << "idle " << idleSeconds << " s: " << cpuUsed * 1000.0 << " ms CPU ("
              << 100.0 * cpuUsed / idleSeconds << " %)\n";
    ListThreads("after idling");
    return 0;
}
