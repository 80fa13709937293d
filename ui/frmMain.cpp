// SPDX-License-Identifier: MIT
#include "frmMain.h"

#include "NortaviVersion.h"
#include "QtColour.h"
#include "Twips.h"
#include "WindowFonts.h"
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

using nortavi::ui::DesignFont;
using nortavi::ui::FitFontToWidth;
using nortavi::ui::TwipsRect;
using nortavi::ui::TwipsToPixels;

constexpr int kPollIntervalMs = 5000;
constexpr int kClientWidthTwips = 4620;
constexpr int kClientHeightTwips = 7635;

const QString kTitle = QStringLiteral("Nortavi");

QString AboutText()
{
    return QStringLiteral("Nortavi by the Nortavi developers (https://nortavi.invalid) - Version %1.%2.%3")
        .arg(nortavi::ui::kVersionMajor)
        .arg(nortavi::ui::kVersionMinor)
        .arg(nortavi::ui::kVersionRevision);
}

QString Text(const std::string& ascii)
{
    return QString::fromLatin1(ascii.data(), static_cast<qsizetype>(ascii.size()));
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
                 std::string programFolder, nortavi::ShortDatePattern datePattern, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      settings_(settings),
      programFolder_(std::move(programFolder)),
      statusFile_(datePattern),
      configFile_(programFolder_),
      monitor_(settings_, nortavi::MonitorPorts{clock, statusFile_, configFile_, fileProbe_, *this,
                                                sound, programFolder_})
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(kTitle);
    setFixedSize(TwipsToPixels(kClientWidthTwips), TwipsToPixels(kClientHeightTwips));
    BuildControls();
    SetTabOrder();
    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::BuildControls()
{
    // Controls without a font of their own use the window's: 8-point sans serif.
    setFont(DesignFont(QStringLiteral("MS Sans Serif"), 8.0, false));

    // A stand-in font can run a few pixels wider than the design font; a
    // caption that would lose its last letters takes the free space to its
    // right, up to `roomRight`, instead.
    const auto label = [this](const char* name, const QString& caption, QRect geometry,
                              const QFont& captionFont, int roomRight) {
        auto* control = new QLabel(caption, this);
        control->setObjectName(QLatin1String(name));
        control->setFont(captionFont);
        const int needed = qCeil(QFontMetricsF(captionFont).horizontalAdvance(caption));
        if (needed > geometry.width()) {
            geometry.setWidth(std::min(needed, roomRight - geometry.left()));
        }
        control->setGeometry(geometry);
        return control;
    };
    const auto textBox = [this](const char* name, QRect geometry) {
        auto* control = new QLineEdit(this);
        control->setObjectName(QLatin1String(name));
        control->setGeometry(geometry);
        return control;
    };
    const auto button = [this](const char* name, const QString& caption, QRect geometry) {
        auto* control = new QPushButton(caption, this);
        control->setObjectName(QLatin1String(name));
        control->setGeometry(geometry);
        // As on Windows, Enter presses the button that has the focus.
        control->setAutoDefault(true);
        return control;
    };
    const auto bigCaption = [this](const char* name, const QString& caption, QRect geometry,
                                   const QFont& designFont) {
        auto* control = new QLabel(caption, this);
        control->setObjectName(QLatin1String(name));
        control->setGeometry(geometry);
        control->setFont(FitFontToWidth(designFont, caption, geometry.width()));
        control->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        return control;
    };

    const QFont headingFont = DesignFont(QStringLiteral("MS Sans Serif"), 8.25, true);
    conditionFont_ = DesignFont(QStringLiteral("Microsoft Sans Serif"), 36.0, true);
    statusFont_ = conditionFont_;
    alarmFont_ = DesignFont(QStringLiteral("Microsoft Sans Serif"), 20.25, true);

    // The minute rows' captions may reach to just short of their text boxes,
    // the headings to the window's right margin.
    const int rowRoom = TwipsToPixels(2640) - 4;
    const int headingRoom = width() - TwipsToPixels(360);
    Label1 = label("Label1", QStringLiteral("Minutes since last Clear"), TwipsRect(360, 360, 2055, 255),
                   font(), rowRoom);
    MinsSinceClearField = textBox("MinsSinceClearField", TwipsRect(2640, 360, 735, 285));
    Label2 = label("Label2", QStringLiteral("Minutes since last Cloudy"), TwipsRect(360, 840, 1815, 255),
                   font(), rowRoom);
    MinsSinceCloudyField = textBox("MinsSinceCloudyField", TwipsRect(2640, 840, 735, 285));
    Label3 = label("Label3", QStringLiteral("Minutes since last V.Cloudy"),
                   TwipsRect(360, 1320, 2055, 255), font(), rowRoom);
    MinsSinceVCloudyField = textBox("MinsSinceVCloudyField", TwipsRect(2640, 1320, 735, 285));
    Line3 = AddLine("Line3", 360, 4440, 2040);

    Label4 = label("Label4", QStringLiteral("Current conditions:"), TwipsRect(360, 2280, 1815, 255),
                   headingFont, headingRoom);
    ConditionField = bigCaption("ConditionField", QStringLiteral("UNKNOWN"),
                                TwipsRect(240, 2760, 4095, 975), conditionFont_);
    SetTextColour(ConditionField, nortavi::kRed);
    Line1 = AddLine("Line1", 360, 4440, 3960);

    Label5 = label("Label5", QStringLiteral("Current Status:"), TwipsRect(360, 4200, 1455, 255),
                   headingFont, headingRoom);
    StatusField = bigCaption("StatusField", QStringLiteral("PENDING"), TwipsRect(240, 4680, 4095, 735),
                             statusFont_);
    SetTextColour(StatusField, nortavi::kBlack);

    SetupButton = button("SetupButton", QStringLiteral("Setup"), TwipsRect(1080, 5760, 855, 375));
    AboutButton = button("AboutButton", QStringLiteral("About"), TwipsRect(2520, 5760, 855, 375));
    AlarmButton = button("AlarmButton", QStringLiteral("Cancel Alarm"), TwipsRect(240, 6360, 4095, 1095));
    AlarmButton->setDefault(true);
    AlarmButton->setFont(FitFontToWidth(alarmFont_, AlarmButton->text(), CaptionWidth(AlarmButton)));
    // Nothing to cancel until the first poll says otherwise.
    AlarmButton->setEnabled(false);
    Line2 = AddLine("Line2", 0, 3600, 0);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));

    connect(Timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);
    connect(AlarmButton, &QPushButton::clicked, this, &frmMain::AlarmButton_Click);
    connect(AboutButton, &QPushButton::clicked, this, &frmMain::AboutButton_Click);
    connect(SetupButton, &QPushButton::clicked, this, &frmMain::SetupButton_Click);
}

