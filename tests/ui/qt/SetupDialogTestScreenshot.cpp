// SPDX-License-Identifier: MIT
/* Not a check: draws the setup dialog on a real X server and saves its
   picture, frame included, as docs/screenshot-setup.png. Run by hand from the
   top folder once ./test.sh has built it:

     xvfb-run -a -s "-screen 0 640x480x24" sh -c 'openbox & sleep 1; \
       QT_QPA_PLATFORM=xcb NORTAVI_SCREENSHOT=docs/screenshot-setup.png \
       build/test/tests/ui/qt/SetupDialogTest --gtest_also_run_disabled_tests \
       --gtest_filter=SetupDialogScreenshot.*'
*/
#include "SetupDialogTestHarness.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

namespace {

class SetupDialogScreenshot : public ::testing::Test, public SetupDialogHarness {
protected:
    void SetUp() override
    {
        mainWindow.setGeometry(40, 40, 560, 400);
        mainWindow.show();  // the dialog is transient for a mapped window, as in the program
        Attach(new frmSetup(behaviour, &mainWindow));
    }

    nortavi::Settings settings{"/home/observer/sensor/status.txt", 15, 5, false, false, true};
    nortavi::behaviour::frmSetupBehaviour behaviour{settings};
    QWidget mainWindow;  // owns the dialog
};

TEST_F(SetupDialogScreenshot, DISABLED_WritesThePicture)
{
    const QString target = qEnvironmentVariable("NORTAVI_SCREENSHOT");
    if (target.isEmpty()) {
        GTEST_SKIP() << "NORTAVI_SCREENSHOT names no file to write";
    }
    bool saved = false;
    Open([&] {
        if (!QTest::qWaitForWindowExposed(dialog)) {
            return;
        }
        QTest::qWait(1000);  // let the window manager draw the frame
        // Grab from the screen, not the widget, so the frame is in it too.
        const QRect frame = dialog->frameGeometry().adjusted(-4, -4, 4, 4);
        const QPixmap picture = QGuiApplication::primaryScreen()->grabWindow(
            0, frame.x(), frame.y(), frame.width(), frame.height());
        saved = picture.save(target, "PNG");
    });
    EXPECT_TRUE(saved) << target.toStdString();
}

}  // namespace
