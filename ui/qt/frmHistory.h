// SPDX-License-Identifier: MIT
#pragma once

#include "frmHistoryEvents.h"

#include <QImage>
#include <QString>
#include <QWidget>

class QCloseEvent;
class QKeyEvent;
class QPushButton;
class QResizeEvent;

// The night history window: the chart filling a resizable window above
// its Save as PNG and Close buttons. It asks frmHistoryEvents for the chart
// at its size whenever it paints, and tells it of the button and the close.
// A window of its own, not the main window's child: the main window, with
// the alarm, must be able to come on top of it.
class frmHistory final : public QWidget {
    Q_OBJECT

public:
    explicit frmHistory(nortavi::behaviour::frmHistoryEvents& events);
    ~frmHistory() override;

    // Paints the chart anew once the event loop runs.
    void Redraw();
    // The chart as the window shows it, at its size and DPI.
    QImage Picture() const;
    // Modal over this window only (the main window stays at hand): the
    // file to save the picture to, or an empty text when cancelled.
    QString AskPicturePath(const QString& suggestedName);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    class ChartView;

    nortavi::behaviour::frmHistoryEvents& events_;
    QString pictureFolder_;  // where the last picture went

    ChartView* Chart = nullptr;
    QPushButton* SaveButton = nullptr;
    QPushButton* CloseButton = nullptr;
};
