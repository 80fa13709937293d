// SPDX-License-Identifier: MIT
#include "FormControls.h"

#include "Dpi.h"
#include "WideText.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

namespace nortavi::win32 {

namespace {

using forms::ControlDesign;
using forms::ControlKind;

constexpr double kFitStepPoints = 0.25;
// Below this a caption would be unreadable; better cut off than invisible.
constexpr double kSmallestPoints = 6.0;
// What a push button's bevel and padding take of its width, at 96 DPI.
constexpr int kButtonPaddingPixels = 8;
// The open list of Combo1 shows both items without a scroll bar.
constexpr int kDropDownListTwips = 600;

// The design names the faces of the Windows of its day. "MS Sans Serif" is
// a bitmap face that blurs or jumps at high DPI; "Microsoft Sans Serif" is
// its outline twin with the same widths. Where neither is installed (wine),
// a face close in width stands in.
constexpr const wchar_t* kStandIns[] = {L"Microsoft Sans Serif", L"Liberation Sans", L"Arial",
                                        L"Tahoma"};

bool FitsItsCaption(const ControlDesign& control)
{
    return control.font.has_value() && (control.centred || control.kind == ControlKind::Button);
}

struct WindowStyle {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

WindowStyle StyleOf(const ControlDesign& control, bool isDefault)
{
    constexpr DWORD child = WS_CHILD | WS_VISIBLE;
    constexpr DWORD stop = WS_TABSTOP | WS_GROUP;
    switch (control.kind) {
        case ControlKind::Label:
            // A caption too long is cut off, never wrapped out of sight.
            return {WC_STATICW,
                    child | SS_NOPREFIX | (control.centred ? SS_CENTER : SS_LEFTNOWORDWRAP), 0};
        case ControlKind::TextBox:
            return {WC_EDITW, child | stop | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
        case ControlKind::Button:
            return {WC_BUTTONW, child | stop | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0};
        case ControlKind::CheckBox:
            return {WC_BUTTONW, child | stop | BS_AUTOCHECKBOX, 0};
        case ControlKind::DropDownList:
            return {WC_COMBOBOXW, child | stop | CBS_DROPDOWNLIST | WS_VSCROLL, 0};
        case ControlKind::Line:
            return {WC_STATICW, child | SS_BLACKRECT, 0};
        case ControlKind::GroupBox:
            return {WC_BUTTONW, child | BS_GROUPBOX, 0};
    }
    return {WC_STATICW, child, 0};
}

}  // namespace

bool FaceInstalled(const std::wstring& face)
{
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    face.copy(wanted.lfFaceName, LF_FACESIZE - 1);
    bool found = false;
    const HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(
        screen, &wanted,
        [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM seen) -> int {
            *reinterpret_cast<bool*>(seen) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

std::wstring InstalledFace(std::string_view designFace)
{
    static std::map<std::string, std::wstring, std::less<>> chosen;
    if (const auto known = chosen.find(designFace); known != chosen.end()) {
        return known->second;
    }
    std::wstring face = WideFromUtf8(designFace);
    if (face == L"MS Sans Serif" || !FaceInstalled(face)) {
        face = L"MS Shell Dlg";  // the system's own dialog face, always there
        for (const wchar_t* standIn : kStandIns) {
            if (FaceInstalled(standIn)) {
                face = standIn;
                break;
            }
        }
    }
    chosen.emplace(std::string(designFace), face);
    return face;
}

FormControls::FormControls(HWND form, const forms::FormDesign& design)
    : form_(form), design_(design)
{
    TakeOverDialogDpiScaling(form);
    for (const ControlDesign& control : design.controls) {
        CreateControl(control);
    }
    // Tab follows the order of the child windows: the tab stops first, in
    // the design's order, then everything else.
    HWND previous = HWND_TOP;
    for (const int id : design.tabOrder) {
        SetWindowPos(controls_.at(id), previous, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = controls_.at(id);
    }
    Layout(WindowDpi(form));
    // Sizing the window can carry it onto a monitor of another DPI.
    if (const UINT dpi = WindowDpi(form); dpi != dpi_) {
        Layout(dpi);
    }
}

FormControls::~FormControls()
{
    for (const auto& [key, font] : fonts_) {
        DeleteObject(font);
    }
    for (const HFONT font : retiredFonts_) {
        DeleteObject(font);
    }
}

void FormControls::CreateControl(const ControlDesign& control)
{
    const WindowStyle style = StyleOf(control, control.id == design_.defaultButton);
    const std::wstring caption = control.kind == ControlKind::Line ? L"" : WideFromUtf8(control.caption);
    const HWND window = CreateWindowExW(
        style.exStyle, style.className, caption.c_str(), style.style, 0, 0, 0, 0, form_,
        reinterpret_cast<HMENU>(INT_PTR{control.id}), GetModuleHandleW(nullptr), nullptr);
    controls_[control.id] = window;
    for (const std::string_view item : control.items) {
        SendMessageW(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromUtf8(item).c_str()));
    }
    if (!control.toolTip.empty()) {
        AddToolTip(window, control.toolTip);
    }
}

void FormControls::AddToolTip(HWND control, std::string_view text)
{
    if (toolTips_ == nullptr) {
        toolTips_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                    form_, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    std::wstring wide = WideFromUtf8(text);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = form_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = wide.data();  // copied by the tool tip
    SendMessageW(toolTips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void FormControls::OnDpiChanged(WPARAM wParam, LPARAM lParam)
{
    const auto* suggested = reinterpret_cast<const RECT*>(lParam);
    const POINT topLeft{suggested->left, suggested->top};
    Layout(LOWORD(wParam), &topLeft);
}

void FormControls::Layout(UINT dpi, const POINT* position)
{
    if (dpi != dpi_) {
        // Fonts of the old DPI stay alive until every control has a new one.
        for (const auto& [key, font] : fonts_) {
            retiredFonts_.push_back(font);
        }
        fonts_.clear();
        dpi_ = dpi;
    }
    SetClientSize(form_, Pixels(design_.clientWidth), Pixels(design_.clientHeight), dpi_, position);

    for (const ControlDesign& control : design_.controls) {
        const HWND window = controls_.at(control.id);
        const forms::TwipsRect& r = control.rect;
        int left = Pixels(r.left);
        int top = Pixels(r.top);
        int width = Pixels(r.Right()) - left;
        int height = Pixels(r.Bottom()) - top;
        if (control.kind == ControlKind::Line) {
            width += 1;  // both end points are drawn
            height = std::max(1, static_cast<int>(dpi_) / 96);
        } else if (control.kind == ControlKind::DropDownList) {
            height += Pixels(kDropDownListTwips);
        }
        ApplyFont(control);
        if (control.kind == ControlKind::Label && !control.centred) {
            // A stand-in face can run a few pixels wider than the design
            // face: the caption takes free room to its right rather than
            // lose its last letters.
            const int needed =
                TextWidth(window, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)),
                          WideFromUtf8(control.caption));
            const int limit = Pixels(forms::CaptionRightLimit(design_, control));
            width = std::max(width, std::min(needed, limit - left));
        }
        SetWindowPos(window, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (const HFONT font : retiredFonts_) {
        DeleteObject(font);
    }
    retiredFonts_.clear();
    InvalidateRect(form_, nullptr, TRUE);
}

HFONT FormControls::Font(const forms::FontDesign& design, double points)
{
    FontKey key{InstalledFace(design.face), static_cast<int>(std::lround(points * 4)), design.bold};
    if (const auto known = fonts_.find(key); known != fonts_.end()) {
        return known->second;
    }
    const int height = -static_cast<int>(std::lround(points * dpi_ / 72.0));
    const HFONT font = CreateFontW(height, 0, 0, 0, design.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                                   FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                   CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, key.face.c_str());
    fonts_.emplace(std::move(key), font);
    return font;
}

void FormControls::ApplyFont(const ControlDesign& control)
{
    const HWND window = controls_.at(control.id);
    const forms::FontDesign& design = control.font ? *control.font : design_.font;
    double points = design.points;
    HFONT font = Font(design, points);
    if (FitsItsCaption(control)) {
        int room = Pixels(control.rect.Right()) - Pixels(control.rect.left);
        if (control.kind == ControlKind::Button) {
            room -= MulDiv(kButtonPaddingPixels, static_cast<int>(dpi_), USER_DEFAULT_SCREEN_DPI);
        }
        const std::wstring caption = WindowText(window);
        while (TextWidth(window, font, caption) > room &&
               points - kFitStepPoints >= kSmallestPoints) {
            points -= kFitStepPoints;
            font = Font(design, points);
        }
    }
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void FormControls::SetCaption(int id, std::string_view caption)
{
    const HWND window = controls_.at(id);
    SetWindowTextW(window, WideFromUtf8(caption).c_str());
    const ControlDesign& control = design_.Control(id);
    if (FitsItsCaption(control)) {
        ApplyFont(control);
    }
}

int FormControls::TextWidth(HWND control, HFONT font, const std::wstring& text) const
{
    const HDC dc = GetDC(control);
    const HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size.cx;
}

}  // namespace nortavi::win32
