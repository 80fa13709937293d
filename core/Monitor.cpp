// SPDX-License-Identifier: MIT
#include "Monitor.h"

#include <chrono>

namespace nortavi {

namespace {
// Until a status line has been read, the feed counts as stale.
constexpr std::chrono::seconds kUnreadStatusAge{700};
// More than two minutes (151 s or older, after rounding) is a stale feed.
constexpr std::int16_t kStaleAfterMinutes = 2;
}  // namespace

Monitor::Monitor(Settings& settings, MonitorPorts ports)
    : settings_(settings),
      ports_(std::move(ports)),
      alarmSound_{ports_.files, ports_.sound, ports_.programFolder, ports_.userFolder}
{
}

void Monitor::StartUp(const std::function<void()>& beforeFirstPoll)
{
    settings_ = DefaultSettings(ports_.programFolder);
    state_ = MonitorState{};
    const LocalTime start = ports_.clock.Now();
    shownStatus_ = ShownStatus::Pending;
    statusSince_ = start;
    shownCondition_ = "UNKNOWN";  // the window's design
    conditionSince_ = start;
    state_.lastStatusTime = start - kUnreadStatusAge;
    ports_.config.LoadConfig(settings_);

    std::string statusString;
    stampEverRead_ = ports_.status.LoadStatus(settings_.statusPath, statusString,
                                              state_.lastStatusTime) == StatusRead::Read;
    ShowInitialStatus(statusString);

    const LocalTime now = ports_.clock.Now();
    stampSeen_ = state_.lastStatusTime;
    stampChangedAt_ = now;
    state_.lastClearTime = now;
    state_.lastCloudyTime = now;
    state_.lastVCloudyTime = now;

    if (beforeFirstPoll) {
        beforeFirstPoll();
    }
    RefreshStatus();
}

// A program started under a sky that is already bad (or good) does not
// raise the alarm for the state it found.
void Monitor::ShowInitialStatus(const std::string& statusString)
{
    const bool good =
        statusString == "CLEAR" || (statusString == "CLOUDY" && settings_.cloudyAsClear);
    const bool bad =
        statusString == "V.CLOUDY" || (statusString == "CLOUDY" && !settings_.cloudyAsClear);
    if (bad) {
        ShowStatus(ShownStatus::Unsafe);
        state_.unsafeAlarmArmed = false;
    } else if (good) {
        ShowStatus(ShownStatus::Safe);
        state_.safeAlarmArmed = false;
    }
}

void Monitor::ShowStatus(ShownStatus status)
{
    MainDisplay& display = ports_.display;
    switch (status) {
        case ShownStatus::Safe:
            display.SetStatusCaption(StatusCaption(ShownStatus::Safe));
            display.SetStatusColour(kGreen);
            break;
        case ShownStatus::Unsafe:
            display.SetStatusCaption(StatusCaption(ShownStatus::Unsafe));
            display.SetStatusColour(kRed);
            break;
        case ShownStatus::Unknown:
            display.SetStatusCaption(StatusCaption(ShownStatus::Unknown));
            display.SetStatusColour(kRed);
            break;
        case ShownStatus::Pending:
            break;  // only the window's design shows it
    }
    if (status != shownStatus_) {
        shownStatus_ = status;
        statusSince_ = ports_.clock.Now();
    }
}

void Monitor::ShowCondition(const std::string& caption, Colour colour)
{
    ports_.display.SetConditionCaption(caption);
    ports_.display.SetConditionColour(colour);
    if (caption != shownCondition_) {
        shownCondition_ = caption;
        // A condition dates from the sensor's reading; UNKNOWN from when it was seen.
        conditionSince_ = caption == "UNKNOWN" ? ports_.clock.Now() : state_.lastStatusTime;
    }
}

void Monitor::RefreshStatus()
{
    MainDisplay& display = ports_.display;
    const MonitorState before = state_;

    std::string statusString;
    PollReport report;
    report.read = ports_.status.LoadStatus(settings_.statusPath, statusString, state_.lastStatusTime);
    TrackCondition(statusString);

    const std::int16_t sinceClear = MinutesSince(state_.lastClearTime);
    display.SetMinsSinceClearText(std::to_string(sinceClear));
    const std::int16_t sinceCloudy = MinutesSince(state_.lastCloudyTime);
    display.SetMinsSinceCloudyText(std::to_string(sinceCloudy));
    const std::int16_t sinceVCloudy = MinutesSince(state_.lastVCloudyTime);
    display.SetMinsSinceVCloudyText(std::to_string(sinceVCloudy));
    report.minsSinceClear = sinceClear;
    report.minsSinceCloudy = sinceCloudy;
    report.minsSinceVCloudy = sinceVCloudy;

    // Each count reads the clock anew, as the window always has.
    std::int16_t minutesSinceGood = 0;
    std::int16_t minutesSinceBad = 0;
    if (settings_.cloudyAsClear) {
        minutesSinceBad = MinutesSince(state_.lastVCloudyTime);
        minutesSinceGood =
            getMin(MinutesSince(state_.lastCloudyTime), MinutesSince(state_.lastClearTime));
    } else {
        minutesSinceBad =
            getMin(MinutesSince(state_.lastVCloudyTime), MinutesSince(state_.lastCloudyTime));
        minutesSinceGood = MinutesSince(state_.lastClearTime);
    }

    if (minutesSinceGood >= settings_.timeToUnsafe) {
        ShowStatus(ShownStatus::Unsafe);
        SafetyLatchStep(Verdict::Unsafe, state_, settings_, display);
    } else if (minutesSinceBad >= settings_.timeToSafe) {
        ShowStatus(ShownStatus::Safe);
        SafetyLatchStep(Verdict::Safe, state_, settings_, display);
    }

    report.feedFresh = MinutesSince(state_.lastStatusTime) <= kStaleAfterMinutes;
    if (!report.feedFresh) {
        ShowCondition("UNKNOWN", kRed);
        ShowStatus(ShownStatus::Unknown);
        FeedLatchStep(Feed::Stale, state_, display);
    } else {
        FeedLatchStep(Feed::Fresh, state_, display);
    }

    Annunciate(state_, display, alarmSound_);

    report.conditionRead =
        statusString == "CLEAR" || statusString == "CLOUDY" || statusString == "V.CLOUDY";
    Report(std::move(report), before);
}

void Monitor::Report(PollReport report, const MonitorState& before)
{
    if (state_.lastStatusTime != stampSeen_) {
        stampSeen_ = state_.lastStatusTime;
        stampChangedAt_ = ports_.clock.Now();
        stampEverRead_ = true;
    }
    if (ports_.listeners.empty()) {
        return;
    }
    report.at = ports_.clock.Now();
    report.condition = shownCondition_;
    report.conditionSince = conditionSince_;
    report.status = shownStatus_;
    report.statusSince = statusSince_;
    report.stampChanging = MinutesSince(stampChangedAt_) <= kStaleAfterMinutes;
    report.stampEverRead = stampEverRead_;
    report.lastStatusTime = state_.lastStatusTime;
    // Raising is the only way an alarm turns active.
    report.active = {state_.safeAlarmActive, state_.unsafeAlarmActive, state_.commsAlarmActive};
    report.raised = {report.active.safe && !before.safeAlarmActive,
                     report.active.unsafe && !before.unsafeAlarmActive,
                     report.active.comms && !before.commsAlarmActive};
    for (MonitorListener* listener : ports_.listeners) {
        listener->PollEnded(report);
    }
}

void Monitor::TrackCondition(const std::string& statusString)
{
    if (statusString == "CLEAR") {
        ShowCondition("CLEAR", kGreen);
        state_.lastClearTime = state_.lastStatusTime;
    }
    if (statusString == "CLOUDY") {
        ShowCondition("CLOUDY", kOrange);
        state_.lastCloudyTime = state_.lastStatusTime;
    }
    if (statusString == "V.CLOUDY") {
        ShowCondition("V.CLOUDY", kRed);
        state_.lastVCloudyTime = state_.lastStatusTime;
    }
}

std::int16_t Monitor::MinutesSince(LocalTime time)
{
    return MinutesBetween(time, ports_.clock.Now());
}

void Monitor::AlarmButton_Click()
{
    const Alarms silenced{state_.safeAlarmActive, state_.unsafeAlarmActive, state_.commsAlarmActive};
    SilenceAlarms(state_, ports_.display);
    if (silenced.Any()) {
        const LocalTime now = ports_.clock.Now();
        for (MonitorListener* listener : ports_.listeners) {
            listener->AlarmsCancelled(now, silenced);
        }
    }
}

}  // namespace nortavi
