// SPDX-License-Identifier: MIT
#include "AlarmLatches.h"

namespace nortavi {

void SafetyLatchStep(Verdict verdict, MonitorState& state, const Settings& settings,
                     MainDisplay& display)
{
    if (verdict == Verdict::Safe) {
        state.unsafeAlarmArmed = true;
        state.unsafeAlarmActive = false;
        if (state.safeAlarmArmed && settings.alarmOnSafe) {
            state.safeAlarmActive = true;
            display.SetAlarmButtonCaption("Cancel Safe Alarm");
            state.safeAlarmArmed = false;
        }
        return;
    }
    if (state.unsafeAlarmArmed && settings.alarmOnUnsafe) {
        state.unsafeAlarmActive = true;
        display.SetAlarmButtonCaption("Cancel Unsafe Alarm");
        state.unsafeAlarmArmed = false;
    }
    state.safeAlarmArmed = true;
    state.safeAlarmActive = false;
}

void FeedLatchStep(Feed feed, MonitorState& state, MainDisplay& display)
{
    if (feed == Feed::Fresh) {
        state.commsAlarmActive = false;
        state.commsAlarmArmed = true;
        return;
    }
    if (state.commsAlarmArmed) {
        state.commsAlarmActive = true;
        display.SetAlarmButtonCaption("Cancel Comms Alarm");
        state.commsAlarmArmed = false;
    }
}

void Annunciate(const MonitorState& state, MainDisplay& display, AlarmSound& alarmSound)
{
    if (!state.safeAlarmActive && !state.unsafeAlarmActive && !state.commsAlarmActive) {
        display.SetAlarmButtonEnabled(false);
        return;
    }
    display.SetAlarmButtonEnabled(true);
    // The file is looked for afresh each time, so a wave file added or
    // removed while the program runs is taken up at the next poll. The
    // user's own folder comes second: an installed program's folder is not
    // the user's to add files to.
    for (const std::string* folder : {&alarmSound.programFolder, &alarmSound.userFolder}) {
        if (folder->empty()) {
            continue;
        }
        const std::string wavePath = *folder + "alarm.wav";
        if (alarmSound.files.FileExists(wavePath)) {
            alarmSound.sound.PlayWaveAsync(wavePath);
            return;
        }
    }
    for (int hz = kSweepFirstHz; hz <= kSweepLastHz; hz += kSweepStepHz) {
        alarmSound.sound.PlayTone(hz, kSweepToneMs);
    }
}

void SilenceAlarms(MonitorState& state, MainDisplay& display)
{
    state.unsafeAlarmActive = false;
    state.safeAlarmActive = false;
    state.commsAlarmActive = false;
    display.SetAlarmButtonEnabled(false);
    display.SetAlarmButtonCaption("Cancel Alarm");
}

}  // namespace nortavi
