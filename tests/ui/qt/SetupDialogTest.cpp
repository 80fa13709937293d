// SPDX-License-Identifier: MIT
// The setup dialog under a plain parent window: what each opening shows,
// what OK stores, what Cancel, Esc and the close box leave alone, how bad
// input is refused, and the keyboard.
#include "FileSystem.h"
#include "ModalWatchdog.h"
#include "SetupDialogTestHarness.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using nortavi::Settings;

class SetupDialogTest : public ::testing::Test, public SetupDialogHarness {
protected:
    void SetUp() override
    {
        mainWindow.setGeometry(100, 80, 600, 400);
        mainWindow.show();
        // Up on the screen, frame and all, as it is long before anyone
        // presses Setup (this matters only on a real X server).
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow));
        Attach(new frmSetup(behaviour, &mainWindow));
    }

    void TearDown() override { EXPECT_FALSE(watchdog.Fired()) << "a window was left open"; }

    Settings settings = nortavi::DefaultSettings("/opt/nortavi/");
    nortavi::behaviour::frmSetupBehaviour behaviour{settings};
    QWidget mainWindow;  // owns the dialog
    ModalWatchdog watchdog;
};

Settings MakeSettings(std::string path, std::int16_t toSafe, std::int16_t toUnsafe,
                      bool cloudyAsClear, bool alarmOnSafe, bool alarmOnUnsafe)
{
    return {std::move(path), toSafe, toUnsafe, cloudyAsClear, alarmOnSafe, alarmOnUnsafe};
}

TEST_F(SetupDialogTest, ControlsStandWhereTheLayoutPutsThem)
{
    struct Row {
        const char* name;
        const char* kind;
        QString caption;
        QString toolTip;
        QRect twips;
    };
    const Row rows[] = {
        {"Label2", "QLabel", "Status path", "", {240, 240, 855, 255}},
        {"StatusPathField", "QLineEdit", "", "", {1200, 240, 2175, 285}},
        {"Label1", "QLabel", "Time Clear to become safe", "", {240, 720, 1935, 255}},
        {"TimeToSafeField",
         "QLineEdit",
         "",
         "Number of minutes status is Clear to become safe",
         {2760, 720, 615, 285}},
        {"Label3", "QLabel", "Time V.Cloudy to become unsafe", "", {240, 1200, 2415, 255}},
        {"TimeToUnsafeField",
         "QLineEdit",
         "",
         "Number of minutes status is V.Cloudy to become unsafe",
         {2760, 1200, 615, 285}},
        {"Combo1", "QComboBox", "", "", {240, 1680, 3135, 315}},
        {"AlarmOnSafeCheck", "QCheckBox", "Alarm on becoming safe", "", {240, 2280, 3135, 255}},
        // 195 twips high as drawn, which cuts the indicator's lower edge off.
        {"AlarmOnUnsafeCheck", "QCheckBox", "Alarm on becoming unsafe", "", {240, 2730, 3135, 255}},
        {"cmdOK", "QPushButton", "OK", "", {600, 3240, 1095, 375}},
        {"cmdCancel", "QPushButton", "Cancel", "", {1920, 3240, 1095, 375}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto* widget = dialog->findChild<QWidget*>(QLatin1String(row.name));
        ASSERT_NE(widget, nullptr);
        EXPECT_STREQ(widget->metaObject()->className(), row.kind);
        QString caption;
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            caption = label->text();
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            caption = button->text();
        }
        EXPECT_EQ(caption, row.caption);
        EXPECT_EQ(widget->toolTip(), row.toolTip);
        EXPECT_EQ(widget->geometry(), QRect(row.twips.x() / 15, row.twips.y() / 15,
                                            row.twips.width() / 15, row.twips.height() / 15));
        // 8 points, or a little less where a stand-in face would not fit.
        EXPECT_LE(widget->font().pointSizeF(), 8.0);
        EXPECT_GE(widget->font().pointSizeF(), 7.0);
        if (qobject_cast<QLabel*>(widget) || qobject_cast<QCheckBox*>(widget)) {
            EXPECT_LE(widget->sizeHint().width(), widget->width()) << "caption cut short";
        }
        if (qobject_cast<QCheckBox*>(widget)) {
            EXPECT_LE(widget->style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, widget),
                      widget->height())
                << "the box is cut off";
        }
    }

    EXPECT_FALSE(combo->isEditable());
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), "Treat Cloudy status as Clear");
    EXPECT_EQ(combo->itemText(1), "Treat Cloudy status as V.Cloudy");
    EXPECT_TRUE(okButton->isDefault());
}

