// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QWidget;

namespace nortavi::ui {

// The channel between the copy of the program that runs on a settings
// file and a second start on the same file: the second asks the first to
// bring its window to the front, then ends without touching anything.
class RunningCopy final : public QObject {
    Q_OBJECT

public:
    // Listens, under a name made from `key`, for later starts, and brings
    // `window` to the front (restored if minimised) for each.
    RunningCopy(const QString& key, QWidget& window);
    ~RunningCopy() override;

    // From a second start: asks the running copy to show its window; false
    // when it could not be reached within a second or two.
    static bool AskToShow(const QString& key);

private:
    void ShowWindow();

    QWidget& window_;
    QLocalServer* server_ = nullptr;
};

}  // namespace nortavi::ui
