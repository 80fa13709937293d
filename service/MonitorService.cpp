// SPDX-License-Identifier: MIT
#include "MonitorService.h"

#include "ChartLayout.h"
#include "Platform.h"

#include <utility>

namespace nortavi {

MonitorService::MonitorService(Settings& settings, Clock& clock, SoundOutput& sound,
                               MainDisplay& display, ProgramFolders folders,
                               TimeStampFormat timeStampFormat, std::chrono::milliseconds readLimit,
                               notify::NotifierOptions notify)
    : settings_(settings),
      clock_(clock),
      folders_(std::move(folders)),
      statusFile_(std::move(timeStampFormat), readLimit),
      configFile_(folders_.load, folders_.save, folders_.settingsFile),
      nightLog_(NightLogListener::FolderFor(folders_), &platform::UtcOffsetNow),
      pages_(nightLog_),
      notifier_(settings_.notify, std::move(notify)),
      monitor_(settings_, MonitorPorts{clock,
                                       statusFile_,
                                       configFile_,
                                       fileProbe_,
                                       display,
                                       sound,
                                       folders_.program,
                                       folders_.user,
                                       {&publisher_.Board(), &nightLog_, &notifier_}})
{
    publisher_.SetRouteHook(
        [this](const alpaca::Request& request) { return pages_.Answer(request); });
}

MonitorService::~MonitorService()
{
    ProgramEnding();
}

void MonitorService::ProgramEnding()
{
    nightLog_.Stop(clock_.Now());
}

history::ChartDrawing MonitorService::NightChartDrawing(double width, double height) const
{
    return history::DrawNightChart(nightLog_.Chart(), width, height, true);
}

void MonitorService::StartUp(const std::function<void()>& beforeFirstPoll)
{
    monitor_.StartUp(beforeFirstPoll);
}

std::optional<std::string> MonitorService::ApplySettings(bool* madeUniqueId)
{
    notifier_.Apply();
    const bool hadId = !settings_.alpaca.uniqueId.empty();
    auto problem = publisher_.Apply(settings_.alpaca);
    if (madeUniqueId) {
        *madeUniqueId = !hadId && !settings_.alpaca.uniqueId.empty();
    }
    return problem;
}

std::unique_ptr<notify::TestMessage> MonitorService::SendTestMessage(const NotifySettings& settings) const
{
    const LocalTime now = clock_.Now();
    PollReport shown = notifier_.LastReport().value_or(PollReport{});
    shown.at = now;
    const notify::Message message = notify::MakeMessage(notify::Event::Test, false, shown, now);
    return std::make_unique<notify::TestMessage>(settings, message, notifier_.Options());
}

std::function<bool(std::uint16_t, bool)> MonitorService::PortCheck()
{
    return [this](std::uint16_t port, bool allowRemote) { return publisher_.PortUsable(port, allowRemote); };
}

void MonitorService::AddListener(MonitorListener& listener)
{
    monitor_.AddListener(listener);
}

}  // namespace nortavi
