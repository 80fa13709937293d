// SPDX-License-Identifier: MIT
// The real main window, driven through its timer, its buttons and the
// keyboard, on real status and config files.
#include "MainWindowFixture.h"
#include "NortaviVersion.h"
#include "frmMainDesign.h"

#include <QDialog>
#include <QDir>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>


#include <chrono>
#include <vector>

using namespace std::chrono_literals;

namespace {

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kOrange(255, 128, 0);
const QColor kBlack(0, 0, 0);

// 91 tones, 100 Hz to 1000 Hz: the sweep that stands in for a missing alarm.wav.
constexpr std::size_t kSweepTones = 91;

}  // namespace

using frmMainTest = MainWindowFixture;

TEST_F(frmMainTest, FirstStartShowsUnknownAndRaisesTheCommsAlarmBeforeTheWindowIsShown)
{
    // No config.ini and no status file: the status path is the program
    // folder, which names no file, so the feed is stale from the first poll.
    frmMain& form = Open();

    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(Caption("ConditionField"), "UNKNOWN");
    EXPECT_EQ(TextColour("ConditionField"), kRed);
    EXPECT_EQ(Caption("StatusField"), "UNKNOWN");
    EXPECT_EQ(TextColour("StatusField"), kRed);
    EXPECT_TRUE(AlarmButtonEnabled());
    EXPECT_EQ(Caption("AlarmButton"), "Cancel Comms Alarm");
    EXPECT_EQ(Caption("MinsSinceClearField"), "0");
    EXPECT_EQ(Caption("MinsSinceCloudyField"), "0");
    EXPECT_EQ(Caption("MinsSinceVCloudyField"), "0");
    EXPECT_EQ(sound_.tonesPlayed.size(), kSweepTones);
    EXPECT_EQ(settings_.statusPath, Folder());
    EXPECT_EQ(Timer1()->interval(), 5000);
    EXPECT_TRUE(Timer1()->isActive());
}

struct StartCase {
    const char* name;
    const char* cloudyAsClear;
    const char* condition;
    std::chrono::seconds age;
    const char* conditionCaption;
    QColor conditionColour;
    const char* statusCaption;
    QColor statusColour;
    bool alarmEnabled;
    const char* alarmCaption;
};

class frmMainStartTest : public MainWindowFixture, public ::testing::WithParamInterface<StartCase> {};

TEST_P(frmMainStartTest, FirstPollShowsTheSkyFoundAtStartWithoutAlarmingForIt)
{
    const StartCase& c = GetParam();
    WriteConfig(QByteArray("timeToSafe,15\r\ntimeToUnsafe,5\r\ncloudyAsClear,") + c.cloudyAsClear +
                "\r\nalarmOnSafe,True\r\nalarmOnUnsafe,True\r\n");
    WriteStatus(c.condition, c.age);
    Open();

    EXPECT_EQ(Caption("ConditionField"), c.conditionCaption);
    EXPECT_EQ(TextColour("ConditionField"), c.conditionColour);
    EXPECT_EQ(Caption("StatusField"), c.statusCaption);
    EXPECT_EQ(TextColour("StatusField"), c.statusColour);
    EXPECT_EQ(AlarmButtonEnabled(), c.alarmEnabled);
    EXPECT_EQ(Caption("AlarmButton"), c.alarmCaption);
    EXPECT_EQ(!sound_.tonesPlayed.empty(), c.alarmEnabled);
}

INSTANTIATE_TEST_SUITE_P(
    Skies, frmMainStartTest,
    ::testing::Values(
        StartCase{"ClearIsSafe", "False", "CLEAR", 0s, "CLEAR", kGreen, "SAFE", kGreen, false,
                  "Cancel Alarm"},
        StartCase{"VCloudyIsUnsafe", "False", "V.CLOUDY", 0s, "V.CLOUDY", kRed, "UNSAFE", kRed, false,
                  "Cancel Alarm"},
        StartCase{"CloudyCountsAsBad", "False", "CLOUDY", 0s, "CLOUDY", kOrange, "UNSAFE", kRed,
                  false, "Cancel Alarm"},
        StartCase{"CloudyCountsAsClear", "True", "CLOUDY", 0s, "CLOUDY", kOrange, "SAFE", kGreen,
                  false, "Cancel Alarm"},
        StartCase{"LowerCaseWordIsNoCondition", "False", "clear", 0s, "UNKNOWN", kRed, "PENDING",
                  kBlack, false, "Cancel Alarm"},
        StartCase{"StaleClearIsUnknown", "False", "CLEAR", 151s, "UNKNOWN", kRed, "UNKNOWN", kRed,
                  true, "Cancel Comms Alarm"}),
    [](const ::testing::TestParamInfo<StartCase>& param) { return std::string(param.param.name); });