TEST_F(SetupDialogTest, IsAFixedDialogOwnedByTheMainWindow)
{
    EXPECT_EQ(dialog->windowTitle(), "Setup");
    EXPECT_EQ(dialog->size(), QSize(243, 425));
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
    // Owned by the main window: no task-bar entry of its own.
    EXPECT_EQ(dialog->parentWidget(), &mainWindow);
    const Qt::WindowFlags flags = dialog->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowContextHelpButtonHint);
}

TEST_F(SetupDialogTest, OpensCentredOverTheMainWindowEachTime)
{
    for (const QRect mainGeometry : {QRect(100, 80, 600, 500), QRect(20, 30, 300, 480)}) {
        mainWindow.setGeometry(mainGeometry);
        QPoint dialogCentre;
        Open([&] { dialogCentre = dialog->frameGeometry().center(); });
        const QPoint offset = dialogCentre - mainWindow.frameGeometry().center();
        EXPECT_LE(offset.manhattanLength(), 2)
            << "main window at " << mainGeometry.x() << "," << mainGeometry.y();
    }
}

TEST_F(SetupDialogTest, FirstRunShowsTheDefaults)
{
    settings = nortavi::DefaultSettings(nortavi::GetEXEPath());
    const Shown shown = ShowAndCancel();
    EXPECT_EQ(shown.path, QString::fromStdString(nortavi::GetEXEPath()));
    EXPECT_TRUE(shown.path.endsWith('/') || shown.path.endsWith('\\'));
    EXPECT_EQ(shown.toSafe, "15");
    EXPECT_EQ(shown.toUnsafe, "5");
    EXPECT_EQ(shown.comboText, "Treat Cloudy status as V.Cloudy");
    EXPECT_FALSE(shown.alarmOnSafe);
    EXPECT_TRUE(shown.alarmOnUnsafe);
}

TEST_F(SetupDialogTest, OkWithoutAChangeKeepsEverySetting)
{
    const std::vector<Settings> rows = {
        nortavi::DefaultSettings("/opt/nortavi/"),
        MakeSettings("", -32768, 32767, true, true, false),
        MakeSettings("/srv/sensor/status.txt", 32767, -32768, false, true, true),
        MakeSettings("/home/ann/night, west/status.txt", 0, -1, true, false, false),
        MakeSettings("  padded path  ", 1, 0, false, false, false),
        MakeSettings("/données/ciel/état.txt", -5, 7, true, true, true),
        // Bytes that are not valid UTF-8 cannot be shown exactly; untouched
        // they must still come back as they were.
        MakeSettings("/tmp/\xff\xfe-raw/status.txt", 15, 5, false, false, true),
        // Cannot be written to config.ini, but the user did not type it.
        MakeSettings("/opt/odd\"name,x/", 15, 5, false, false, true),
    };
    for (const Settings& row : rows) {
        SCOPED_TRACE(row.statusPath);
        settings = row;
        const int result = Open([&] { QTest::mouseClick(okButton, Qt::LeftButton); });
        EXPECT_EQ(result, QDialog::Accepted);
        EXPECT_FALSE(leftOpen);
        EXPECT_EQ(settings, row);
    }
}

