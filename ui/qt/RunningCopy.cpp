// SPDX-License-Identifier: MIT
#include "RunningCopy.h"

#include <QSocketNotifier>
#include <QWidget>

namespace nortavi::ui {

RunningCopy::RunningCopy(const std::string& key, QWidget& window) : window_(window), requests_(key)
{
    if (requests_.Fd() < 0) {
        return;  // a second start then only says that this copy runs
    }
    notifier_ = new QSocketNotifier(requests_.Fd(), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        if (requests_.Take()) {
            ShowWindow();
        }
    });
}

RunningCopy::~RunningCopy() = default;

void RunningCopy::ShowWindow()
{
    window_.setWindowState((window_.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window_.show();
    window_.raise();
    window_.activateWindow();
}

}  // namespace nortavi::ui
