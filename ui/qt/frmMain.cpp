// SPDX-License-Identifier: MIT
#include "frmMain.h"

#include "Attention.h"
#include "FormBuilder.h"
#include "FormTexts.h"
#include "QtColour.h"
#include "WindowFonts.h"
#include "frmMainDesign.h"
#include "frmSetup.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetricsF>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>
#include <QtMath>

#include <algorithm>

namespace {

using nortavi::ui::FitFontToWidth;
using nortavi::ui::Text;

QString Title()
{
    return Text(nortavi::forms::frmMainDesign().caption);
}

void SetTextColour(QLabel* label, nortavi::Colour colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, nortavi::ui::ToQColor(colour));
    label->setPalette(palette);
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
      settings_(settings),
      folders_(std::move(folders)),
      statusFile_(std::move(timeStampFormat)),
      configFile_(folders_.load, folders_.save),
      monitor_(settings_, nortavi::MonitorPorts{clock, statusFile_, configFile_, fileProbe_, *this,
                                                sound, folders_.program, folders_.user,
                                                &publisher_.Board()})
{
    BuildControls();
    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::BuildControls()
{
    using Id = nortavi::forms::frmMainId;
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

    connect(Timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);
    connect(AlarmButton, &QPushButton::clicked, this, &frmMain::AlarmButton_Click);
    connect(AboutButton, &QPushButton::clicked, this, &frmMain::AboutButton_Click);
    connect(SetupButton, &QPushButton::clicked, this, &frmMain::SetupButton_Click);
}

void frmMain::Form_Load()
{
    const QScopedValueRollback pollGuard(polling_, true);
    monitor_.StartUp([this] {
        fSetupForm = new frmSetup(settings_, this, [this](std::uint16_t port, bool allowRemote) {
            return publisher_.PortUsable(port, allowRemote);
        });
        Timer1->setInterval(nortavi::forms::kPollIntervalMs);
        Timer1->start();
    });
    // Told once, as soon as the window is up: the window works without it.
    if (const auto problem = PublishStatus()) {
        QTimer::singleShot(0, this, [this, text = *problem] { Warn(text); });
    }
}

void frmMain::Timer1_Timer()
{
    // Ticks arrive through the event loop, so they cannot interrupt a poll;
    // should anything inside a poll ever run the loop (a sound backend, a
    // dialog), a tick that comes meanwhile is dropped, not nested.
    if (polling_) {
        return;
    }
    const QScopedValueRollback pollGuard(polling_, true);
    monitor_.RefreshStatus();
}

void frmMain::AlarmButton_Click()
{
    monitor_.AlarmButton_Click();
}

void frmMain::AboutButton_Click()
{
    QMessageBox box(QMessageBox::NoIcon, Title(), Text(nortavi::forms::AboutText()),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("AboutBox"));
    box.exec();
}

void frmMain::SetupButton_Click()
{
    fSetupForm->ShowModal();
    // Before the save, which then keeps a unique id made for a first start.
    const auto problem = PublishStatus();
    SaveConfig();
    if (problem) {
        Warn(*problem);
    }
}

void frmMain::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();  // closing always proceeds
}

void frmMain::Form_Unload()
{
    // The window is going away: no further poll, and no alarm sweep while
    // the settings are saved.
    Timer1->stop();
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
        if (*window != this && (*window)->isVisible()) {
            (*window)->close();
        }
    }
    SaveConfig();
}

void frmMain::SaveConfig()
{
    if (configFile_.SaveConfig(settings_)) {
        return;
    }
    QMessageBox box(QMessageBox::Warning, Title(),
                    QString::fromLocal8Bit(nortavi::forms::SaveFailedText(configFile_.Path())),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("SaveFailedBox"));
    box.exec();
}

std::optional<std::string> frmMain::PublishStatus()
{
    return publisher_.Apply(settings_.alpaca);
}

void frmMain::Warn(const std::string& text)
{
    QMessageBox box(QMessageBox::Warning, Title(), QString::fromStdString(text), QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("NetworkWarningBox"));
    box.exec();
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

void frmMain::SetConditionCaption(const std::string& caption)
{
    const QString text = Text(caption);
    ConditionField->setFont(FitFontToWidth(conditionFont_, text, ConditionField->width()));
    ConditionField->setText(text);
}

void frmMain::SetConditionColour(nortavi::Colour colour)
{
    SetTextColour(ConditionField, colour);
}

void frmMain::SetStatusCaption(const std::string& caption)
{
    const QString text = Text(caption);
    StatusField->setFont(FitFontToWidth(statusFont_, text, StatusField->width()));
    StatusField->setText(text);
}

void frmMain::SetStatusColour(nortavi::Colour colour)
{
    SetTextColour(StatusField, colour);
}

void frmMain::SetMinsSinceClearText(const std::string& text)
{
    MinsSinceClearField->setText(Text(text));
}

void frmMain::SetMinsSinceCloudyText(const std::string& text)
{
    MinsSinceCloudyField->setText(Text(text));
}

void frmMain::SetMinsSinceVCloudyText(const std::string& text)
{
    MinsSinceVCloudyField->setText(Text(text));
}

void frmMain::SetAlarmButtonCaption(const std::string& caption)
{
    const QString text = Text(caption);
    AlarmButton->setFont(FitFontToWidth(alarmFont_, text, CaptionWidth(AlarmButton)));
    AlarmButton->setText(text);
}

void frmMain::SetAlarmButtonEnabled(bool enabled)
{
    AlarmButton->setEnabled(enabled);
    // The button is enabled exactly while an alarm is up.
    if (enabled != demandsAttention_) {
        demandsAttention_ = enabled;
        if (isVisible()) {
            nortavi::ui::SetDemandsAttention(*this, enabled);
        }
    }
}

void frmMain::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // Window managers drop the mark from the window in use; asked again
    // whenever the user turns to another while the alarm is still up.
    if (event->type() == QEvent::ActivationChange && demandsAttention_ && !isActiveWindow()) {
        nortavi::ui::SetDemandsAttention(*this, true);
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