TEST_F(SetupDialogTest, OkStoresWhatWasTyped)
{
    struct Row {
        QString typed;
        std::int16_t stored;
        QString shownNextTime;
    };
    const Row rows[] = {
        {"0", 0, "0"},
        {"-5", -5, "-5"},
        {"007", 7, "7"},
        {" +12 ", 12, "12"},
        {"-32768", -32768, "-32768"},
        {"32767", 32767, "32767"},
        {"-0", 0, "0"},
        {"-0012", -12, "-12"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed.toStdString());
        const int result = Open([&] {
            Type(toSafeField, row.typed);
            Type(toUnsafeField, row.typed);
            QTest::mouseClick(okButton, Qt::LeftButton);
        });
        EXPECT_EQ(result, QDialog::Accepted);
        EXPECT_EQ(settings.timeToSafe, row.stored);
        EXPECT_EQ(settings.timeToUnsafe, row.stored);

        const Shown shown = ShowAndCancel();
        EXPECT_EQ(shown.toSafe, row.shownNextTime);
        EXPECT_EQ(shown.toUnsafe, row.shownNextTime);
    }
}

TEST_F(SetupDialogTest, OkStoresEverySettingAtOnce)
{
    const int result = Open([&] {
        Type(pathField, "/srv/sensor/status.txt");
        Type(toSafeField, "20");
        Type(toUnsafeField, "-3");
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Up);  // V.Cloudy -> Clear
        QTest::keyClick(alarmOnSafeCheck, Qt::Key_Space);
        QTest::keyClick(alarmOnUnsafeCheck, Qt::Key_Space);
        QTest::mouseClick(okButton, Qt::LeftButton);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(settings, MakeSettings("/srv/sensor/status.txt", 20, -3, true, true, false));

    // And back again: the list and the boxes also store their other state.
    Open([&] {
        QTest::keyClick(combo, Qt::Key_Down);
        QTest::keyClick(alarmOnSafeCheck, Qt::Key_Space);
        QTest::keyClick(alarmOnUnsafeCheck, Qt::Key_Space);
        QTest::mouseClick(okButton, Qt::LeftButton);
    });
    EXPECT_EQ(settings, MakeSettings("/srv/sensor/status.txt", 20, -3, false, false, true));
}

TEST_F(SetupDialogTest, StatusPathIsStoredAsTyped)
{
    // No trimming and no check that the file is there.
    for (const QString& typed :
         {QString(), QStringLiteral("/no/such/folder/status.txt"), QStringLiteral("  blanks  "),
          QStringLiteral("/sky, west/status.txt"), QStringLiteral("/sky/\"status\".txt"),
          QStringLiteral("/données/état.txt")}) {
        SCOPED_TRACE(typed.toStdString());
        const int result = Open([&] {
            Type(pathField, typed);
            QTest::mouseClick(okButton, Qt::LeftButton);
        });
        EXPECT_EQ(result, QDialog::Accepted);
        EXPECT_EQ(settings.statusPath, typed.toStdString());
    }
}

TEST_F(SetupDialogTest, CancelEscAndTheCloseBoxChangeNothing)
{
    struct Way {
        const char* name;
        std::function<void()> close;
    };
    const Way ways[] = {
        {"Cancel button", [this] { QTest::mouseClick(cancelButton, Qt::LeftButton); }},
        {"Esc in a text field", [this] { QTest::keyClick(toSafeField, Qt::Key_Escape); }},
        {"Esc on the list", [this] { QTest::keyClick(combo, Qt::Key_Escape); }},
        {"close box", [this] { dialog->windowHandle()->close(); }},
    };
    settings = MakeSettings("/srv/sensor/status.txt", 15, 5, false, false, true);
    const Settings before = settings;
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        const int result = Open([&] {
            Type(pathField, "/edited/path.txt");
            Type(toSafeField, "99");
            Type(toUnsafeField, "-99");
            combo->setCurrentIndex(0);
            alarmOnSafeCheck->setChecked(true);
            alarmOnUnsafeCheck->setChecked(false);
            way.close();
        });
        EXPECT_EQ(result, QDialog::Rejected);
        EXPECT_FALSE(leftOpen) << "did not close";
        EXPECT_EQ(settings, before);

        const Shown shown = ShowAndCancel();
        EXPECT_EQ(shown.path, "/srv/sensor/status.txt");
        EXPECT_EQ(shown.toSafe, "15");
        EXPECT_EQ(shown.toUnsafe, "5");
        EXPECT_EQ(shown.comboText, "Treat Cloudy status as V.Cloudy");
        EXPECT_FALSE(shown.alarmOnSafe);
        EXPECT_TRUE(shown.alarmOnUnsafe);
        EXPECT_FALSE(shown.anyUndo) << "Ctrl+Z would bring the edits back";
    }
}

