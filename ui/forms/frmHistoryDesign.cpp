// SPDX-License-Identifier: MIT
#include "frmHistoryDesign.h"

#include <algorithm>

namespace nortavi::forms {

namespace {

// Around the row of buttons and between them.
constexpr int kMarginTwips = 120;
// Between the two windows placed side by side.
constexpr int kBesideGapPixels = 8;

// 12 hours at 60 pixels an hour, 300 pixels high, above the buttons; at
// least 8 hours' worth of width at 40 an hour and room for the bands.
constexpr frmHistoryDesign kDesign{
    .name = "frmHistory",
    .caption = "Night history",
    .clientWidth = 10800,
    .clientHeight = 5115,
    .minClientWidth = 7200,
    .minClientHeight = 3615,
    .font = {"MS Sans Serif", 8, false},
    .saveCaption = "&Save as PNG...",
    .closeCaption = "Close",
    .saveButtonWidth = 1275,
    .closeButtonWidth = 855,
    .buttonHeight = 375,
    .saveDialogTitle = "Save the night chart",
    .pictureTypeName = "PNG image",
};

}  // namespace

const frmHistoryDesign& HistoryDesign()
{
    return kDesign;
}

frmHistoryLayout LayOutHistory(int clientWidth, int clientHeight, int dpi)
{
    const auto pixels = [dpi](int twips) { return TwipsToPixels(twips, dpi); };
    const int margin = pixels(kMarginTwips);
    const int buttonHeight = pixels(kDesign.buttonHeight);
    const int rowHeight = margin + buttonHeight + margin;

    frmHistoryLayout layout;
    layout.chart = {0, 0, clientWidth, std::max(0, clientHeight - rowHeight)};
    const int buttonTop = layout.chart.Bottom() + margin;
    const int closeWidth = pixels(kDesign.closeButtonWidth);
    const int saveWidth = pixels(kDesign.saveButtonWidth);
    layout.closeButton = {clientWidth - margin - closeWidth, buttonTop, closeWidth, buttonHeight};
    layout.saveButton = {layout.closeButton.left - margin - saveWidth, buttonTop, saveWidth,
                         buttonHeight};
    return layout;
}

std::optional<PixelRect> PlaceBeside(const PixelRect& beside, int width, int leastWidth, int height,
                                     const PixelRect& workArea)
{
    if (height > workArea.height) {
        return std::nullopt;
    }
    const int top = std::clamp(beside.top, workArea.top, workArea.Bottom() - height);
    const int roomRight = workArea.Right() - beside.Right() - kBesideGapPixels;
    const int roomLeft = beside.left - kBesideGapPixels - workArea.left;
    if (roomRight >= width || (roomRight >= leastWidth && roomRight >= roomLeft)) {
        return PixelRect{beside.Right() + kBesideGapPixels, top, std::min(width, roomRight), height};
    }
    if (roomLeft >= leastWidth) {
        const int placed = std::min(width, roomLeft);
        return PixelRect{beside.left - kBesideGapPixels - placed, top, placed, height};
    }
    return std::nullopt;
}

}  // namespace nortavi::forms
