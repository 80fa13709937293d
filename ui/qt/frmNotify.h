// SPDX-License-Identifier: MIT
#pragma once

#include "frmNotifyBehaviour.h"

#include <QDialog>

#include <map>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTimer;

// The notification settings, opened from Setup: draws what
// frmNotifyBehaviour does. Each opening refills the controls; OK stores
// them in Setup's settings, "Send test message" sends without storing.
class frmNotify : public QDialog {
    Q_OBJECT

public:
    explicit frmNotify(nortavi::behaviour::frmNotifyBehaviour& behaviour,
                       QWidget* parent = nullptr);

    // Fills the controls, then shows the dialog modally; returns when it
    // has closed, by whatever means.
    int ShowModal();

private:
    void Form_Load();
    void cmdOK_Click();
    void cmdTest_Click();
    // While a test message is on its way: its result, once it has one.
    void Timer1_Timer();

    nortavi::forms::NotifyEntries ReadEntries() const;
    void Refuse(int field, const QString& message);
    void Tell(const QString& message, bool warning);
    void ShowTesting(bool testing);

    nortavi::behaviour::frmNotifyBehaviour& behaviour_;
    std::map<int, QCheckBox*> checks_;
    std::map<int, QLineEdit*> fields_;
    QPushButton* cmdTest = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    QTimer* Timer1 = nullptr;
};
