// SPDX-License-Identifier: MIT
// A long night through the real main window, sped up: thousands of polls on
// a hand-set clock while the sky, the feed and the alarms keep changing, and
// what the process holds of the system after the first of them and at the
// end. bench/long-night.sh runs the same night for 100,000 polls.
#include "LongNight.h"
#include "MainWindowFixture.h"
#include "ProcessUse.h"

#include <QCoreApplication>
#include <QFile>
#include <QPushButton>
#include <QtGlobal>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// A whole cycle of the night: every caption, colour and alarm has been
// shown once, so that what Qt caches on first use (fonts, glyphs, palettes)
// is in place before the count starts.
constexpr long kWarmUpPolls = 500;
constexpr long kCiPolls = 3000;
// Resident memory moves by whole pages and as the allocator keeps or hands
// back its free blocks; a leak of 100 bytes a poll adds 300 KB over the
// CI's polls.
constexpr long kResidentSlackKib = 192;

// Every warning Qt gives while the window runs: Qt tells of a misused
// widget, a painter left open or a timer on the wrong thread only there.
class QtWarnings {
public:
    QtWarnings() { previous_ = qInstallMessageHandler(&Record); }
    QtWarnings(const QtWarnings&) = delete;
    QtWarnings& operator=(const QtWarnings&) = delete;
    ~QtWarnings() { qInstallMessageHandler(previous_); }

    static std::vector<std::string>& Seen()
    {
        static std::vector<std::string> seen;
        return seen;
    }

private:
    static void Record(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        if (type != QtDebugMsg && type != QtInfoMsg) {
            Seen().push_back(message.toStdString());
        }
    }

    QtMessageHandler previous_ = nullptr;
};

}  // namespace

using LongNightTest = MainWindowFixture;

TEST_F(LongNightTest, PollsWithTheSkyAndTheAlarmsChangingLeaveNothingBehind)
{
    QtWarnings::Seen().clear();
    const QtWarnings warnings;
    WriteConfig("timeToSafe,15\r\ntimeToUnsafe,5\r\ncloudyAsClear,False\r\n"
                "alarmOnSafe,True\r\nalarmOnUnsafe,True\r\n");
    WriteStatus("CLEAR");
    nortavi::CountingSound sound;
    frmMain& form = Open(&sound);
    // The polls come from the hand-set clock alone: the real timer would
    // add some at wall-clock times.
    Timer1()->stop();
    form.show();
    auto* alarmButton = Control<QPushButton>("AlarmButton");
    ASSERT_NE(alarmButton, nullptr);

    nortavi::LongNight night;
    const auto poll = [&] {
        clock_.Advance(nortavi::LongNight::kPollInterval);
        const nortavi::LongNight::SensorStep step = night.Next(clock_.Now());
        if (step.action == nortavi::LongNight::SensorStep::Action::Write) {
            WriteFile(QStringLiteral("status.txt"), QByteArray::fromStdString(step.bytes));
        } else if (step.action == nortavi::LongNight::SensorStep::Action::Remove) {
            QFile::remove(QString::fromStdString(StatusPath()));
        }
        Tick();
        QCoreApplication::processEvents();  // repaints what the poll changed
        night.Saw(Caption("StatusField").toStdString(), Caption("AlarmButton").toStdString(),
                  alarmButton->isEnabled());
        if (night.PressAlarmButton(alarmButton->isEnabled())) {
            alarmButton->click();
            QCoreApplication::processEvents();
        }
    };

    const auto [polls, seconds, atStart, atEnd] =
        nortavi::MeasurePolls(poll, kWarmUpPolls, kCiPolls);

    std::printf("long night, Qt window: %ld polls after %ld in %.1f s; resident %ld -> %ld KiB "
                "(%+ld); descriptors %ld -> %ld\n",
                polls, kWarmUpPolls, seconds, atStart.residentKib, atEnd.residentKib,
                atEnd.residentKib - atStart.residentKib, atStart.handles, atEnd.handles);
    ExpectAWholeNight(night, sound);

    // Fewer is fine: Qt's pool threads end after 30 idle seconds and close
    // their event descriptors.
    EXPECT_LE(atEnd.handles, atStart.handles) << "descriptors left open by the polls";
    if (!kUnderAddressSanitizer) {
        EXPECT_LT(atEnd.residentKib - atStart.residentKib, kResidentSlackKib)
            << "resident memory grew over " << polls << " polls";
    }
    const std::vector<std::string>& seen = QtWarnings::Seen();
    std::string firstFew;
    for (std::size_t i = 0; i < seen.size() && i < 5; ++i) {
        firstFew += "\n  " + seen[i];
    }
    EXPECT_TRUE(seen.empty()) << "Qt warned " << seen.size() << " times:" << firstFew;
}
