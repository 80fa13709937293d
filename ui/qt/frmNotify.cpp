// SPDX-License-Identifier: MIT
#include "frmNotify.h"

#include "FormBuilder.h"
#include "WindowFonts.h"
#include "frmNotifyDesign.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

using Id = nortavi::forms::frmNotifyId;
using nortavi::ui::Text;

const nortavi::forms::FormDesign& Design()
{
    return nortavi::forms::frmNotifyDesign();
}


}  // namespace

frmNotify::frmNotify(nortavi::behaviour::frmNotifyBehaviour& behaviour, QWidget* parent)
    : QDialog(parent), behaviour_(behaviour)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    const nortavi::ui::FormBuilder controls(*this, Design());
    for (const auto& check : nortavi::forms::kNotifyChecks) {
        checks_[check.id] = controls.Get<QCheckBox>(check.id);
    }
    for (const auto& field : nortavi::forms::kNotifyTexts) {
        fields_[field.id] = controls.Get<QLineEdit>(field.id);
    }
    cmdTest = controls.Get<QPushButton>(Id::cmdTest);
    cmdOK = controls.Get<QPushButton>(Id::cmdOK);
    cmdCancel = controls.Get<QPushButton>(Id::cmdCancel);
    // A stand-in face wider than the design's shrinks the dialog's text
    // until the longest labels fit, as in Setup.
    QFont font = this->font();
    for (const int label : {Id::Label1, Id::Label2, Id::Label5}) {
        const QLabel* caption = controls.Get<QLabel>(label);
        font = nortavi::ui::FitFontToWidth(font, caption->text(), caption->width());
    }
    setFont(font);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(nortavi::forms::kTestPollIntervalMs);
    connect(Timer1, &QTimer::timeout, this, &frmNotify::Timer1_Timer);
    connect(cmdOK, &QPushButton::clicked, this, &frmNotify::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdTest, &QPushButton::clicked, this, &frmNotify::cmdTest_Click);
}

int frmNotify::ShowModal()
{
    Form_Load();
    checks_.at(Design().initialFocus)->setFocus(Qt::OtherFocusReason);
    const int result = exec();
    Timer1->stop();
    return result;
}

void frmNotify::Form_Load()
{
    const nortavi::forms::NotifyEntries e = behaviour_.Form_Load();
    for (const auto& check : nortavi::forms::kNotifyChecks) {
        checks_.at(check.id)->setChecked(e.*check.entry);
    }
    for (const auto& field : nortavi::forms::kNotifyTexts) {
        fields_.at(field.id)->setText(QString::fromStdString(e.*field.entry));
        fields_.at(field.id)->setCursorPosition(0);
    }
    // A test still on its way from an earlier opening is told here.
    ShowTesting(behaviour_.Testing());
}

nortavi::forms::NotifyEntries frmNotify::ReadEntries() const
{
    const auto checked = [this](int id) { return checks_.at(id)->isChecked(); };
    const auto text = [this](int id) { return fields_.at(id)->text().toStdString(); };
    nortavi::forms::NotifyEntries e;
    for (const auto& check : nortavi::forms::kNotifyChecks) {
        e.*check.entry = checked(check.id);
    }
    for (const auto& field : nortavi::forms::kNotifyTexts) {
        e.*field.entry = text(field.id);
    }
    return e;
}

void frmNotify::cmdOK_Click()
{
    const auto stored = behaviour_.cmdOK_Click(ReadEntries());
    if (stored.refusal) {
        Refuse(stored.refusal->field, QString::fromStdString(stored.refusal->message));
        return;
    }
    if (!stored.warning.empty()) {
        Tell(QString::fromStdString(stored.warning), true);
    }
    accept();
}

void frmNotify::cmdTest_Click()
{
    if (const auto refusal = behaviour_.cmdTest_Click(ReadEntries())) {
        Refuse(refusal->field, QString::fromStdString(refusal->message));
        return;
    }
    ShowTesting(true);
}

void frmNotify::Timer1_Timer()
{
    if (const auto result = behaviour_.TestResult()) {
        ShowTesting(false);
        Tell(QString::fromStdString(*result), false);
    }
}

void frmNotify::ShowTesting(bool testing)
{
    cmdTest->setEnabled(!testing);
    cmdTest->setText(Text(testing ? nortavi::forms::kTestSendingCaption
                                  : Design().Control(Id::cmdTest).caption));
    if (testing) {
        Timer1->start();
    } else {
        Timer1->stop();
    }
}

void frmNotify::Refuse(int field, const QString& message)
{
    Tell(message, true);
    QLineEdit* edit = fields_.at(field);
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
}

void frmNotify::Tell(const QString& message, bool warning)
{
    QMessageBox box(warning ? QMessageBox::Warning : QMessageBox::Information,
                    Text(Design().caption), message, QMessageBox::Ok, this);
    box.setObjectName(warning ? QStringLiteral("NotifyWarningBox")
                              : QStringLiteral("TestResultBox"));
    box.exec();
}
