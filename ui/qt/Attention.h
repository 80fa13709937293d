// SPDX-License-Identifier: MIT
#pragma once

class QWidget;

namespace nortavi::ui {

// Marks a shown window as wanting the user's attention (its task-bar
// entry flashes or is highlighted), or no longer, without taking the
// keyboard focus. On X11 the window manager is asked directly, for as long
// as the alarm is up; elsewhere Qt's own alert is used.
void SetDemandsAttention(QWidget& window, bool demand);

}  // namespace nortavi::ui
