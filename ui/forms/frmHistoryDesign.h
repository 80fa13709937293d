// SPDX-License-Identifier: MIT
#pragma once

// The night history window, without a toolkit: a resizable window whose
// chart fills it above a row of two buttons at its bottom right, and the
// main window's ways into it. The Qt and Win32 front ends both size, place
// and caption it from here.

#include "FormDesign.h"

#include <optional>
#include <string_view>

namespace nortavi::forms {

struct frmHistoryId {
    enum : int {
        Chart = 301,
        SaveButton,
        CloseButton,
    };
};

struct frmHistoryDesign {
    std::string_view name;     // the window's class and object name
    std::string_view caption;  // its title
    // The client area in twips: at its first opening, and the least it
    // may be made.
    int clientWidth = 0;
    int clientHeight = 0;
    int minClientWidth = 0;
    int minClientHeight = 0;
    FontDesign font;  // the buttons'
    std::string_view saveCaption;   // '&' marks the access key
    std::string_view closeCaption;
    int saveButtonWidth = 0;  // twips
    int closeButtonWidth = 0;
    int buttonHeight = 0;
    // The file dialog of Save as PNG: its title, and what it calls the files
    // it offers (*.png).
    std::string_view saveDialogTitle;
    std::string_view pictureTypeName;
};

const frmHistoryDesign& HistoryDesign();

// In the main window: an item of its system menu (Windows) or of its
// context menu (Linux), and Ctrl with this key on both.
inline constexpr std::string_view kNightHistoryItem = "Night history...";
inline constexpr char kNightHistoryKey = 'H';

// A rectangle in a window's pixels.
struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    int Right() const { return left + width; }
    int Bottom() const { return top + height; }
    bool operator==(const PixelRect&) const = default;
};

struct frmHistoryLayout {
    PixelRect chart;
    PixelRect saveButton;
    PixelRect closeButton;
};

// Where the chart and the buttons go in a client area of this many pixels
// at `dpi`: the chart takes all but the row of buttons below it.
frmHistoryLayout LayOutHistory(int clientWidth, int clientHeight, int dpi);

// Where a new window `width` x `height` (frame included) goes so that it
// leaves `beside` (the main window's frame) in view: to its right, else to
// its left, tops level, inside `workArea`; made narrower, down to
// `leastWidth`, where that is what it takes. None when neither side has
// room: the system then places it. The chart must not hide the alarm.
std::optional<PixelRect> PlaceBeside(const PixelRect& beside, int width, int leastWidth, int height,
                                     const PixelRect& workArea);

}  // namespace nortavi::forms