// A thin horizontal rule in the text colour, one pixel high.
QFrame* frmMain::AddLine(const char* name, int x1Twips, int x2Twips, int yTwips)
{
    auto* line = new QFrame(this);
    line->setObjectName(QLatin1String(name));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setLineWidth(1);
    line->setGeometry(TwipsToPixels(x1Twips), TwipsToPixels(yTwips),
                      TwipsToPixels(x2Twips - x1Twips) + 1, 1);
    return line;
}

void frmMain::SetTabOrder()
{
    setTabOrder(MinsSinceClearField, MinsSinceCloudyField);
    setTabOrder(MinsSinceCloudyField, SetupButton);
    setTabOrder(SetupButton, AboutButton);
    setTabOrder(AboutButton, MinsSinceVCloudyField);
    setTabOrder(MinsSinceVCloudyField, AlarmButton);
    MinsSinceClearField->setFocus();
}

void frmMain::Form_Load()
{
    const QScopedValueRollback pollGuard(polling_, true);
    monitor_.StartUp([this] {
        fSetupForm = new frmSetup(settings_, this);
        Timer1->setInterval(kPollIntervalMs);
        Timer1->start();
    });
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
    QMessageBox box(QMessageBox::NoIcon, kTitle, AboutText(), QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("AboutBox"));
    box.exec();
}

void frmMain::SetupButton_Click()
{
    fSetupForm->ShowModal();
    SaveConfig();
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
    QMessageBox box(QMessageBox::Warning, kTitle,
                    QStringLiteral("The settings could not be saved to %1.")
                        .arg(QString::fromLocal8Bit(configFile_.Path())),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("SaveFailedBox"));
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
}