// A dark palette is the user's wish for the desktop's own look: PENDING's
// black gives way to the palette's text colour, red stands out and stays,
// and back in the light look every colour is as specified.
TEST_F(frmMainTest, InADarkPalettePendingTakesThePalettesTextColour)
{
    WriteConfig();
    WriteStatus("clear");  // no condition: PENDING
    Open();
    ASSERT_EQ(Caption("StatusField"), "PENDING");
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(32, 32, 32));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    QApplication::setPalette(dark);
    QCoreApplication::processEvents();  // the windows hear of it from the event loop
    const QColor pending = TextColour("StatusField");
    const QColor unknown = TextColour("ConditionField");
    QApplication::setPalette(light);
    QCoreApplication::processEvents();

    EXPECT_EQ(pending, QColor(230, 230, 230));
    EXPECT_EQ(unknown, kRed);
    EXPECT_EQ(TextColour("StatusField"), kBlack);
}

TEST_F(frmMainTest, SkyTurningBadRaisesTheUnsafeAlarmAndEnterSilencesIt)
{
    WriteConfig();
    WriteStatus("CLEAR");
    Open();
    ASSERT_EQ(Caption("StatusField"), "SAFE");

    // V.CLOUDY from now on, each poll with a fresh time stamp: the status
    // holds until five minutes have passed without a good reading.
    for (int poll = 0; poll < 5 * 12; ++poll) {
        clock_.Advance(5s);
        WriteStatus("V.CLOUDY");
        Tick();
        if (Caption("StatusField") == "UNSAFE") {
            break;
        }
    }
    EXPECT_EQ(Caption("ConditionField"), "V.CLOUDY");
    EXPECT_EQ(TextColour("ConditionField"), kRed);
    EXPECT_EQ(Caption("StatusField"), "UNSAFE");
    EXPECT_EQ(TextColour("StatusField"), kRed);
    EXPECT_EQ(Caption("MinsSinceClearField"), "5");
    EXPECT_EQ(Caption("MinsSinceVCloudyField"), "0");
    EXPECT_TRUE(AlarmButtonEnabled());
    EXPECT_EQ(Caption("AlarmButton"), "Cancel Unsafe Alarm");

    // Enter in a text box presses the window's default button.
    QTest::keyClick(Control<QLineEdit>("MinsSinceCloudyField"), Qt::Key_Return);
    EXPECT_FALSE(AlarmButtonEnabled());
    EXPECT_EQ(Caption("AlarmButton"), "Cancel Alarm");

    // Silenced for good while the sky stays bad.
    sound_.Clear();
    WriteStatus("V.CLOUDY");
    TickAfter(5s);
    EXPECT_FALSE(AlarmButtonEnabled());
    EXPECT_TRUE(sound_.tonesPlayed.empty());
}

