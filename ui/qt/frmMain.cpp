// SPDX-License-Identifier: MIT
#include "frmMain.h"

#include "Attention.h"
#include "FormBuilder.h"
#include "QtColour.h"
#include "ReadableColour.h"
#include "WindowFonts.h"
#include "frmHistory.h"
#include "frmHistoryDesign.h"
#include "frmMainDesign.h"
#include "frmSetup.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCloseEvent>
#include <QFile>
#include <QFontMetricsF>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMetaObject>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>
#include <QtMath>

#include <algorithm>

namespace {

using Id = nortavi::forms::frmMainId;
using nortavi::behaviour::CloseReason;
using nortavi::behaviour::MessageKind;
using nortavi::ui::FitFontToWidth;
using nortavi::ui::Text;

QString Title()
{
    return Text(nortavi::forms::frmMainDesign().caption);
}

void SetLabelColour(QLabel* label, nortavi::Colour colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, nortavi::ui::ToQColor(colour));
    label->setPalette(palette);
}

// A dark theme is the user's wish for the desktop's own look: a caption's
// colour then gives way to the theme's text colour where it would not
// stand out. The light look keeps the colours as they are.
nortavi::Colour ReadableOn(const QPalette& look, nortavi::Colour wanted)
{
    const nortavi::Colour face = nortavi::ui::FromQColor(look.color(QPalette::Window));
    const nortavi::Colour text = nortavi::ui::FromQColor(look.color(QPalette::WindowText));
    if (nortavi::forms::RelativeLuminance(face) >= nortavi::forms::RelativeLuminance(text)) {
        return wanted;
    }
    return nortavi::forms::ReadableTextColour(wanted, face, text);
}

// The width a push button leaves for its caption once the style has drawn
// its bevel and padding.
int CaptionWidth(const QPushButton* button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    const QSize padding =
        button->style()->sizeFromContents(QStyle::CT_PushButton, &option, QSize(0, 0), button);
    return button->width() - padding.width();
}

}  // namespace

frmMain::frmMain(nortavi::Settings& settings, nortavi::Clock& clock, nortavi::SoundOutput& sound,
                 nortavi::ProgramFolders folders, nortavi::TimeStampFormat timeStampFormat,
                 QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      behaviour_(settings, clock, sound, std::move(folders), std::move(timeStampFormat), *this)
{
    BuildControls();
    behaviour_.Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::BuildControls()
{
    const nortavi::forms::FormDesign& design = nortavi::forms::frmMainDesign();
    const nortavi::ui::FormBuilder controls(*this, design);

    // A stand-in font can run a few pixels wider than the design font: a
    // caption that would lose its last letters takes the free space to its
    // right instead.
    for (const nortavi::forms::ControlDesign& control : design.controls) {
        if (control.kind != nortavi::forms::ControlKind::Label || control.centred) {
            continue;
        }
        auto* label = controls.Get<QLabel>(control.id);
        const int needed = qCeil(QFontMetricsF(label->font()).horizontalAdvance(label->text()));
        if (needed > label->width()) {
            const int limit =
                nortavi::ui::Pixels(nortavi::forms::CaptionRightLimit(design, control));
            label->resize(std::min(needed, limit - label->x()), label->height());
        }
    }

    Label1 = controls.Get<QLabel>(Id::Label1);
    MinsSinceClearField = controls.Get<QLineEdit>(Id::MinsSinceClearField);
    Label2 = controls.Get<QLabel>(Id::Label2);
    MinsSinceCloudyField = controls.Get<QLineEdit>(Id::MinsSinceCloudyField);
    Label3 = controls.Get<QLabel>(Id::Label3);
    MinsSinceVCloudyField = controls.Get<QLineEdit>(Id::MinsSinceVCloudyField);
    Line3 = controls.Get<QFrame>(Id::Line3);
    Label4 = controls.Get<QLabel>(Id::Label4);
    ConditionField = controls.Get<QLabel>(Id::ConditionField);
    Line1 = controls.Get<QFrame>(Id::Line1);
    Label5 = controls.Get<QLabel>(Id::Label5);
    StatusField = controls.Get<QLabel>(Id::StatusField);
    SetupButton = controls.Get<QPushButton>(Id::SetupButton);
    AboutButton = controls.Get<QPushButton>(Id::AboutButton);
    AlarmButton = controls.Get<QPushButton>(Id::AlarmButton);
    Line2 = controls.Get<QFrame>(Id::Line2);

    conditionColour_ = design.Control(Id::ConditionField).textColour.value_or(nortavi::kBlack);
    statusColour_ = design.Control(Id::StatusField).textColour.value_or(nortavi::kBlack);
    ShowTextColours();

    // The big captions keep their design fonts; FitFontToWidth shrinks a
    // stand-in for a caption that would not fit.
    conditionFont_ = ConditionField->font();
    statusFont_ = StatusField->font();
    alarmFont_ = AlarmButton->font();
    ConditionField->setFont(
        FitFontToWidth(conditionFont_, ConditionField->text(), ConditionField->width()));
    StatusField->setFont(FitFontToWidth(statusFont_, StatusField->text(), StatusField->width()));
    AlarmButton->setFont(
        FitFontToWidth(alarmFont_, AlarmButton->text(), CaptionWidth(AlarmButton)));
    // Nothing to cancel until the first poll says otherwise.
    AlarmButton->setEnabled(false);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));

    auto& behaviour = behaviour_;
    connect(Timer1, &QTimer::timeout, this, [&behaviour] { behaviour.Timer1_Timer(); });
    connect(AlarmButton, &QPushButton::clicked, this, [&behaviour] { behaviour.AlarmButton_Click(); });
    connect(AboutButton, &QPushButton::clicked, this, [&behaviour] { behaviour.AboutButton_Click(); });
    connect(SetupButton, &QPushButton::clicked, this, [&behaviour] { behaviour.SetupButton_Click(); });

    // The night history window, from the window's context menu or Ctrl+H:
    // no control of the window changes for it.
    auto* nightHistory = new QAction(Text(nortavi::forms::kNightHistoryItem), this);
    nightHistory->setObjectName(QStringLiteral("NightHistoryAction"));
    nightHistory->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(nortavi::forms::kNightHistoryKey)));
    nightHistory->setShortcutContext(Qt::WindowShortcut);
    addAction(nightHistory);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(nightHistory, &QAction::triggered, this, [&behaviour] { behaviour.NightHistory_Click(); });
}

