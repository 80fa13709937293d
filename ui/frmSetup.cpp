// SPDX-License-Identifier: MIT
#include "frmSetup.h"

#include "ConfigFile.h"
#include "PathText.h"
#include "Twips.h"
#include "WindowFonts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <optional>

using nortavi::ui::TwipsRect;
using nortavi::ui::TwipsToPixels;

namespace {

constexpr int kClientWidth = 3645;
constexpr int kClientHeight = 3825;

const QString kTitle = QStringLiteral("Setup");

// The dialog was designed in 8-point MS Sans Serif; DesignFont finds a
// stand-in of the same width where that face is missing.
QFont DialogFont()
{
    return nortavi::ui::DesignFont(QStringLiteral("MS Sans Serif"), 8, false);
}

template <typename Widget>
Widget* Place(Widget* widget, const char* name, QRect twips)
{
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(TwipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    return widget;
}

QString MinutesMessage(const QLabel* caption)
{
    return QStringLiteral("%1 must be a whole number of minutes from -32768 to 32767.")
        .arg(caption->text());
}

}  // namespace

frmSetup::frmSetup(nortavi::Settings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings)
{
    // A fixed dialog frame: caption and close box only. Being owned by the
    // main window keeps it off the task bar and centres it over that window.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(kTitle);
    setObjectName(QStringLiteral("frmSetup"));
    setFixedSize(TwipsToPixels(kClientWidth), TwipsToPixels(kClientHeight));

    BuildControls();
    SetTabOrder();

    connect(cmdOK, &QPushButton::clicked, this, &frmSetup::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSetup::cmdCancel_Click);
}

void frmSetup::BuildControls()
{
    Label2 = Place(new QLabel(QStringLiteral("Status path"), this), "Label2", {240, 240, 855, 255});
    StatusPathField = Place(new QLineEdit(this), "StatusPathField", {1200, 240, 2175, 285});

    Label1 = Place(new QLabel(QStringLiteral("Time Clear to become safe"), this), "Label1",
                   {240, 720, 1935, 255});
    TimeToSafeField = Place(new QLineEdit(this), "TimeToSafeField", {2760, 720, 615, 285});
    TimeToSafeField->setToolTip(QStringLiteral("Number of minutes status is Clear to become safe"));

    Label3 = Place(new QLabel(QStringLiteral("Time V.Cloudy to become unsafe"), this), "Label3",
                   {240, 1200, 2415, 255});
    TimeToUnsafeField = Place(new QLineEdit(this), "TimeToUnsafeField", {2760, 1200, 615, 285});
    TimeToUnsafeField->setToolTip(
        QStringLiteral("Number of minutes status is V.Cloudy to become unsafe"));

    // A plain list: the user picks one of the two items and cannot type.
    Combo1 = Place(new QComboBox(this), "Combo1", {240, 1680, 3135, 315});
    Combo1->setEditable(false);
    Combo1->addItem(QStringLiteral("Treat Cloudy status as Clear"));
    Combo1->addItem(QStringLiteral("Treat Cloudy status as V.Cloudy"));

    AlarmOnSafeCheck = Place(new QCheckBox(QStringLiteral("Alarm on becoming safe"), this),
                             "AlarmOnSafeCheck", {240, 2280, 3135, 255});
    // Drawn 195 twips high, too little for a check box's indicator: it gets
    // the height of the box above, around the same centre line.
    AlarmOnUnsafeCheck = Place(new QCheckBox(QStringLiteral("Alarm on becoming unsafe"), this),
                               "AlarmOnUnsafeCheck", {240, 2730, 3135, 255});

    cmdOK = Place(new QPushButton(QStringLiteral("OK"), this), "cmdOK", {600, 3240, 1095, 375});
    cmdOK->setDefault(true);  // Enter in any text field presses OK
    cmdCancel = Place(new QPushButton(QStringLiteral("Cancel"), this), "cmdCancel",
                      {1920, 3240, 1095, 375});

    // The labels were measured for MS Sans Serif; a wider stand-in face
    // would cut "Time Clear to become safe" short. The whole dialog then
    // takes the size at which every label fits, so all its text stays alike.
    QFont font = DialogFont();
    for (const QLabel* label : {Label1, Label2, Label3}) {
        font = nortavi::ui::FitFontToWidth(font, label->text(), label->width());
    }
    setFont(font);
}

void frmSetup::SetTabOrder()
{
    // The buttons come first and the list comes before the time-to-unsafe
    // field, although it stands below it.
    QWidget* const order[] = {cmdOK,  cmdCancel,         StatusPathField,  TimeToSafeField,
                              Combo1, TimeToUnsafeField, AlarmOnSafeCheck, AlarmOnUnsafeCheck};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
}

int frmSetup::ShowModal()
{
    Form_Load();
    cmdOK->setFocus(Qt::OtherFocusReason);
    return exec();
}

void frmSetup::Form_Load()
{
    // Every control is refilled, so nothing typed in an earlier opening
    // shows again (setText also drops the fields' undo history).
    loadedPath_ = settings_.statusPath;
    StatusPathField->setText(nortavi::ui::PathToText(loadedPath_));
    StatusPathField->setCursorPosition(0);  // a long path shows its start, as edit boxes do
    TimeToSafeField->setText(QString::number(settings_.timeToSafe));
    TimeToUnsafeField->setText(QString::number(settings_.timeToUnsafe));
    Combo1->setCurrentIndex(settings_.cloudyAsClear ? 0 : 1);
    AlarmOnSafeCheck->setChecked(settings_.alarmOnSafe);
    AlarmOnUnsafeCheck->setChecked(settings_.alarmOnUnsafe);
}

void frmSetup::cmdOK_Click()
{
    // Every field is checked before the first setting is stored, so a
    // refusal leaves the settings exactly as they were.
    const QString pathText = StatusPathField->text();
    std::optional<std::string> path = loadedPath_;
    if (pathText != nortavi::ui::PathToText(loadedPath_)) {
        path = nortavi::ui::PathFromText(pathText);
        if (!path) {
            Refuse(StatusPathField,
                   QStringLiteral("Status path holds characters that cannot be saved in "
                                  "config.ini."));
            return;
        }
        if (!nortavi::StatusPathRoundTrips(*path)) {
            Refuse(StatusPathField,
                   QStringLiteral("Status path cannot be saved in config.ini as typed. "
                                  "Remove any double quote or line break from it."));
            return;
        }
    }
    const auto timeToSafe = nortavi::ParseMinutes(TimeToSafeField->text().toStdString());
    if (!timeToSafe) {
        Refuse(TimeToSafeField, MinutesMessage(Label1));
        return;
    }
    const auto timeToUnsafe = nortavi::ParseMinutes(TimeToUnsafeField->text().toStdString());
    if (!timeToUnsafe) {
        Refuse(TimeToUnsafeField, MinutesMessage(Label3));
        return;
    }

    // Stored in one go, without returning to the event loop, so a poll sees
    // either all the old settings or all the new ones.
    settings_.statusPath = *path;
    settings_.timeToSafe = *timeToSafe;
    settings_.timeToUnsafe = *timeToUnsafe;
    settings_.cloudyAsClear = Combo1->currentIndex() == 0;
    settings_.alarmOnSafe = AlarmOnSafeCheck->isChecked();
    settings_.alarmOnUnsafe = AlarmOnUnsafeCheck->isChecked();
    accept();
}

void frmSetup::cmdCancel_Click()
{
    // Esc and the close box end up in reject() too.
    reject();
}

void frmSetup::Refuse(QLineEdit* field, const QString& message)
{
    QMessageBox box(QMessageBox::Warning, kTitle, message, QMessageBox::Ok, this);
    box.exec();
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}
