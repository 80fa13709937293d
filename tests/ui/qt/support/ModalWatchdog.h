// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QTimer>

// Closes any modal window a test left open after `timeoutMs`, and remembers
// that it had to, so that a forgotten dialog fails the test instead of
// hanging the run.
class ModalWatchdog : public QObject {
public:
    explicit ModalWatchdog(int timeoutMs = 10000);
    bool Fired() const { return fired_; }

private:
    void CloseModals();

    QTimer timer_;
    bool fired_ = false;
};