void frmMain::CloseForSessionEnd()
{
    closeReason_ = CloseReason::Session;
    close();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    if (!behaviour_.Form_QueryUnload(closeReason_)) {
        event->ignore();  // asked again once the modal windows have returned
        return;
    }
    // Any other window of the program goes with the main one.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
        if (*window != this && (*window)->isVisible()) {
            (*window)->close();
        }
    }
    event->accept();
}

void frmMain::keyPressEvent(QKeyEvent* event)
{
    // Enter anywhere in the window presses the alarm button, as a dialog's
    // default button would; a text box passes Enter on to its window.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (AlarmButton->isEnabled()) {
            AlarmButton->click();
        }
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmMain::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        ShowTextColours();  // the desktop's theme changed
    }
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
        behaviour_.Form_Deactivate();
    }
}

void frmMain::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (demandsAttention_) {
        // An alarm raised before the window was up (at first start).
        QTimer::singleShot(0, this, [this] { nortavi::ui::SetDemandsAttention(*this, demandsAttention_); });
    }
}

void frmMain::SetCaption(int control, const std::string& caption)
{
    const QString text = Text(caption);
    switch (control) {
        case Id::ConditionField:
            ConditionField->setFont(FitFontToWidth(conditionFont_, text, ConditionField->width()));
            ConditionField->setText(text);
            break;
        case Id::StatusField:
            StatusField->setFont(FitFontToWidth(statusFont_, text, StatusField->width()));
            StatusField->setText(text);
            break;
        case Id::AlarmButton:
            AlarmButton->setFont(FitFontToWidth(alarmFont_, text, CaptionWidth(AlarmButton)));
            AlarmButton->setText(text);
            break;
        case Id::MinsSinceClearField:
            MinsSinceClearField->setText(text);
            break;
        case Id::MinsSinceCloudyField:
            MinsSinceCloudyField->setText(text);
            break;
        case Id::MinsSinceVCloudyField:
            MinsSinceVCloudyField->setText(text);
            break;
        default:
            break;
    }
}

void frmMain::SetTextColour(int control, nortavi::Colour colour)
{
    if (control == Id::ConditionField) {
        conditionColour_ = colour;
    } else if (control == Id::StatusField) {
        statusColour_ = colour;
    } else {
        return;
    }
    ShowTextColours();
}

void frmMain::ShowTextColours()
{
    SetLabelColour(ConditionField, ReadableOn(palette(), conditionColour_));
    SetLabelColour(StatusField, ReadableOn(palette(), statusColour_));
}

void frmMain::SetEnabled(int control, bool enabled)
{
    if (control == Id::AlarmButton) {
        AlarmButton->setEnabled(enabled);
    }
}

void frmMain::SetTitle(const std::string& title)
{
    setWindowTitle(QString::fromStdString(title));
}

