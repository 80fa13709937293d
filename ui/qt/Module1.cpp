// SPDX-License-Identifier: MIT
#include "Module1.h"

#include "InstanceLock.h"
#include "LocaleFormat.h"
#include "NortaviVersion.h"
#include "RunningCopy.h"
#include "ShowRequests.h"
#include "SignalPipe.h"
#include "SystemSound.h"
#include "frmMain.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <QSessionManager>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>

namespace {

// The title bar and task switcher need no more than 64 pixels; the larger
// images are installed for the desktop's launchers instead, and decoding
// them here would only slow the start.
QIcon ProgramIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 64}) {
        icon.addFile(QStringLiteral(":/icons/nortavi-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace

Module1::Module1(nortavi::ProgramFolders folders)
    : sound_(nortavi::platform::MakeSystemSound()),
      mainForm_(std::make_unique<frmMain>(settings_, clock_, *sound_, std::move(folders),
                                          nortavi::ui::LocaleTimeStampFormat(QLocale::system())))
{
}

Module1::~Module1() = default;

int Module1::Main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Nortavi"));
    QApplication::setApplicationVersion(QLatin1String(nortavi::ui::kVersionText));
    QApplication::setDesktopFileName(QStringLiteral("invalid.nortavi.Nortavi"));
    QApplication::setWindowIcon(ProgramIcon());

    nortavi::ProgramFolders folders = nortavi::LocateProgramFolders();
    const std::string settingsPath = folders.save + "config.ini";
    const nortavi::platform::InstanceLock lock(settingsPath);
    if (!lock.Held()) {
        // The copy that runs would write its own settings over ours at its
        // close: this one shows that copy's window and ends, writing nothing.
        if (!nortavi::platform::ShowRequests::Ask(lock.Key())) {
            std::fprintf(stderr, "Nortavi is already running with %s.\n", settingsPath.c_str());
        }
        return 0;
    }

    // A signal to end (a service manager, the session, Ctrl+C) closes the
    // window as its close box would, settings saved, but asks nothing.
    nortavi::platform::SignalPipe endSignals{SIGTERM, SIGINT, SIGHUP};
    Module1 module(std::move(folders));
    frmMain& form = *module.mainForm_;
    const nortavi::ui::RunningCopy runningCopy(lock.Key(), form);
    QSocketNotifier signalled(endSignals.ReadFd(), QSocketNotifier::Read);
    QObject::connect(&signalled, &QSocketNotifier::activated, &form, [&endSignals, &form] {
        if (!endSignals.Take().empty()) {
            form.CloseForSessionEnd();
        }
    });
    // The session manager's turn to have the settings saved before it ends
    // the session, which may end the program without a close.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                     [&form](QSessionManager&) { form.SessionEnding(); });
    form.show();
    return QApplication::exec();
}
