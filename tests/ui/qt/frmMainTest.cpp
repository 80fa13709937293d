// SPDX-License-Identifier: MIT
// The real main window, driven through its timer, its buttons and the
// keyboard, on real status and config files.
#include "MainWindowFixture.h"
#include "NortaviVersion.h"
#include "ReentrantSound.h"
#include "SaveFaults.h"
#include "frmMainDesign.h"

#include <QDialog>
#include <QDir>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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

QByteArray ConfigBytes(const std::string& statusPath, const char* rest)
{
    return "statusPath," + QByteArray::fromStdString(statusPath) + "\r\n" + rest;
}

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

TEST_F(frmMainTest, ATickDuringASweepDoesNotStartASecondPoll)
{
    ReentrantSound sound;
    Open(&sound);  // first start: the comms alarm sounds at every poll
    ASSERT_TRUE(AlarmButtonEnabled());

    int ticks = 0;
    QObject counter;
    QObject::connect(Timer1(), &QTimer::timeout, &counter, [&ticks] { ++ticks; });
    Timer1()->setInterval(1);
    sound.waitMs = 20;
    Tick();

    EXPECT_GT(ticks, 1) << "no tick arrived during the sweep; the test proved nothing";
    EXPECT_EQ(sound.deepest, 1);
}

TEST_F(frmMainTest, ClosingWritesConfigIniByteForByte)
{
    // Values read by position; a flag spelt otherwise than "True" is false.
    WriteFile("config.ini", ConfigBytes(StatusPath(), "key,-7\r\ntimeToUnsafe,32767\r\n"
                                                      "cloudyAsClear,True\r\nalarmOnSafe,true\r\n"
                                                      "alarmOnUnsafe,False\r\nextra,line\r\n"));
    frmMain& form = Open();
    EXPECT_TRUE(form.close());

    EXPECT_EQ(ReadFile("config.ini"),
              ConfigBytes(StatusPath(), "timeToSafe,-7\r\ntimeToUnsafe,32767\r\ncloudyAsClear,True\r\n"
                                        "alarmOnSafe,False\r\nalarmOnUnsafe,False\r\n"));
    EXPECT_FALSE(Timer1()->isActive());
}