void frmMain::ShowMessage(MessageKind kind, const std::string& text)
{
    const bool about = kind == MessageKind::About;
    // The chart's own warning comes over the chart, and leaves the main
    // window at hand as its file dialog does.
    const bool overHistory = kind == MessageKind::PictureSaveFailed && fHistoryForm != nullptr &&
                             fHistoryForm->isVisible();
    QMessageBox box(about ? QMessageBox::NoIcon : QMessageBox::Warning, Title(),
                    QString::fromStdString(text), QMessageBox::Ok,
                    overHistory ? static_cast<QWidget*>(fHistoryForm.get()) : this);
    if (overHistory) {
        box.setWindowModality(Qt::WindowModal);
    }
    switch (kind) {
        case MessageKind::About:
            box.setObjectName(QStringLiteral("AboutBox"));
            break;
        case MessageKind::SaveFailed:
            box.setObjectName(QStringLiteral("SaveFailedBox"));
            break;
        case MessageKind::NetworkWarning:
            box.setObjectName(QStringLiteral("NetworkWarningBox"));
            break;
        case MessageKind::NightLogWarning:
            box.setObjectName(QStringLiteral("NightLogWarningBox"));
            break;
        case MessageKind::PictureSaveFailed:
            box.setObjectName(QStringLiteral("PictureSaveFailedBox"));
            break;
    }
    box.exec();
}

void frmMain::ShowSetupDialog()
{
    // Its window is built at the first opening: most starts never open it,
    // and its controls would cost every start time and memory.
    if (fSetupForm == nullptr) {
        fSetupForm = new frmSetup(behaviour_.SetupForm(), this);
    }
    fSetupForm->ShowModal();
}

void frmMain::StartTimer(int intervalMs)
{
    Timer1->setInterval(intervalMs);
    Timer1->start();
}

void frmMain::StopTimer()
{
    Timer1->stop();
}

void frmMain::AskForAttention(bool ask)
{
    demandsAttention_ = ask;
    if (isVisible()) {
        nortavi::ui::SetDemandsAttention(*this, ask);
    }
}

bool frmMain::CloseModalWindows()
{
    // A modal window hides at once; its loop returns once this event has
    // been handled, and touches nothing of the main window's.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
        if (*window != this && (*window)->isVisible() && (*window)->isModal()) {
            (*window)->close();
        }
    }
    return true;
}

void frmMain::CloseLater()
{
    QMetaObject::invokeMethod(this, [this] { close(); }, Qt::QueuedConnection);
}

void frmMain::RunLater(std::function<void()> task)
{
    // Dropped should the window go first.
    QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
}

void frmMain::ShowHistoryWindow()
{
    if (fHistoryForm == nullptr) {
        fHistoryForm = std::make_unique<frmHistory>(behaviour_.HistoryForm());
        // Beside the main window, which shows the alarm, rather than over it.
        const QRect frame = frameGeometry();
        const QSize frameExtra = frame.size() - size();
        const QRect area = screen()->availableGeometry();
        const auto place = nortavi::forms::PlaceBeside(
            {frame.x(), frame.y(), frame.width(), frame.height()},
            fHistoryForm->width() + frameExtra.width(), fHistoryForm->minimumWidth() + frameExtra.width(),
            fHistoryForm->height() + frameExtra.height(), {area.x(), area.y(), area.width(), area.height()});
        if (place) {
            fHistoryForm->resize(place->width - frameExtra.width(), fHistoryForm->height());
            fHistoryForm->move(place->left, place->top);
        }
    }
    if (fHistoryForm->isMinimized()) {
        fHistoryForm->showNormal();
    } else {
        fHistoryForm->show();
    }
    fHistoryForm->raise();
    fHistoryForm->activateWindow();
}

void frmMain::RedrawHistory()
{
    if (fHistoryForm != nullptr) {
        fHistoryForm->Redraw();
    }
}

void frmMain::CloseHistoryWindow()
{
    if (fHistoryForm != nullptr) {
        fHistoryForm->close();
    }
}

std::optional<std::string> frmMain::AskPicturePath(const std::string& suggested)
{
    if (fHistoryForm == nullptr) {
        return std::nullopt;
    }
    const QString path = fHistoryForm->AskPicturePath(QString::fromStdString(suggested));
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return QFile::encodeName(path).toStdString();
}

std::string frmMain::HistoryPicture()
{
    if (fHistoryForm == nullptr) {
        return {};
    }
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !fHistoryForm->Picture().save(&buffer, "PNG")) {
        return {};
    }
    return png.toStdString();
}