TEST_F(SetupDialogTest, BadInputIsRefusedAndNothingIsStored)
{
    struct Row {
        const char* field;
        QString typed;
        QString messageNames;  // the message says which field
    };
    const QString safe = "Time Clear to become safe";
    const QString unsafe = "Time V.Cloudy to become unsafe";
    const QString path = "Status path";
    const Row rows[] = {
        {"TimeToSafeField", "", safe},
        {"TimeToSafeField", "   ", safe},
        {"TimeToSafeField", "abc", safe},
        {"TimeToSafeField", "1.5", safe},
        {"TimeToSafeField", "32768", safe},
        {"TimeToSafeField", "-32769", safe},
        {"TimeToSafeField", "99999999999999999999", safe},
        {"TimeToSafeField", "1,000", safe},
        {"TimeToSafeField", "1 000", safe},
        {"TimeToSafeField", "+-5", safe},
        {"TimeToSafeField", "--5", safe},
        {"TimeToSafeField", "0x10", safe},
        {"TimeToSafeField", "1e3", safe},
        {"TimeToSafeField", QString::fromUtf8("\xef\xbc\x95"), safe},  // full-width 5
        {"TimeToUnsafeField", "", unsafe},
        {"TimeToUnsafeField", "abc", unsafe},
        {"TimeToUnsafeField", "1.5", unsafe},
        {"TimeToUnsafeField", "32768", unsafe},
        {"TimeToUnsafeField", "-32769", unsafe},
        {"StatusPathField", "/sky/\"west, east\"/status.txt", path},
        {"StatusPathField", "\"/sky/status.txt", path},
        {"StatusPathField", "/sky/status.txt\" ", path},
        {"StatusPathField", QString(QChar(0xD800)), path},  // no 8-bit form
    };
    settings = MakeSettings("/srv/sensor/status.txt", 15, 5, false, false, true);
    const Settings before = settings;
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.field) + " <" + row.typed.toStdString() + ">");
        auto* bad = dialog->findChild<QLineEdit*>(QLatin1String(row.field));
        ASSERT_NE(bad, nullptr);
        bool stillOpen = false;
        QWidget* focused = nullptr;
        QString selected;
        QString text;
        const int result = Open([&] {
            // Every other control changed too, to catch a partial store.
            Type(pathField, "/edited/path.txt");
            Type(toSafeField, "42");
            Type(toUnsafeField, "-42");
            combo->setCurrentIndex(0);
            alarmOnSafeCheck->setChecked(true);
            alarmOnUnsafeCheck->setChecked(false);
            Paste(bad, row.typed);
            AnswerNextMessageBox();
            QTest::mouseClick(okButton, Qt::LeftButton);
            stillOpen = dialog->isVisible();
            focused = dialog->focusWidget();
            selected = bad->selectedText();
            text = bad->text();
        });
        EXPECT_EQ(result, QDialog::Rejected);
        EXPECT_TRUE(stillOpen) << "OK closed the dialog";
        EXPECT_EQ(settings, before);
        ASSERT_TRUE(message.shown);
        EXPECT_EQ(message.title, "Setup");
        EXPECT_TRUE(message.text.startsWith(row.messageNames)) << message.text.toStdString();
        if (row.messageNames != path) {
            EXPECT_TRUE(message.text.contains("whole number of minutes from -32768 to 32767"));
        }
        EXPECT_EQ(message.buttons, QMessageBox::Ok);
        EXPECT_EQ(focused, bad);
        EXPECT_EQ(text, row.typed);
        EXPECT_EQ(selected, row.typed) << "the whole text is selected";
        message = {};
    }
}

