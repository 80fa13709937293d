// SPDX-License-Identifier: MIT
// The Qt night history window over a sample night's log, for the
// screenshots (tools/screenshots.sh).
#include "SampleNight.h"
#include "frmHistory.h"

#include <QApplication>
#include <QIcon>

namespace {

class SampleEvents final : public nortavi::behaviour::frmHistoryEvents {
public:
    nortavi::history::ChartDrawing NightChart(double width, double height) override
    {
        return nortavi::test::SampleNight(width, height);
    }
    void SaveButton_Click() override {}
    void Form_Unload() override {}
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QIcon icon;
    for (const int size : {16, 32, 48, 64}) {
        icon.addFile(QStringLiteral(":/icons/nortavi-%1.png").arg(size), QSize(size, size));
    }
    QApplication::setWindowIcon(icon);
    SampleEvents events;
    frmHistory window(events);
    window.show();
    return QApplication::exec();
}
