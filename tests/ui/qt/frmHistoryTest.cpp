// SPDX-License-Identifier: MIT
// The night history window: its drawing checked by pixels (this program
// runs again at 150 % for that), and its ways in from the main window.
#include "ChartProbe.h"
#include "MainWindowFixture.h"
#include "QtColour.h"
#include "frmHistory.h"

#include <QAction>
#include <QLineEdit>
#include <QTest>

#include <cmath>

namespace {

using namespace nortavi::test;
using nortavi::ui::FromQColor;

class ProbeEvents final : public nortavi::behaviour::frmHistoryEvents {
public:
    nortavi::history::ChartDrawing NightChart(double, double) override { return ProbeDrawing(); }
    void SaveButton_Click() override {}
    void Form_Unload() override {}
};

QPoint Pixel(double x, double y, double scale)
{
    return {static_cast<int>(std::floor(x * scale)), static_cast<int>(std::floor(y * scale))};
}

int InkedPixels(const QImage& image, const ProbeInk& box, double scale)
{
    const QPoint from = Pixel(box.x, box.y, scale);
    const QPoint to = Pixel(box.x + box.width, box.y + box.height, scale);
    int inked = 0;
    for (int y = from.y(); y < to.y(); ++y) {
        for (int x = from.x(); x < to.x(); ++x) {
            inked += FromQColor(image.pixelColor(x, y)) != kProbeBackground ? 1 : 0;
        }
    }
    return inked;
}

QList<QWidget*> HistoryWindows()
{
    QList<QWidget*> shown;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == "frmHistory" && window->isVisible()) {
            shown.append(window);
        }
    }
    return shown;
}

}  // namespace

TEST(frmHistoryPixels, EachShapeLandsWhereTheDrawingPutsItAndThePictureIsWhatIsShown)
{
    ProbeEvents events;
    frmHistory window(events);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QWidget* chart = window.findChild<QWidget*>("Chart");
    const double scale = chart->devicePixelRatioF();
    const QImage shown = chart->grab().toImage().convertToFormat(QImage::Format_RGB32);
    SCOPED_TRACE(testing::Message() << "at " << scale * 100 << " %");
    ASSERT_EQ(shown.size(), QSize(qRound(chart->width() * scale), qRound(chart->height() * scale)));

    for (const ProbeSpot& spot : ProbeSpots()) {
        EXPECT_EQ(FromQColor(shown.pixelColor(Pixel(spot.x, spot.y, scale))), spot.colour) << spot.what;
    }
    for (const ProbeSeam& seam : ProbeSeams()) {
        const int y = Pixel(0, seam.y, scale).y();
        for (int x = Pixel(seam.fromX, 0, scale).x(); x < Pixel(seam.toX, 0, scale).x(); ++x) {
            const auto colour = FromQColor(shown.pixelColor(x, y));
            EXPECT_TRUE(colour == kProbeGreen || colour == kProbeRed) << "a seam at pixel " << x;
        }
    }
    for (const ProbeInk& box : ProbeInks()) {
        EXPECT_EQ(InkedPixels(shown, box, scale) > 0, box.inked) << box.what;
    }

    const QImage picture = window.Picture();
    EXPECT_EQ(picture.convertToFormat(QImage::Format_RGB32), shown);
    EXPECT_EQ(picture.dotsPerMeterX(), qRound(96 * scale / 0.0254));
}

using frmHistoryFromMainTest = MainWindowFixture;

// Ctrl+H, even in a text box (where it could be a backspace), and the
// context menu's item open one window, which goes with the main window.
TEST_F(frmHistoryFromMainTest, CtrlHAndTheContextMenuOpenOneWindowThatClosesWithTheMainWindow)
{
    WriteConfig();
    WriteStatus("CLEAR");
    frmMain& form = Open();
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    auto* field = Control<QLineEdit>("MinsSinceClearField");
    field->setFocus();
    field->setCursorPosition(1);

    QTest::keyClick(field, Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(field->text(), "0");
    ASSERT_EQ(HistoryWindows().size(), 1);
    QWidget* history = HistoryWindows().constFirst();
    EXPECT_EQ(history->windowTitle(), "Night history");

    auto* item = Control<QAction>("NightHistoryAction");
    EXPECT_EQ(form.contextMenuPolicy(), Qt::ActionsContextMenu);
    EXPECT_TRUE(form.actions().contains(item));
    EXPECT_EQ(item->text(), "Night history...");
    history->showMinimized();
    item->trigger();
    EXPECT_EQ(HistoryWindows(), QList<QWidget*>{history}) << "the same window, brought back";
    EXPECT_FALSE(history->isMinimized());

    const QImage picture = QImage::fromData(QByteArray::fromStdString(form.HistoryPicture()), "PNG");
    const QWidget* chart = history->findChild<QWidget*>("Chart");
    EXPECT_EQ(picture.size(), chart->size() * chart->devicePixelRatioF());

    form.close();
    EXPECT_TRUE(HistoryWindows().isEmpty());
}
