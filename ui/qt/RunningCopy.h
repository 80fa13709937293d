// SPDX-License-Identifier: MIT
#pragma once

#include "ShowRequests.h"

#include <QObject>

#include <string>

class QSocketNotifier;
class QWidget;

namespace nortavi::ui {

// The running copy's side of a second start on the same settings file: the
// second asks (platform::ShowRequests::Ask) and ends; this brings `window`
// to the front, restored if minimised.
class RunningCopy final : public QObject {
    Q_OBJECT

public:
    RunningCopy(const std::string& key, QWidget& window);
    ~RunningCopy() override;

private:
    void ShowWindow();

    QWidget& window_;
    platform::ShowRequests requests_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace nortavi::ui