TEST_F(SetupDialogTest, TheNetworkGroupStoresPortsItCanServeAndRefusesOthers)
{
    // A port check that finds 8080 taken by another program.
    nortavi::behaviour::frmSetupBehaviour checked(settings,
                                                  [](std::uint16_t port, bool) { return port != 8080; });
    Attach(new frmSetup(checked, &mainWindow));
    auto* port = dialog->findChild<QLineEdit*>(QStringLiteral("AlpacaPortField"));
    auto* discovery = dialog->findChild<QLineEdit*>(QStringLiteral("AlpacaDiscoveryPortField"));
    auto* publish = dialog->findChild<QCheckBox*>(QStringLiteral("AlpacaServerCheck"));
    auto* remote = dialog->findChild<QCheckBox*>(QStringLiteral("AlpacaAllowRemoteCheck"));
    ASSERT_TRUE(port && discovery && publish && remote);
    settings.alpaca.uniqueId = "kept-id";
    const Settings before = settings;
    struct Row {
        QString port;
        QString discovery;
        bool publish;
        QString message;  // empty: stored
    } const rows[] = {
        {"0", "32227", false, "Port must be a whole number from 1 to 65535."},
        {"65536", "32227", false, "Port must be a whole number from 1 to 65535."},
        {"11111", "udp", false, "Discovery port must be a whole number from 1 to 65535."},
        {"8080", "32227", true, "Port 8080 is in use by another program."},
        {"8080", "32227", false, ""},  // not served: not checked
        {" 12345 ", "32228", true, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.port.toStdString() + " " + row.discovery.toStdString());
        settings = before;
        Open([&] {
            Type(port, row.port);
            Type(discovery, row.discovery);
            publish->setChecked(row.publish);
            remote->setChecked(true);
            AnswerNextMessageBox();
            QTest::mouseClick(okButton, Qt::LeftButton);
        });
        if (row.message.isEmpty()) {
            EXPECT_FALSE(message.shown) << message.text.toStdString();
            EXPECT_EQ(settings.alpaca.server, row.publish);
            EXPECT_EQ(settings.alpaca.port, row.port.trimmed().toUShort());
            EXPECT_TRUE(settings.alpaca.allowRemote);
            EXPECT_EQ(settings.alpaca.uniqueId, "kept-id");
        } else {
            EXPECT_TRUE(message.text.startsWith(row.message)) << message.text.toStdString();
            EXPECT_EQ(settings, before);
        }
        message = {};
    }
}

TEST_F(SetupDialogTest, TheFirstBadFieldIsNamed)
{
    // Both minute fields wrong: the upper one is named, and nothing stored.
    const Settings before = settings;
    QWidget* focused = nullptr;
    Open([&] {
        Type(toSafeField, "x");
        Type(toUnsafeField, "y");
        AnswerNextMessageBox();
        QTest::mouseClick(okButton, Qt::LeftButton);
        focused = dialog->focusWidget();
    });
    EXPECT_TRUE(message.text.startsWith("Time Clear to become safe"));
    EXPECT_EQ(focused, toSafeField);
    EXPECT_EQ(settings, before);
}

TEST_F(SetupDialogTest, OkStoresOnceTheRefusedFieldIsPutRight)
{
    const int result = Open([&] {
        Type(toUnsafeField, "soon");
        AnswerNextMessageBox();
        QTest::mouseClick(okButton, Qt::LeftButton);
        // The text is selected, so typing replaces it.
        QTest::keyClicks(dialog->focusWidget(), "8");
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
    });
    EXPECT_TRUE(message.shown);
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_FALSE(leftOpen);
    EXPECT_EQ(settings.timeToUnsafe, 8);
}

