// SPDX-License-Identifier: MIT
// The setup dialog as the real main window opens it from its Setup button:
// config.ini after every closing, and polls while the dialog is open.
#include "MainWindowFixture.h"
#include "SetupDialogTestHarness.h"

#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <chrono>
#include <functional>

using namespace std::chrono_literals;

namespace {

class SetupFromMainWindow : public MainWindowFixture, public SetupDialogHarness {
protected:
    // Creates and shows the main window; its dialog is taken hold of once open.
    frmMain& OpenMain()
    {
        frmMain& form = MainWindowFixture::Open();
        form.show();
        findDialog = [&form] { return form.findChild<frmSetup*>(QStringLiteral("frmSetup")); };
        return form;
    }

    // Presses Setup; whileOpen runs once the dialog is up.
    void PressSetup(std::function<void()> whileOpen)
    {
        WhenOpen(std::move(whileOpen));
        Control<QPushButton>("SetupButton")->click();
    }

    QByteArray Config(const char* timeToSafe, const char* timeToUnsafe, const char* flags) const
    {
        return "statusPath," + QByteArray::fromStdString(StatusPath()) + "\r\ntimeToSafe," +
               timeToSafe + "\r\ntimeToUnsafe," + timeToUnsafe + "\r\n" + flags;
    }
};

TEST_F(SetupFromMainWindow, FirstRunShowsTheProgramFolderAndTheDefaults)
{
    OpenMain();  // no config.ini
    Shown shown;
    PressSetup([&] {
        shown = ReadShown();
        QTest::mouseClick(cancelButton, Qt::LeftButton);
    });
    EXPECT_FALSE(leftOpen);
    EXPECT_EQ(shown.path.toStdString(), Folder());
    EXPECT_EQ(shown.toSafe, "15");
    EXPECT_EQ(shown.toUnsafe, "5");
    EXPECT_EQ(shown.comboText, "Treat Cloudy status as V.Cloudy");
    EXPECT_FALSE(shown.alarmOnSafe);
    EXPECT_TRUE(shown.alarmOnUnsafe);
}

TEST_F(SetupFromMainWindow, ConfigIniIsRewrittenHoweverTheDialogCloses)
{
    // Hand-edited, valid, but not as the program writes it: the rewrite
    // shows in the bytes.
    const QByteArray handEdited = Config(" 20", "4",
                                         "cloudyAsClear,True\r\nalarmOnSafe,False\r\n"
                                         "alarmOnUnsafe, True\r\nsome note\r\n");
    const QByteArray asLoaded =
        Config("20", "4", "cloudyAsClear,True\r\nalarmOnSafe,False\r\nalarmOnUnsafe,True\r\n");
    WriteFile(QStringLiteral("config.ini"), handEdited);
    OpenMain();

    struct Way {
        const char* name;
        std::function<void()> whileOpen;
        QByteArray expected;
    };
    const Way ways[] = {
        {"OK without a change", [this] { QTest::mouseClick(okButton, Qt::LeftButton); }, asLoaded},
        {"Cancel",
         [this] {
             Type(toSafeField, "99");
             QTest::mouseClick(cancelButton, Qt::LeftButton);
         },
         asLoaded},
        {"Esc",
         [this] {
             Type(toUnsafeField, "99");
             QTest::keyClick(toUnsafeField, Qt::Key_Escape);
         },
         asLoaded},
        {"close box",
         [this] {
             alarmOnSafeCheck->setChecked(true);
             dialog->windowHandle()->close();
         },
         asLoaded},
        {"OK after edits",
         [this] {
             Type(toSafeField, "-7");
             QTest::keyClick(alarmOnSafeCheck, Qt::Key_Space);
             QTest::keyClick(toSafeField, Qt::Key_Return);
         },
         Config("-7", "4", "cloudyAsClear,True\r\nalarmOnSafe,True\r\nalarmOnUnsafe,True\r\n")},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        WriteFile(QStringLiteral("config.ini"), handEdited);
        PressSetup(way.whileOpen);
        EXPECT_FALSE(leftOpen);
        EXPECT_EQ(ReadFile(QStringLiteral("config.ini")), way.expected);
    }
}

TEST_F(SetupFromMainWindow, APollWhileTheDialogIsOpenUsesTheOldThresholds)
{
    WriteConfig();  // time to unsafe 5 minutes
    WriteStatus("CLEAR");
    OpenMain();
    ASSERT_EQ(Caption("StatusField"), "SAFE");

    // Two minutes without a good reading: under 5, still safe.
    clock_.Advance(2min);
    WriteStatus("V.CLOUDY");
    Tick();
    ASSERT_EQ(Caption("StatusField"), "SAFE");

    QString statusWhileOpen;
    PressSetup([&] {
        Type(toUnsafeField, "1");
        // The timer keeps running under the modal dialog; the typed 1 is
        // not a setting yet.
        clock_.Advance(5s);
        WriteStatus("V.CLOUDY");
        Tick();
        statusWhileOpen = Caption("StatusField");
        QTest::mouseClick(okButton, Qt::LeftButton);
    });
    EXPECT_FALSE(leftOpen);
    EXPECT_EQ(statusWhileOpen, "SAFE");
    EXPECT_EQ(settings_.timeToUnsafe, 1);

    // The next poll after OK uses the new threshold.
    WriteStatus("V.CLOUDY");
    TickAfter(5s);
    EXPECT_EQ(Caption("StatusField"), "UNSAFE");
}

TEST_F(SetupFromMainWindow, ClosingTheMainWindowUnderTheDialogDiscardsTheEdits)
{
    WriteConfig();
    frmMain& form = OpenMain();
    const nortavi::Settings before = settings_;

    bool dialogClosed = false;
    PressSetup([&] {
        Type(toSafeField, "99");
        Type(pathField, "/edited/status.txt");
        form.close();  // as at the end of a session
        dialogClosed = !dialog->isVisible();
    });
    EXPECT_TRUE(dialogClosed);
    EXPECT_FALSE(leftOpen);
    EXPECT_EQ(settings_, before);
    EXPECT_EQ(
        ReadFile(QStringLiteral("config.ini")),
        Config("15", "5", "cloudyAsClear,False\r\nalarmOnSafe,False\r\nalarmOnUnsafe,True\r\n"));
}

}  // namespace
