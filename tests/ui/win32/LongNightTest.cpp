// SPDX-License-Identifier: MIT
// A long night through the real Win32 main window, sped up: thousands of
// polls on a hand-set clock while the sky, the feed and the alarms keep
// changing, and what the process holds of the system after the first of
// them and at the end. bench/long-night.sh runs the same night for 100,000
// polls.
#include "LongNight.h"
#include "ProcessUse.h"
#include "Win32FormFixture.h"

#include <cstdio>

namespace {

// A whole cycle of the night: every caption, colour and alarm has been
// shown and painted once, each font made, before the count starts.
constexpr long kWarmUpPolls = 500;
// Fewer than on Linux: under wine each poll costs several round trips to
// the wine server, milliseconds on a busy machine. The handle and object
// counts are exact whatever the number.
constexpr long kCiPolls = 2000;
// The working set moves by whole pages; a leak of 100 bytes a poll adds
// 200 KB over the CI's polls.
constexpr long kResidentSlackKib = 160;

}  // namespace

using LongNightWin32Test = Win32FormFixture;

TEST_F(LongNightWin32Test, PollsWithTheSkyAndTheAlarmsChangingLeaveNothingBehind)
{
    WriteConfig("timeToSafe,15\r\ntimeToUnsafe,5\r\ncloudyAsClear,False\r\n"
                "alarmOnSafe,True\r\nalarmOnUnsafe,True\r\n");
    WriteStatus("CLEAR");
    nortavi::CountingSound sound;
    Open(&sound);
    // The polls come from the hand-set clock alone: the real timer would
    // add some at wall-clock times.
    KillTimer(Main(), MainId::Timer1);
    ShowWindow(Main(), SW_SHOWNOACTIVATE);
    const HWND status = MainControl(MainId::StatusField);
    const HWND alarmButton = MainControl(MainId::AlarmButton);

    nortavi::LongNight night;
    const std::string statusPath = folder_.File("status.txt");
    const auto poll = [&] {
        clock_.Advance(nortavi::LongNight::kPollInterval);
        const nortavi::LongNight::SensorStep step = night.Next(clock_.Now());
        if (step.action == nortavi::LongNight::SensorStep::Action::Write) {
            folder_.Write("status.txt", step.bytes);
        } else if (step.action == nortavi::LongNight::SensorStep::Action::Remove) {
            DeleteFileA(statusPath.c_str());
        }
        Tick();
        Pump();  // repaints what the poll changed
        night.Saw(Text(status), Text(alarmButton), IsWindowEnabled(alarmButton) != FALSE);
        if (night.PressAlarmButton(IsWindowEnabled(alarmButton) != FALSE)) {
            SendMessageW(alarmButton, BM_CLICK, 0, 0);
            Pump();
        }
    };

    const auto [polls, seconds, atStart, atEnd] =
        nortavi::MeasurePolls(poll, kWarmUpPolls, kCiPolls);

    std::printf("long night, Win32 window: %ld polls after %ld in %.1f s; working set %ld -> %ld "
                "KiB (%+ld); handles %ld -> %ld; GDI objects %ld -> %ld; USER objects %ld -> %ld\n",
                polls, kWarmUpPolls, seconds, atStart.residentKib, atEnd.residentKib,
                atEnd.residentKib - atStart.residentKib, atStart.handles, atEnd.handles,
                atStart.gdiObjects, atEnd.gdiObjects, atStart.userObjects, atEnd.userObjects);
    ExpectAWholeNight(night, sound);

    // Fewer is fine: a thread of wine's or the system's may have ended.
    EXPECT_LE(atEnd.handles, atStart.handles) << "handles left open by the polls";
    EXPECT_LE(atEnd.gdiObjects, atStart.gdiObjects) << "fonts or brushes left behind";
    EXPECT_LE(atEnd.userObjects, atStart.userObjects) << "windows left behind";
    EXPECT_LT(atEnd.residentKib - atStart.residentKib, kResidentSlackKib)
        << "the working set grew over " << polls << " polls";
}