TEST_F(frmMainTest, EnterWithNothingToCancelChangesNothing)
{
    WriteConfig();
    WriteStatus("CLEAR");
    Open();
    ASSERT_FALSE(AlarmButtonEnabled());

    QTest::keyClick(Control<QLineEdit>("MinsSinceClearField"), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(AlarmButtonEnabled());
    EXPECT_EQ(Caption("StatusField"), "SAFE");
}

TEST_F(frmMainTest, MinuteFieldsAreEditableButEachPollOverwritesThem)
{
    WriteConfig();
    WriteStatus("CLEAR");
    Open();
    auto* field = Control<QLineEdit>("MinsSinceCloudyField");
    ASSERT_FALSE(field->isReadOnly());
    QTest::keyClicks(field, "42");
    ASSERT_EQ(field->text(), "042");

    WriteStatus("CLEAR");
    TickAfter(3min);
    EXPECT_EQ(field->text(), "3");
}

TEST_F(frmMainTest, TabVisitsTheFieldsAndButtonsInTheWindowsOrder)
{
    const std::vector<QString> withAlarm{"MinsSinceClearField", "MinsSinceCloudyField",
                                         "SetupButton",        "AboutButton",
                                         "MinsSinceVCloudyField", "AlarmButton",
                                         "MinsSinceClearField"};
    std::vector<QString> withoutAlarm = withAlarm;
    withoutAlarm.erase(withoutAlarm.end() - 2);  // a disabled button takes no focus

    frmMain& form = Open();  // first start: the comms alarm enables the button
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));

    // Tab from the focused control until the focus comes back round.
    const auto tabOrder = [] {
        std::vector<QString> visited{QApplication::focusWidget()->objectName()};
        for (int i = 0; i < 8; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited.push_back(QApplication::focusWidget()->objectName());
            if (visited.back() == visited.front()) {
                break;
            }
        }
        return visited;
    };
    EXPECT_EQ(tabOrder(), withAlarm);

    QTest::mouseClick(Control<QPushButton>("AlarmButton"), Qt::LeftButton);
    ASSERT_FALSE(AlarmButtonEnabled());
    Control<QWidget>("MinsSinceClearField")->setFocus();
    EXPECT_EQ(tabOrder(), withoutAlarm);
}

TEST_F(frmMainTest, AboutShowsTheCreditAndVersionWithOnlyAnOkButton)
{
    Open();
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
    AnswerNextModal([&](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            title = box->windowTitle();
            text = box->text();
            buttons = box->standardButtons();
            box->button(QMessageBox::Ok)->click();
        }
    });
    Control<QPushButton>("AboutButton")->click();

    EXPECT_EQ(title, "Nortavi");
    EXPECT_EQ(text, QStringLiteral("Nortavi by the Nortavi developers (https://nortavi.invalid) - Version ") +
                        QLatin1String(nortavi::ui::kVersionText));
    EXPECT_EQ(buttons, QMessageBox::Ok);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(frmMainTest, PollsGoOnWhileTheAboutBoxIsOpen)
{
    WriteConfig();
    WriteStatus("CLEAR");
    Open();
    Timer1()->setInterval(10);  // the real five seconds would only slow the test

    QString seenWhileOpen;
    AnswerNextModal([&](QWidget*) {
        WriteStatus("V.CLOUDY");
        (void)QTest::qWaitFor([&] { return Caption("ConditionField") == "V.CLOUDY"; }, 5000);
        seenWhileOpen = Caption("ConditionField");
    });
    Control<QPushButton>("AboutButton")->click();

    EXPECT_EQ(seenWhileOpen, "V.CLOUDY");
}

TEST_F(frmMainTest, ClosingClosesAnOpenModalFirstAndStillSaves)
{
    frmMain& form = Open();
    form.show();
    bool closed = false;
    bool aboutStillOpen = true;
    AnswerNextModal([&](QWidget* about) {
        closed = form.close();
        aboutStillOpen = about->isVisible();
    });
    Control<QPushButton>("AboutButton")->click();

    EXPECT_TRUE(closed);
    EXPECT_FALSE(aboutStillOpen);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(ReadFile("config.ini").startsWith("statusPath,"));
}

TEST_F(frmMainTest, ASaveThatFailsIsReportedAndClosingStillProceeds)
{
    // A folder where config.ini should be: no one can replace it, root
    // included.
    ASSERT_TRUE(QDir(dir_.path()).mkdir("config.ini"));
    frmMain& form = Open();
    form.show();

    QString warning;
    AnswerNextModal([&](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            warning = box->text();
        }
    });
    EXPECT_TRUE(form.close());

    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(warning.startsWith("The settings could not be saved to ")) << warning.toStdString();
    EXPECT_TRUE(warning.contains(QString::fromStdString(Folder() + "config.ini")));
}

