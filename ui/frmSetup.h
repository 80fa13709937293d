// SPDX-License-Identifier: MIT
#pragma once

#include "Settings.h"

#include <QDialog>

// The setup dialog: edits the six settings in place. Each opening refills
// its controls from the settings; only OK stores them back.
class frmSetup : public QDialog {
    Q_OBJECT

public:
    explicit frmSetup(nortavi::Settings& settings, QWidget* parent = nullptr);

    // Fills the controls from the settings, then shows the dialog modally;
    // returns when it has closed, by whatever means.
    int ShowModal();

private:
    nortavi::Settings& settings_;
};
