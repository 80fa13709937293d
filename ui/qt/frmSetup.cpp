// SPDX-License-Identifier: MIT
#include "frmSetup.h"

#include "FormBuilder.h"
#include "PathText.h"
#include "WindowFonts.h"
#include "frmNotify.h"
#include "frmSetupDesign.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>


namespace {

using Id = nortavi::forms::frmSetupId;
using nortavi::ui::Text;

}  // namespace

frmSetup::frmSetup(nortavi::behaviour::frmSetupBehaviour& behaviour, QWidget* parent)
    : QDialog(parent), behaviour_(behaviour)
{
    // A fixed dialog frame: caption and close box only. Being owned by the
    // main window keeps it off the task bar and centres it over that window.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    BuildControls();

    connect(cmdOK, &QPushButton::clicked, this, &frmSetup::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSetup::cmdCancel_Click);
    connect(NotifyButton, &QPushButton::clicked, this, &frmSetup::NotifyButton_Click);
}

void frmSetup::BuildControls()
{
    const nortavi::ui::FormBuilder controls(*this, nortavi::forms::frmSetupDesign());
    Label2 = controls.Get<QLabel>(Id::Label2);
    StatusPathField = controls.Get<QLineEdit>(Id::StatusPathField);
    Label1 = controls.Get<QLabel>(Id::Label1);
    TimeToSafeField = controls.Get<QLineEdit>(Id::TimeToSafeField);
    Label3 = controls.Get<QLabel>(Id::Label3);
    TimeToUnsafeField = controls.Get<QLineEdit>(Id::TimeToUnsafeField);
    Combo1 = controls.Get<QComboBox>(Id::Combo1);
    AlarmOnSafeCheck = controls.Get<QCheckBox>(Id::AlarmOnSafeCheck);
    AlarmOnUnsafeCheck = controls.Get<QCheckBox>(Id::AlarmOnUnsafeCheck);
    cmdOK = controls.Get<QPushButton>(Id::cmdOK);
    cmdCancel = controls.Get<QPushButton>(Id::cmdCancel);
    AlpacaServerCheck = controls.Get<QCheckBox>(Id::AlpacaServerCheck);
    AlpacaPortField = controls.Get<QLineEdit>(Id::AlpacaPortField);
    AlpacaAllowRemoteCheck = controls.Get<QCheckBox>(Id::AlpacaAllowRemoteCheck);
    AlpacaDiscoveryPortField = controls.Get<QLineEdit>(Id::AlpacaDiscoveryPortField);
    NotifyButton = controls.Get<QPushButton>(Id::NotifyButton);
    fNotifyForm = new frmNotify(behaviour_.NotifyForm(), this);

    // The labels were measured for MS Sans Serif; a wider stand-in face
    // would cut "Time Clear to become safe" short. The whole dialog then
    // takes the size at which every label fits, so all its text stays alike.
    QFont font = this->font();
    for (const QLabel* label : {Label1, Label2, Label3}) {
        font = nortavi::ui::FitFontToWidth(font, label->text(), label->width());
    }
    setFont(font);
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
    const nortavi::forms::SetupEntries entries = behaviour_.Form_Load();
    loadedPath_ = behaviour_.Stored().statusPath;
    StatusPathField->setText(nortavi::ui::PathToText(loadedPath_));
    StatusPathField->setCursorPosition(0);  // a long path shows its start, as edit boxes do
    TimeToSafeField->setText(QString::fromStdString(entries.timeToSafe));
    TimeToUnsafeField->setText(QString::fromStdString(entries.timeToUnsafe));
    Combo1->setCurrentIndex(entries.comboIndex);
    AlarmOnSafeCheck->setChecked(entries.alarmOnSafe);
    AlarmOnUnsafeCheck->setChecked(entries.alarmOnUnsafe);
    AlpacaServerCheck->setChecked(entries.alpacaServer);
    AlpacaPortField->setText(QString::fromStdString(entries.alpacaPort));
    AlpacaAllowRemoteCheck->setChecked(entries.alpacaAllowRemote);
    AlpacaDiscoveryPortField->setText(QString::fromStdString(entries.alpacaDiscoveryPort));
}

void frmSetup::cmdOK_Click()
{
    nortavi::forms::SetupEntries entries;
    const QString pathText = StatusPathField->text();
    entries.statusPathEdited = pathText != nortavi::ui::PathToText(loadedPath_);
    entries.statusPath =
        entries.statusPathEdited ? nortavi::ui::PathFromText(pathText) : loadedPath_;
    entries.timeToSafe = TimeToSafeField->text().toStdString();
    entries.timeToUnsafe = TimeToUnsafeField->text().toStdString();
    entries.comboIndex = Combo1->currentIndex();
    entries.alarmOnSafe = AlarmOnSafeCheck->isChecked();
    entries.alarmOnUnsafe = AlarmOnUnsafeCheck->isChecked();
    entries.alpacaServer = AlpacaServerCheck->isChecked();
    entries.alpacaPort = AlpacaPortField->text().toStdString();
    entries.alpacaAllowRemote = AlpacaAllowRemoteCheck->isChecked();
    entries.alpacaDiscoveryPort = AlpacaDiscoveryPortField->text().toStdString();

    if (const auto refusal = behaviour_.cmdOK_Click(entries)) {
        const std::string_view name = nortavi::forms::frmSetupDesign().Control(refusal->field).name;
        Refuse(findChild<QLineEdit*>(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()))),
               QString::fromStdString(refusal->message));
        return;
    }
    accept();
}

void frmSetup::NotifyButton_Click()
{
    fNotifyForm->ShowModal();
}

void frmSetup::cmdCancel_Click()
{
    // Esc and the close box end up in reject() too.
    reject();
}

void frmSetup::Refuse(QLineEdit* field, const QString& message)
{
    QMessageBox box(QMessageBox::Warning, Text(nortavi::forms::frmSetupDesign().caption), message,
                    QMessageBox::Ok, this);
    box.exec();
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}
