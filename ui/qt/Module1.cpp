// SPDX-License-Identifier: MIT
#include "Module1.h"

#include "FileSystem.h"
#include "NortaviVersion.h"
#include "SystemSound.h"
#include "TimeStampParser.h"
#include "frmMain.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>

namespace {

// The status file's time stamps follow the system's regional short date.
nortavi::ShortDatePattern SystemDatePattern()
{
    const QString pattern = QLocale::system().dateFormat(QLocale::ShortFormat);
    return nortavi::ShortDatePattern::FromQtPattern(pattern.toStdString())
        .value_or(nortavi::ShortDatePattern{});
}

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
                                          SystemDatePattern()))
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
