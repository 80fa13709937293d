// SPDX-License-Identifier: MIT
#pragma once

// What a window is, without a toolkit: its caption, client size, font and
// controls, each with its kind, name, id, rectangle, caption and the like.
// The Qt and Win32 front ends both build their windows from these tables,
// so a caption or a rectangle is written once and cannot drift.

#include "Colours.h"

#include <optional>
#include <span>
#include <string_view>

namespace nortavi::forms {

enum class ControlKind { Label, TextBox, Button, CheckBox, DropDownList, Line, GroupBox };

// Twips: 1/1440 inch, 15 to a pixel at 96 dots per inch.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    int Right() const { return left + width; }
    int Bottom() const { return top + height; }
};

struct FontDesign {
    std::string_view face;
    double points = 8;
    bool bold = false;
};

struct ControlDesign {
    ControlKind kind = ControlKind::Label;
    std::string_view name;
    int id = 0;  // the control's id in the Win32 window, unique within its form
    // A line runs from (left, top) to (left + width, top) and has no height.
    TwipsRect rect;
    std::string_view caption = {};
    std::optional<FontDesign> font = std::nullopt;  // none: the form's font
    bool centred = false;
    std::optional<Colour> textColour = std::nullopt;  // none: the system's text colour
    std::string_view toolTip = {};
    std::span<const std::string_view> items = {};  // a drop-down list's fixed items
};

struct FormDesign {
    std::string_view name;     // the window's class and object name
    std::string_view caption;  // its title
    int clientWidth = 0;       // twips
    int clientHeight = 0;
    FontDesign font;
    std::span<const ControlDesign> controls;
    std::span<const int> tabOrder;  // control ids, in the order Tab visits them
    int defaultButton = 0;          // pressed by Enter; 0 for none
    int cancelButton = 0;           // pressed by Esc; 0 for none
    int initialFocus = 0;

    const ControlDesign& Control(int id) const;
};

// The pixels for a length in twips at a given dots-per-inch, to the nearest.
constexpr int TwipsToPixels(int twips, int dpi)
{
    const long scaled = static_cast<long>(twips) * dpi;
    return static_cast<int>((scaled >= 0 ? scaled + 720 : scaled - 720) / 1440);
}

// How far right a label's caption may run when a stand-in font draws it
// wider than the design font: up to just short of the next control on its
// row, or else to the margin that mirrors its left one.
int CaptionRightLimit(const FormDesign& form, const ControlDesign& label);

}  // namespace nortavi::forms
