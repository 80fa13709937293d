// SPDX-License-Identifier: MIT
#pragma once

#include "ChartDrawing.h"

namespace nortavi::behaviour {

// What the night history window draws and where its events go. The main
// window's behaviour answers them (frmMainBehaviour::HistoryForm): it opens
// the window, has it drawn again at each poll and closes it with itself.
class frmHistoryEvents {
public:
    // The chart as it stands now, laid out for this size in logical pixels.
    virtual history::ChartDrawing NightChart(double width, double height) = 0;
    // Save as PNG.
    virtual void SaveButton_Click() = 0;
    // The window has closed (its Close button, Esc, its close box).
    virtual void Form_Unload() = 0;

protected:
    ~frmHistoryEvents() = default;
};

}  // namespace nortavi::behaviour
