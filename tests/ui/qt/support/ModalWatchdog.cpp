// SPDX-License-Identifier: MIT
#include "ModalWatchdog.h"

#include <QApplication>
#include <QDialog>
#include <QWidget>

ModalWatchdog::ModalWatchdog(int timeoutMs)
{
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &ModalWatchdog::CloseModals);
    timer_.start(timeoutMs);
}

void ModalWatchdog::CloseModals()
{
    while (QWidget* modal = QApplication::activeModalWidget()) {
        fired_ = true;
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        } else {
            modal->close();
        }
        QApplication::processEvents();
        if (QApplication::activeModalWidget() == modal) {
            break;  // it would not close; the test fails on Fired() anyway
        }
    }
}
