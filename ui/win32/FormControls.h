// SPDX-License-Identifier: MIT
#pragma once

#include "FormDesign.h"

#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace nortavi::win32 {

// Whether a font face of that name is installed.
bool FaceInstalled(const std::wstring& face);

// The face to draw a design font in: the design's own where it is
// installed and draws well at any DPI, or else a stand-in close in width.
std::wstring InstalledFace(std::string_view designFace);

// The controls of one window, built from its design: one child window per
// control, with the control's id, caption, style, tool tip and items, in the
// design's tab order. They are placed and given their fonts for the
// window's DPI, and again whenever that changes (Windows is told not to
// rescale them itself). The controls die with their window; the fonts die
// with this object.
class FormControls {
public:
    FormControls(HWND form, const forms::FormDesign& design);
    FormControls(const FormControls&) = delete;
    FormControls& operator=(const FormControls&) = delete;
    ~FormControls();

    // Sizes the client area and places every control, with fonts for `dpi`.
    // `position`, if given, is where the window's top left goes.
    void Layout(UINT dpi, const POINT* position = nullptr);

    // WM_DPICHANGED: the window has moved to a monitor of another DPI.
    void OnDpiChanged(WPARAM wParam, LPARAM lParam);

    HWND Get(int id) const { return controls_.at(id); }
    UINT Dpi() const { return dpi_; }

    // A caption with its own large font (the two big labels, the alarm
    // button) gets that font a little smaller when a stand-in face would
    // draw it wider than its control.
    void SetCaption(int id, std::string_view caption);

private:
    struct FontKey {
        std::wstring face;
        int quarterPoints = 0;
        bool bold = false;
        auto operator<=>(const FontKey&) const = default;
    };

    void CreateControl(const forms::ControlDesign& control);
    void AddToolTip(HWND control, std::string_view text);
    HFONT Font(const forms::FontDesign& font, double points);
    void ApplyFont(const forms::ControlDesign& control);
    int TextWidth(HWND control, HFONT font, const std::wstring& text) const;
    int Pixels(int twips) const { return forms::TwipsToPixels(twips, static_cast<int>(dpi_)); }

    HWND form_;
    const forms::FormDesign& design_;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    HWND toolTips_ = nullptr;
    std::map<int, HWND> controls_;
    std::map<FontKey, HFONT> fonts_;
    std::vector<HFONT> retiredFonts_;
};

}  // namespace nortavi::win32
