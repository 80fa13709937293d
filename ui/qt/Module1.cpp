// SPDX-License-Identifier: MIT
#include "Module1.h"

#include "FileSystem.h"
#include "LocaleFormat.h"
#include "NortaviVersion.h"
#include "SystemSound.h"
#include "frmMain.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>

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

Module1::Module1()
    : sound_(nortavi::platform::MakeSystemSound()),
      mainForm_(std::make_unique<frmMain>(settings_, clock_, *sound_, nortavi::LocateProgramFolders(),
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

    Module1 module;
    module.mainForm_->show();
    return QApplication::exec();
}
