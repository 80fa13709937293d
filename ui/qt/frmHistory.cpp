// SPDX-License-Identifier: MIT
#include "frmHistory.h"

#include "ChartPainter.h"
#include "FormBuilder.h"
#include "WindowFonts.h"
#include "frmHistoryDesign.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QStandardPaths>

namespace {

using nortavi::ui::Pixels;
using nortavi::ui::Text;

const nortavi::forms::frmHistoryDesign& Design()
{
    return nortavi::forms::HistoryDesign();
}

QRect ToQRect(const nortavi::forms::PixelRect& rect)
{
    return {rect.left, rect.top, rect.width, rect.height};
}

// Qt's pixels are logical ones, 96 to the inch before its own scaling.
constexpr int kLogicalDpi = 96;
constexpr double kMetresPerInch = 0.0254;

// The chart at `widget`'s size in the screen's pixels, 96 dots per inch
// times the scale the widget is shown at.
QImage ChartPicture(nortavi::behaviour::frmHistoryEvents& events, const QWidget& widget)
{
    const double scale = widget.devicePixelRatioF();
    const QSize pixels(qRound(widget.width() * scale), qRound(widget.height() * scale));
    QImage image = nortavi::ui::ChartImage(
        events.NightChart(pixels.width() / scale, pixels.height() / scale), pixels, scale);
    const int dotsPerMetre = qRound(kLogicalDpi * scale / kMetresPerInch);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    return image;
}

}  // namespace

// The chart, drawn whole at each paint: nothing of it is kept between polls.
class frmHistory::ChartView final : public QWidget {
public:
    ChartView(nortavi::behaviour::frmHistoryEvents& events, QWidget* parent)
        : QWidget(parent), events_(events)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QImage image = ChartPicture(events_, *this);
        image.setDevicePixelRatio(devicePixelRatioF());
        QPainter(this).drawImage(QPointF(0, 0), image);
    }

private:
    nortavi::behaviour::frmHistoryEvents& events_;
};

frmHistory::frmHistory(nortavi::behaviour::frmHistoryEvents& events)
    : QWidget(nullptr, Qt::Window), events_(events)
{
    setObjectName(Text(Design().name));
    setWindowTitle(Text(Design().caption));
    setFont(nortavi::ui::DesignFont(Text(Design().font.face), Design().font.points, Design().font.bold));
    setMinimumSize(Pixels(Design().minClientWidth), Pixels(Design().minClientHeight));
    resize(Pixels(Design().clientWidth), Pixels(Design().clientHeight));

    Chart = new ChartView(events_, this);
    Chart->setObjectName(QStringLiteral("Chart"));
    SaveButton = new QPushButton(Text(Design().saveCaption), this);
    SaveButton->setObjectName(QStringLiteral("SaveButton"));
    CloseButton = new QPushButton(Text(Design().closeCaption), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    for (QPushButton* button : {SaveButton, CloseButton}) {
        button->setAutoDefault(true);  // Enter presses the button with the focus
    }
    CloseButton->setFocus();

    connect(SaveButton, &QPushButton::clicked, this, [this] { events_.SaveButton_Click(); });
    connect(CloseButton, &QPushButton::clicked, this, [this] { close(); });
}

frmHistory::~frmHistory() = default;

void frmHistory::Redraw()
{
    Chart->update();
}

QImage frmHistory::Picture() const
{
    return ChartPicture(events_, *Chart);
}

QString frmHistory::AskPicturePath(const QString& suggestedName)
{
    if (pictureFolder_.isEmpty() || !QDir(pictureFolder_).exists()) {
        pictureFolder_ = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
        if (!QDir(pictureFolder_).exists()) {
            pictureFolder_ = QDir::homePath();
        }
    }
    QFileDialog dialog(this, Text(Design().saveDialogTitle), pictureFolder_,
                       Text(Design().pictureTypeName) + QStringLiteral(" (*.png)"));
    dialog.setObjectName(QStringLiteral("SavePictureDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("png"));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.selectFile(suggestedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    const QString path = dialog.selectedFiles().constFirst();
    pictureFolder_ = QFileInfo(path).absolutePath();
    return path;
}

void frmHistory::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const auto layout = nortavi::forms::LayOutHistory(width(), height(), kLogicalDpi);
    Chart->setGeometry(ToQRect(layout.chart));
    SaveButton->setGeometry(ToQRect(layout.saveButton));
    CloseButton->setGeometry(ToQRect(layout.closeButton));
}

void frmHistory::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    events_.Form_Unload();
}

void frmHistory::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