namespace {

// A port nothing listens on now, of the given socket type.
std::uint16_t FreePort(int type)
{
    const int probe = ::socket(AF_INET, type, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(probe);
    return ntohs(address.sin_port);
}

// One HTTP/1.0 exchange on loopback; the whole answer.
std::string Http(std::uint16_t port, const std::string& request)
{
    const int connection = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    std::string answer;
    if (::connect(connection, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::send(connection, request.data(), request.size(), 0) == static_cast<ssize_t>(request.size())) {
        char buffer[4096];
        for (ssize_t got = 0; (got = ::recv(connection, buffer, sizeof buffer, 0)) > 0;) {
            answer.append(buffer, static_cast<std::size_t>(got));
        }
    }
    ::close(connection);
    return answer;
}

}  // namespace

TEST_F(frmMainTest, TellsObservatorySoftwareWhatItShows)
{
    const std::uint16_t port = FreePort(SOCK_STREAM);
    const QByteArray publication = "alpacaServer,True\r\nalpacaPort," + QByteArray::number(port) +
                                   "\r\nalpacaAllowRemote,False\r\nalpacaDiscoveryPort," +
                                   QByteArray::number(FreePort(SOCK_DGRAM)) + "\r\nalpacaUniqueId,\r\n";
    WriteConfig("timeToSafe,15\r\ntimeToUnsafe,5\r\ncloudyAsClear,False\r\nalarmOnSafe,False\r\n"
                "alarmOnUnsafe,True\r\n" + publication);
    WriteStatus("CLEAR");
    frmMain& form = Open();  // SAFE, from a fresh CLEAR
    ASSERT_EQ(Caption("StatusField"), "SAFE");
    const std::string isSafe = "GET /api/v1/safetymonitor/0/issafe HTTP/1.0\r\n\r\n";
    Http(port, "PUT /api/v1/safetymonitor/0/connect HTTP/1.0\r\nContent-Length: 0\r\n\r\n");
    EXPECT_NE(Http(port, isSafe).find("\"Value\":true"), std::string::npos);

    TickAfter(151s);  // the sensor stopped writing: UNKNOWN
    ASSERT_EQ(Caption("StatusField"), "UNKNOWN");
    EXPECT_NE(Http(port, isSafe).find("\"Value\":false"), std::string::npos);

    // The unique id made at start is kept.
    EXPECT_TRUE(form.close());
    const QByteArray saved = ReadFile("config.ini");
    EXPECT_TRUE(saved.contains("alpacaServer,True\r\nalpacaPort," + QByteArray::number(port)));
    EXPECT_EQ(saved.mid(saved.indexOf("alpacaUniqueId,") + 15).trimmed().size(), 36) << saved.toStdString();
}

TEST_F(frmMainTest, APortInUseIsToldOnceAndTheWindowWorksOn)
{
    // Another program holds the port.
    const int other = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ASSERT_EQ(::bind(other, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(other, 1), 0);
    ::getsockname(other, reinterpret_cast<sockaddr*>(&address), &size);
    WriteConfig("timeToSafe,15\r\ntimeToUnsafe,5\r\ncloudyAsClear,False\r\nalarmOnSafe,False\r\n"
                "alarmOnUnsafe,True\r\nalpacaServer,True\r\nalpacaPort," +
                QByteArray::number(ntohs(address.sin_port)) + "\r\n");
    WriteStatus("CLEAR");
    Open();
    int told = 0;
    QString text;
    AnswerNextModal([&](QWidget* modal) {
        ++told;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            text = box->text();
        }
    });
    QTest::qWait(100);
    ::close(other);
    EXPECT_EQ(told, 1);
    EXPECT_TRUE(text.contains("could not be opened")) << text.toStdString();
    TickAfter(5s);
    EXPECT_EQ(Caption("StatusField"), "SAFE");
}

TEST_F(frmMainTest, FirstCloseCreatesConfigIniWithTheDefaults)
{
    frmMain& form = Open();
    EXPECT_TRUE(form.close());

    EXPECT_EQ(ReadFile("config.ini"),
              ConfigBytes(Folder(), "timeToSafe,15\r\ntimeToUnsafe,5\r\ncloudyAsClear,False\r\n"
                                    "alarmOnSafe,False\r\nalarmOnUnsafe,True\r\n"));
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

TEST_F(frmMainTest, SetupSavesTheSettingsEvenWhenCancelled)
{
    Open();
    ASSERT_EQ(ReadFile("config.ini"), "<missing>");
    bool wasDialog = false;
    AnswerNextModal([&](QWidget* modal) {
        wasDialog = qobject_cast<QDialog*>(modal) != nullptr && modal->windowTitle() == "Setup";
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        }
    });
    Control<QPushButton>("SetupButton")->click();

    EXPECT_TRUE(wasDialog);
    EXPECT_EQ(ReadFile("config.ini"),
              ConfigBytes(Folder(), "timeToSafe,15\r\ntimeToUnsafe,5\r\ncloudyAsClear,False\r\n"
                                    "alarmOnSafe,False\r\nalarmOnUnsafe,True\r\n"));
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

TEST_F(frmMainTest, AFullDiskWarnsOncePerSaveKeepsConfigIniAndPollingGoesOn)
{
    WriteConfig();
    WriteStatus("CLEAR");
    Open();
    const QByteArray before = ReadFile("config.ini");
    ASSERT_FALSE(before.isEmpty());

    // Every Setup is cancelled, every warning read and closed.
    int setups = 0;
    QStringList warnings;
    QTimer answerer;
    answerer.setInterval(5);
    QObject::connect(&answerer, &QTimer::timeout, &answerer, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            warnings << box->text();
            box->reject();
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            ++setups;
            dialog->reject();
        }
    });
    answerer.start();
    const auto setup = [this] { Control<QPushButton>("SetupButton")->click(); };

    {
        // Room for half of config.ini: each save fails part-way.
        FileSizeLimit full(static_cast<rlim_t>(before.size() / 2));
        setup();
        EXPECT_EQ(warnings.size(), 1);
        WriteStatus("V.CLOUDY");
        TickAfter(5s);
        EXPECT_EQ(Caption("ConditionField"), "V.CLOUDY");
        EXPECT_TRUE(Timer1()->isActive());
        setup();
    }
    EXPECT_EQ(warnings.size(), 2);
    EXPECT_EQ(ReadFile("config.ini"), before);

    setup();  // room again: saved without a word
    EXPECT_EQ(setups, 3);
    ASSERT_EQ(warnings.size(), 2);
    EXPECT_EQ(warnings[0], warnings[1]);
    EXPECT_EQ(warnings[0], QString::fromStdString("The settings could not be saved to " + Folder() +
                                                  "config.ini."));
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
