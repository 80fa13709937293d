// SPDX-License-Identifier: MIT
#include "HeadlessMonitor.h"

#include "CommandLine.h"
#include "Message.h"
#include "Routes.h"
#include "SystemSound.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <utility>
#include <vector>

namespace nortavi::headless {

namespace {

// The window's timer.
constexpr auto kPollInterval = std::chrono::seconds(5);

std::string Describe(const ConfigProblem& problem, const std::string& path)
{
    return path + (problem.line > 0 ? ", line " + std::to_string(problem.line) : std::string()) +
           ": " + problem.why;
}

// The network publication's messages are written for the window, whose
// Setup dialog sets the port; here config.ini does.
std::string WithoutTheWindow(std::string text)
{
    const std::string setup = "set in Setup";
    if (const auto at = text.find(setup); at != std::string::npos) {
        text.replace(at, setup.size(), "set in config.ini");
    }
    return text;
}

// The routes set, by name only: the file's addresses and tokens are secrets.
std::string NotifySummary(const NotifySettings& notify)
{
    std::string routes;
    for (const notify::Route route : notify::kRoutes) {
        if (notify::RouteSet(route, notify)) {
            routes += (routes.empty() ? "" : ", ") + std::string(notify::RouteName(route));
        }
    }
    return routes.empty() ? "off" : "to " + routes;
}

std::string Line(const StateChangeBatch& batch, const StateChange& change)
{
    static const char* const kAspects[] = {"condition", "status", "feed"};
    std::string line = FormatLocalTime(batch.at) + " ";
    switch (change.aspect) {
        case StateChange::Aspect::AlarmRaised:
            return line + "alarm raised: " + change.to;
        case StateChange::Aspect::AlarmCancelled:
            return line + "alarm cancelled: " + change.to;
        default:
            break;
    }
    line += std::string(kAspects[static_cast<int>(change.aspect)]) + " " + change.to;
    return change.from.empty() ? line : line + " (was " + change.from + ")";
}

// The notifications' own lines (a message dropped, a route refused) go to
// the journal as warnings.
notify::NotifierOptions JournalledNotifications(Journal& journal)
{
    notify::NotifierOptions options;
    options.log = [&journal](const std::string& line) { journal.Warning(line); };
    return options;
}

}  // namespace

HeadlessMonitor::HeadlessMonitor(ProgramFolders folders, TimeStampFormat format, Journal& journal,
                                 ServiceNotifier& manager)
    : journal_(journal),
      manager_(manager),
      sound_(platform::MakeSystemSound()),
      service_(settings_, clock_, *sound_, display_, std::move(folders), std::move(format),
               kStatusReadLimit, JournalledNotifications(journal)),
      changes_([this](const StateChangeBatch& batch) { SayChanges(batch); })
{
    // What acts on each poll beyond the lines below (the network
    // publication, the night log, the notifications) is the service's own.
    service_.AddListener(changes_);
    service_.SetNightLogWarning([this](const std::string& text) { journal_.Warning(text); });
}

HeadlessMonitor::~HeadlessMonitor() = default;

int HeadlessMonitor::Run(platform::SignalPipe& signals)
{
    Start();
    using Steady = std::chrono::steady_clock;
    auto next = Steady::now() + kPollInterval;
    for (;;) {
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - Steady::now());
        pollfd watched{signals.ReadFd(), POLLIN, 0};
        if (::poll(&watched, 1, static_cast<int>(std::max<long long>(0, wait.count()))) < 0 &&
            errno != EINTR) {
            journal_.Warning(std::string("cannot wait for the next poll: ") + std::strerror(errno));
            return kExitFailed;
        }
        for (const int signal : signals.Take()) {
            if (signal == SIGHUP) {
                Reload();
                continue;
            }
            manager_.Stopping();
            journal_.Note(std::string("ended by ") + (signal == SIGINT ? "SIGINT" : "SIGTERM"));
            return kExitEnded;
        }
        const auto now = Steady::now();
        if (now >= next) {
            service_.RefreshStatus();
            SayNotifyTrouble();
            manager_.WatchdogPing();
            // A tick missed while a poll ran long (an alarm's sweep, a share
            // that stalls) is left out, as the window's timer does.
            while (next <= Steady::now()) {
                next += kPollInterval;
            }
        }
    }
}

void HeadlessMonitor::Start()
{
    const std::string path = service_.ConfigPath();
    service_.StartUp([this, &path] {
        journal_.Note("version " NORTAVI_VERSION " started, settings in " + path);
    });
    // Read once more, strictly, to say what a hand-edited file holds that
    // the window's reading passes over.
    auto read = service_.ReadConfigAgain();
    const bool fileReads = std::holds_alternative<Settings>(read);
    if (fileReads) {
        settings_ = std::get<Settings>(std::move(read));
    } else {
        const ConfigProblem& problem = std::get<ConfigProblem>(read);
        journal_.Warning(Describe(problem, path) +
                         (problem.line > 0 ? "; running on what the window reads from it"
                                           : "; running on the defaults") +
                         " until it reads (SIGHUP reads it again)");
    }
    journal_.Note("settings: " + SettingsSummary());
    ApplySettings(!settings_.alpaca.uniqueId.empty(), fileReads);
    manager_.Ready();
}

