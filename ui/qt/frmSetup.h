// SPDX-License-Identifier: MIT
#pragma once

#include "frmSetupBehaviour.h"

#include <QDialog>

#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class frmNotify;

// The setup dialog: draws what frmSetupBehaviour does. Each opening
// refills its controls from the settings; only OK stores them back.
class frmSetup : public QDialog {
    Q_OBJECT

public:
    explicit frmSetup(nortavi::behaviour::frmSetupBehaviour& behaviour, QWidget* parent = nullptr);

    // Fills the controls from the settings, then shows the dialog modally;
    // returns when it has closed, by whatever means.
    int ShowModal();

private:
    void BuildControls();

    void Form_Load();
    void cmdOK_Click();
    void cmdCancel_Click();
    void NotifyButton_Click();

    // Tells the user why OK did not close, then hands the field back with
    // its text selected so the next keystroke replaces it.
    void Refuse(QLineEdit* field, const QString& message);

    nortavi::behaviour::frmSetupBehaviour& behaviour_;

    // The path's bytes as this opening found them: text that cannot be shown
    // exactly (bytes that are not valid in the system's encoding) is stored
    // back unchanged as long as the user leaves the field alone.
    std::string loadedPath_;

    QLabel* Label2 = nullptr;
    QLineEdit* StatusPathField = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* TimeToSafeField = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* TimeToUnsafeField = nullptr;
    QComboBox* Combo1 = nullptr;
    QCheckBox* AlarmOnSafeCheck = nullptr;
    QCheckBox* AlarmOnUnsafeCheck = nullptr;
    QCheckBox* AlpacaServerCheck = nullptr;
    QLineEdit* AlpacaPortField = nullptr;
    QCheckBox* AlpacaAllowRemoteCheck = nullptr;
    QLineEdit* AlpacaDiscoveryPortField = nullptr;
    QPushButton* NotifyButton = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;
    frmNotify* fNotifyForm = nullptr;
};
