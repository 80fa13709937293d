// SPDX-License-Identifier: MIT
// The notification dialog as drawn by Qt, opened from Setup: what it
// shows, a test message through a scripted service with its result told,
// and OK that stores only with Setup's own OK.
#include "FakeTransport.h"
#include "ModalWatchdog.h"
#include "frmSetup.h"
#include "frmNotify.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using nortavi::NotifySettings;

TEST(NotifyDialogTest, OpensFromSetupSendsATestMessageAndStoresWithSetupsOk)
{
    nortavi::Settings settings = nortavi::DefaultSettings("/opt/nortavi/");
    nortavi::ScriptedServices services;
    nortavi::notify::NotifierOptions options;
    options.transports = services.Transports();
    nortavi::behaviour::frmSetupBehaviour behaviour(settings, {}, [&options](const NotifySettings& trial) {
        const nortavi::notify::Message message =
            nortavi::notify::MakeMessage(nortavi::notify::Event::Test, false, {}, {});
        return std::make_unique<nortavi::notify::TestMessage>(trial, message, options);
    });
    QWidget mainWindow;
    auto* setup = new frmSetup(behaviour, &mainWindow);
    auto* notify = setup->findChild<frmNotify*>();
    ASSERT_NE(notify, nullptr);
    const auto find = [notify](const char* name) { return notify->findChild<QWidget*>(QLatin1String(name)); };
    ModalWatchdog watchdog;

    QString shownTopic;
    QString result;
    QString testCaption;
    QTimer::singleShot(0, setup, [&] {
        QTimer::singleShot(0, notify, [&] {
            EXPECT_EQ(notify->windowTitle(), "Notifications");
            shownTopic = static_cast<QLineEdit*>(find("NtfyTopicField"))->text();
            EXPECT_EQ(static_cast<QLineEdit*>(find("NtfyServerField"))->text(), "https://ntfy.sh");
            EXPECT_EQ(static_cast<QLineEdit*>(find("RepeatMinutesField"))->text(), "10");
            auto* topic = static_cast<QLineEdit*>(find("NtfyTopicField"));
            topic->setFocus();
            QTest::keyClicks(topic, "roof-7");
            auto* test = static_cast<QPushButton*>(find("cmdTest"));
            QTest::mouseClick(test, Qt::LeftButton);
            testCaption = test->text();
            // The result comes in a box once the scripted service has answered.
            auto* waiting = new QTimer(notify);
            QObject::connect(waiting, &QTimer::timeout, notify, [&, waiting] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    result = box->text();
                    box->accept();
                } else if (!result.isEmpty() && QApplication::activeModalWidget() == notify) {
                    waiting->stop();
                    QTest::mouseClick(static_cast<QPushButton*>(find("cmdOK")), Qt::LeftButton);
                }
            });
            waiting->start(20);
        });
        QTest::mouseClick(setup->findChild<QPushButton*>(QStringLiteral("NotifyButton")), Qt::LeftButton);
        EXPECT_EQ(settings.notify.ntfyTopic, "") << "stored with Setup's OK only";
        QTest::mouseClick(setup->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    });
    setup->ShowModal();

    EXPECT_EQ(shownTopic, "");
    EXPECT_EQ(testCaption, "Sending...");
    EXPECT_EQ(result, "The test message:\nntfy: delivered.");
    ASSERT_EQ(services.Requests().size(), 1U);
    EXPECT_EQ(services.Requests()[0].url, "https://ntfy.sh/roof-7");
    EXPECT_EQ(settings.notify.ntfyTopic, "roof-7");
    EXPECT_FALSE(watchdog.Fired());
}

}  // namespace