void HeadlessMonitor::Reload()
{
    manager_.Reloading();
    const std::string path = service_.ConfigPath();
    auto read = service_.ReadConfigAgain();
    if (const auto* problem = std::get_if<ConfigProblem>(&read)) {
        journal_.Warning(Describe(*problem, path) + "; not reloaded, the running settings stay");
        manager_.Ready();
        return;
    }
    Settings next = std::get<Settings>(std::move(read));
    // A file without the unique id leaves the device the one it has, so
    // that clients which know it by its id still find it.
    const bool fileHoldsId = !next.alpaca.uniqueId.empty();
    if (!fileHoldsId) {
        next.alpaca.uniqueId = settings_.alpaca.uniqueId;
    }
    settings_ = std::move(next);
    journal_.Note("settings reloaded: " + SettingsSummary());
    ApplySettings(fileHoldsId, true);
    manager_.Ready();
}

void HeadlessMonitor::ApplySettings(bool fileHoldsId, bool fileReads)
{
    // The service brings in line all it owns beyond the polls: the network
    // publication and the notifications.
    // What it cannot do comes back here, to be said in the journal.
    if (const auto problem = service_.ApplySettings()) {
        journal_.Warning(WithoutTheWindow(*problem));
    }
    const AlpacaSettings& alpaca = settings_.alpaca;
    if (!alpaca.server || fileHoldsId || alpaca.uniqueId.empty()) {
        return;
    }
    // The one write: clients that pair with the device by its id must find
    // it again after a restart.
    const std::string path = service_.ConfigPath();
    if (!fileReads) {
        journal_.Warning("the Alpaca unique id " + alpaca.uniqueId + " is not saved while " + path +
                         " does not read: clients that know the device by it lose it at a restart");
    } else if (service_.SaveConfig()) {
        journal_.Note("the Alpaca unique id " + alpaca.uniqueId + " is saved in " + path +
                      ", so that clients find the device again after a restart");
    } else {
        journal_.Warning("the Alpaca unique id " + alpaca.uniqueId + " could not be saved in " +
                         path + ": clients that know the device by it lose it at a restart");
    }
}

void HeadlessMonitor::SayChanges(const StateChangeBatch& batch)
{
    for (const StateChange& change : batch.changes) {
        journal_.StateLine(Line(batch, change));
    }
    if (batch.report != nullptr) {
        manager_.Status(std::string(StatusCaption(batch.report->status)) + ", " +
                        batch.report->condition + ", feed " +
                        FeedStateText(FeedStateOf(*batch.report)) +
                        (batch.report->active.Any() ? ", alarm up" : ""));
    }
}

void HeadlessMonitor::SayNotifyTrouble()
{
    // Where the window's title names the failing routes, the journal says
    // when one starts failing and when it delivers again.
    std::vector<std::string> failing;
    for (const notify::RouteTrouble& route : service_.NotifyTrouble()) {
        failing.push_back(route.route);
        if (std::find(failing_.begin(), failing_.end(), route.route) == failing_.end()) {
            journal_.Warning(route.route + ": not delivered since " +
                             notify::ClockText(route.since, clock_.Now()) + ", retrying");
        }
    }
    for (const std::string& route : failing_) {
        if (std::find(failing.begin(), failing.end(), route) == failing.end()) {
            journal_.Note(route + ": delivered again");
        }
    }
    failing_ = std::move(failing);
}

std::string HeadlessMonitor::SettingsSummary() const
{
    const Settings& s = settings_;
    std::string alarms;
    for (const auto& [on, name] :
         {std::pair{s.alarmOnSafe, "safe"}, std::pair{s.alarmOnUnsafe, "unsafe"},
          std::pair{true, "comms"}}) {
        if (on) {
            alarms += (alarms.empty() ? "" : ", ") + std::string(name);
        }
    }
    const AlpacaSettings& a = s.alpaca;
    return "status file " + s.statusPath + "; safe after " + std::to_string(s.timeToSafe) +
           " min, unsafe after " + std::to_string(s.timeToUnsafe) + " min, CLOUDY counts as " +
           (s.cloudyAsClear ? "clear" : "cloudy") + "; alarms: " + alarms + "; Alpaca " +
           (a.server ? "on port " + std::to_string(a.port) +
                           (a.allowRemote ? " for the network" : " for this computer only") +
                           ", discovery on " + std::to_string(a.discoveryPort)
                     : std::string("off")) +
           "; notifications " + NotifySummary(s.notify);
}

}  // namespace nortavi::headless