TEST_F(frmMainTest, WindowIsFixedSizeWithMinimiseButNoMaximise)
{
    frmMain& form = Open();
    EXPECT_EQ(form.windowTitle(), "Nortavi");
    EXPECT_EQ(form.minimumSize(), QSize(308, 509));  // 4620 x 7635 twips
    EXPECT_EQ(form.maximumSize(), QSize(308, 509));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
}

TEST_F(frmMainTest, EveryControlIsThereUnderItsOwnName)
{
    Open();
    const std::vector<std::pair<const char*, const char*>> controls{
        {"Label1", "QLabel"},        {"MinsSinceClearField", "QLineEdit"},
        {"Label2", "QLabel"},        {"MinsSinceCloudyField", "QLineEdit"},
        {"Label3", "QLabel"},        {"MinsSinceVCloudyField", "QLineEdit"},
        {"Line3", "QFrame"},         {"Label4", "QLabel"},
        {"ConditionField", "QLabel"}, {"Line1", "QFrame"},
        {"Label5", "QLabel"},        {"StatusField", "QLabel"},
        {"SetupButton", "QPushButton"}, {"AboutButton", "QPushButton"},
        {"AlarmButton", "QPushButton"}, {"Line2", "QFrame"},
        {"Timer1", "QTimer"}};
    for (const auto& [name, kind] : controls) {
        const QObject* control = form_->findChild<QObject*>(QLatin1String(name));
        ASSERT_NE(control, nullptr) << name;
        EXPECT_STREQ(control->metaObject()->className(), kind) << name;
    }
    EXPECT_TRUE(Control<QPushButton>("AlarmButton")->isDefault());
}

TEST_F(frmMainTest, OnlyTheBigCaptionsHaveColoursOfTheirOwn)
{
    // A dark theme: light text on a dark ground.
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::WindowText, Qt::white);
    QApplication::setPalette(dark);
    Open();
    const QColor label = TextColour("Label4");
    const QColor status = TextColour("StatusField");
    QApplication::setPalette(light);

    EXPECT_EQ(label, QColor(Qt::white));
    EXPECT_EQ(status, kRed);  // first start: UNKNOWN
}

// The stand-in font on Linux must not cut any caption short.
TEST_F(frmMainTest, EveryCaptionFitsItsControl)
{
    frmMain& form = Open();
    for (QLabel* label : form.findChildren<QLabel*>()) {
        if (label->objectName() == "ConditionField" || label->objectName() == "StatusField") {
            continue;
        }
        EXPECT_LE(QFontMetricsF(label->font()).horizontalAdvance(label->text()), label->width())
            << label->objectName().toStdString();
    }

    const auto fits = [](const QWidget* field, const QString& caption, int room) {
        const QFontMetricsF metrics(field->font());
        return metrics.horizontalAdvance(caption) <= room && metrics.ascent() <= field->height();
    };
    auto* condition = Control<QLabel>("ConditionField");
    for (const char* caption : {"UNKNOWN", "CLEAR", "CLOUDY", "V.CLOUDY"}) {
        form.SetCaption(nortavi::forms::frmMainId::ConditionField, caption);
        EXPECT_TRUE(fits(condition, caption, condition->width())) << caption;
        // Room to spare at the design size: the 36-point font is kept.
        EXPECT_EQ(condition->font().pointSizeF(), 36.0) << caption;
    }
    auto* status = Control<QLabel>("StatusField");
    for (const char* caption : {"PENDING", "SAFE", "UNSAFE", "UNKNOWN"}) {
        form.SetCaption(nortavi::forms::frmMainId::StatusField, caption);
        EXPECT_TRUE(fits(status, caption, status->width())) << caption;
    }
    auto* alarm = Control<QPushButton>("AlarmButton");
    for (const char* caption :
         {"Cancel Alarm", "Cancel Safe Alarm", "Cancel Unsafe Alarm", "Cancel Comms Alarm"}) {
        form.SetCaption(nortavi::forms::frmMainId::AlarmButton, caption);
        // Inside the bevel: the button's own frame takes a few pixels a side.
        EXPECT_TRUE(fits(alarm, caption, alarm->width() - 8)) << caption;
    }
}