TEST_F(SetupDialogTest, EnterPressesOkFromAnyControlButCancel)
{
    struct Row {
        const char* control;
        Qt::Key key;
        int expected;
    };
    const Row rows[] = {
        {"StatusPathField", Qt::Key_Return, QDialog::Accepted},
        {"StatusPathField", Qt::Key_Enter, QDialog::Accepted},
        {"TimeToSafeField", Qt::Key_Return, QDialog::Accepted},
        {"TimeToSafeField", Qt::Key_Enter, QDialog::Accepted},
        {"TimeToUnsafeField", Qt::Key_Return, QDialog::Accepted},
        {"TimeToUnsafeField", Qt::Key_Enter, QDialog::Accepted},
        {"Combo1", Qt::Key_Return, QDialog::Accepted},
        {"AlarmOnSafeCheck", Qt::Key_Return, QDialog::Accepted},
        {"cmdOK", Qt::Key_Return, QDialog::Accepted},
        // A focused button takes Enter itself.
        {"cmdCancel", Qt::Key_Return, QDialog::Rejected},
    };
    std::int16_t next = 100;
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.control) + (row.key == Qt::Key_Enter ? " Enter" : " Return"));
        auto* control = dialog->findChild<QWidget*>(QLatin1String(row.control));
        ASSERT_NE(control, nullptr);
        ++next;
        const Settings before = settings;
        const int result = Open([&] {
            Type(toSafeField, QString::number(next));
            control->setFocus();
            QTest::keyClick(control, row.key);
        });
        EXPECT_EQ(result, row.expected);
        EXPECT_FALSE(leftOpen);
        EXPECT_EQ(settings.timeToSafe,
                  row.expected == QDialog::Accepted ? next : before.timeToSafe);
    }
}

TEST_F(SetupDialogTest, TabVisitsTheControlsInOrderFromOk)
{
    const QStringList forward = {
        "cmdOK",  "cmdCancel",         "StatusPathField",  "TimeToSafeField",
        "Combo1", "TimeToUnsafeField", "AlarmOnSafeCheck", "AlarmOnUnsafeCheck",
        "AlpacaServerCheck", "AlpacaPortField", "AlpacaAllowRemoteCheck", "AlpacaDiscoveryPortField",
        "NotifyButton", "cmdOK"};
    QStringList visited;
    QStringList visitedBack;
    Open([&] {
        visited << dialog->focusWidget()->objectName();
        for (int i = 1; i < forward.size(); ++i) {
            QTest::keyClick(dialog->focusWidget(), Qt::Key_Tab);
            visited << dialog->focusWidget()->objectName();
        }
        for (int i = 1; i < forward.size(); ++i) {
            QTest::keyClick(dialog->focusWidget(), Qt::Key_Backtab);
            visitedBack.prepend(dialog->focusWidget()->objectName());
        }
        visitedBack << dialog->focusWidget()->objectName();
    });
    EXPECT_EQ(visited, forward);
    EXPECT_EQ(visitedBack, forward);
}

TEST_F(SetupDialogTest, EachOpeningStartsOnOk)
{
    // The last opening ended with the focus elsewhere, after a refusal.
    Open([&] {
        Type(toSafeField, "bad");
        AnswerNextMessageBox();
        QTest::mouseClick(okButton, Qt::LeftButton);
    });
    ASSERT_TRUE(message.shown);
    QWidget* focused = nullptr;
    QString selected;
    Open([&] {
        focused = dialog->focusWidget();
        selected = toSafeField->selectedText();
    });
    EXPECT_EQ(focused, okButton);
    EXPECT_EQ(selected, "") << "selection left over from the last opening";
}

}  // namespace
