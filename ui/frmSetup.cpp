// SPDX-License-Identifier: MIT
#include "frmSetup.h"

frmSetup::frmSetup(nortavi::Settings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings)
{
    setWindowTitle("Setup");
}

int frmSetup::ShowModal()
{
    return exec();
}
