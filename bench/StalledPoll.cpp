// SPDX-License-Identifier: MIT
// How long a poll can block the window when the status file stalls. The
// file's opens are held in the kernel (fanotify permission events, as root)
// the way a share that stops answering holds them; the share answers now
// and then and stalls again at the next read. Prints the longest and the
// typical poll, each kind apart.
//
//   sudo build/test/bench/nortavi_stalled_poll [cycles]
#include "PolledMonitor.h"

#include <fcntl.h>
#include <sys/fanotify.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace nortavi {
namespace {

using Clock = std::chrono::steady_clock;

// Lets every open held so far go through; later ones are held again.
void AnswerHeldOpens(int group)
{
    alignas(fanotify_event_metadata) char buffer[4096];
    ssize_t length = 0;
    while ((length = ::read(group, buffer, sizeof buffer)) > 0) {
        auto* event = reinterpret_cast<fanotify_event_metadata*>(buffer);
        for (; FAN_EVENT_OK(event, length); event = FAN_EVENT_NEXT(event, length)) {
            const fanotify_response allow{event->fd, FAN_ALLOW};
            if (::write(group, &allow, sizeof allow) < 0) {
                std::perror("fanotify response");
            }
            ::close(event->fd);
        }
    }
}

void Report(const char* what, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    std::printf("%-34s polls %3zu  median %9.3f ms  longest %9.3f ms\n", what, ms.size(),
                ms[ms.size() / 2], ms.back());
}

int Run(int cycles)
{
    PolledMonitor polled("nortavi-stalled");
    Monitor& monitor = polled.monitor;
    const std::string& path = polled.statusPath;

    const auto timed = [&monitor] {
        const auto start = Clock::now();
        monitor.RefreshStatus();
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    std::vector<double> answering;
    for (int i = 0; i < cycles; ++i) {
        answering.push_back(timed());
    }

    const int group = fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC | FAN_NONBLOCK, O_RDONLY);
    if (group < 0 || fanotify_mark(group, FAN_MARK_ADD, FAN_OPEN_PERM, AT_FDCWD, path.c_str()) != 0) {
        std::perror("fanotify (run as root)");
        return 1;
    }
    std::vector<double> stalled;
    std::vector<double> behindStalled;
    for (int i = 0; i < cycles; ++i) {
        stalled.push_back(timed());
        for (int poll = 0; poll < 3; ++poll) {
            behindStalled.push_back(timed());
        }
        AnswerHeldOpens(group);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the read ends
    }
    ::close(group);

    std::printf("read limit %lld ms, %d cycles\n", static_cast<long long>(kStatusReadLimit.count()),
                cycles);
    Report("file answering", answering);
    Report("read stalls in this poll", stalled);
    Report("earlier read still stalled", behindStalled);
    return 0;
}

}  // namespace
}  // namespace nortavi

int main(int argc, char** argv)
{
    return nortavi::Run(argc > 1 ? std::max(1, std::atoi(argv[1])) : 10);
}
