// SPDX-License-Identifier: MIT
#include "frmHistory.h"

#include "ChartGdi.h"
#include "DialogTemplate.h"
#include "Dpi.h"
#include "FormControls.h"
#include "PictureFile.h"
#include "WideText.h"
#include "WinDynCalls.h"
#include "frmHistoryDesign.h"

#include <commctrl.h>

#include <cmath>
#include <vector>

namespace nortavi::win32 {

namespace {

using Id = forms::frmHistoryId;

const forms::frmHistoryDesign& Design()
{
    return forms::HistoryDesign();
}

// The dialog template needs no more of a form than its class and caption.
const forms::FormDesign& TemplateDesign()
{
    static const forms::FormDesign design = [] {
        forms::FormDesign form;
        form.name = Design().name;
        form.caption = Design().caption;
        return form;
    }();
    return design;
}

// A resizable window with a task-bar button of its own.
constexpr DialogFrame kFrame{WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                             WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, true};

constexpr const wchar_t* kChartClass = L"frmHistoryChart";

void RegisterChartClass(WNDPROC procedure)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, kChartClass, &existing)) {
        return;
    }
    WNDCLASSEXW chartClass{};
    chartClass.cbSize = sizeof chartClass;
    chartClass.style = CS_HREDRAW | CS_VREDRAW;
    chartClass.lpfnWndProc = procedure;
    chartClass.hInstance = instance;
    chartClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    chartClass.lpszClassName = kChartClass;  // no background: every pixel is painted
    RegisterClassExW(&chartClass);
}

// The client area of `width` x `height` pixels as a window's size with its
// frame, at `dpi`.
SIZE FrameSize(HWND window, int width, int height, UINT dpi)
{
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    RECT frame{0, 0, width, height};
    if (const auto adjust = platform::DynAdjustWindowRectExForDpi(); adjust != nullptr) {
        adjust(&frame, style, FALSE, exStyle, dpi);
    } else {
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    }
    return {frame.right - frame.left, frame.bottom - frame.top};
}

forms::PixelRect ToPixelRect(const RECT& rect)
{
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void Place(HWND window, const forms::PixelRect& rect)
{
    SetWindowPos(window, nullptr, rect.left, rect.top, rect.width, rect.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

frmHistory::frmHistory(behaviour::frmHistoryEvents& events) : events_(events) {}

frmHistory::~frmHistory()
{
    Close();
}

void frmHistory::Show(HWND mainWindow)
{
    if (hwnd_ == nullptr) {
        Create();
        if (hwnd_ == nullptr) {
            return;
        }
        PlaceBeside(mainWindow);
        ShowWindow(hwnd_, SW_SHOWNORMAL);
    } else if (IsIconic(hwnd_)) {
        ShowWindow(hwnd_, SW_RESTORE);
    }
    SetForegroundWindow(hwnd_);
}

void frmHistory::Close()
{
    if (hwnd_ != nullptr) {
        DestroyWindow(hwnd_);
    }
}

void frmHistory::Redraw()
{
    if (chart_ != nullptr) {
        InvalidateRect(chart_, nullptr, FALSE);
    }
}

HWND frmHistory::Control(int id) const
{
    return hwnd_ != nullptr ? GetDlgItem(hwnd_, id) : nullptr;
}

bool frmHistory::PreTranslateMessage(MSG& message)
{
    return hwnd_ != nullptr && IsDialogMessageW(hwnd_, &message) != FALSE;
}

void frmHistory::Create()
{
    RegisterChartClass(ChartProc);
    const std::vector<WORD> dialog = DialogTemplate(TemplateDesign(), kFrame);
    // WM_INITDIALOG builds the controls before this returns.
    CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                               reinterpret_cast<const DLGTEMPLATE*>(dialog.data()), nullptr,
                               FormDialogProc<frmHistory>, reinterpret_cast<LPARAM>(this));
}

void frmHistory::PlaceBeside(HWND mainWindow)
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    RECT beside{};
    RECT own{};
    if (mainWindow == nullptr || !GetWindowRect(mainWindow, &beside) || !GetWindowRect(hwnd_, &own) ||
        !GetMonitorInfoW(MonitorFromWindow(mainWindow, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return;
    }
    const SIZE least = FrameSize(hwnd_, forms::TwipsToPixels(Design().minClientWidth, static_cast<int>(dpi_)),
                                 forms::TwipsToPixels(Design().minClientHeight, static_cast<int>(dpi_)), dpi_);
    const auto place = forms::PlaceBeside(ToPixelRect(beside), own.right - own.left, least.cx,
                                          own.bottom - own.top, ToPixelRect(monitor.rcWork));
    if (!place) {
        return;
    }
    SetWindowPos(hwnd_, nullptr, place->left, place->top, place->width, place->height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    // Another monitor may have another DPI.
    if (const UINT dpi = WindowDpi(hwnd_); dpi != dpi_) {
        ApplyDpi(dpi);
        LayOut();
    }
}

INT_PTR frmHistory::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
        case WM_INITDIALOG: {
            hwnd_ = window;
            TakeOverDialogDpiScaling(hwnd_);
            const HINSTANCE instance = GetModuleHandleW(nullptr);
            chart_ = CreateWindowExW(0, kChartClass, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd_,
                                     reinterpret_cast<HMENU>(INT_PTR{Id::Chart}), instance, this);
            saveButton_ = CreateWindowExW(
                0, WC_BUTTONW, WideFromUtf8(Design().saveCaption).c_str(),
                WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, 0, 0, 0, 0, hwnd_,
                reinterpret_cast<HMENU>(INT_PTR{Id::SaveButton}), instance, nullptr);
            closeButton_ = CreateWindowExW(
                0, WC_BUTTONW, WideFromUtf8(Design().closeCaption).c_str(),
                WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, hwnd_,
                reinterpret_cast<HMENU>(INT_PTR{Id::CloseButton}), instance, nullptr);
            ApplyDpi(WindowDpi(hwnd_));
            SetClientSize(hwnd_, forms::TwipsToPixels(Design().clientWidth, static_cast<int>(dpi_)),
                          forms::TwipsToPixels(Design().clientHeight, static_cast<int>(dpi_)), dpi_);
            LayOut();
            SetFocus(closeButton_);
            return FALSE;  // the focus is set
        }
        case WM_SIZE:
            LayOut();
            return TRUE;
        case WM_GETMINMAXINFO: {
            const UINT dpi = hwnd_ != nullptr ? dpi_ : WindowDpi(window);
            const SIZE least = FrameSize(window, forms::TwipsToPixels(Design().minClientWidth, static_cast<int>(dpi)),
                                         forms::TwipsToPixels(Design().minClientHeight, static_cast<int>(dpi)), dpi);
            auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            limits->ptMinTrackSize = {least.cx, least.cy};
            return TRUE;
        }
        case WM_DPICHANGED: {
            // Moved to a monitor of another DPI: the fonts follow, and the
            // window takes the size Windows suggests for it there.
            ApplyDpi(LOWORD(wParam));
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                         suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
            LayOut();
            return TRUE;
        }
        case WM_COMMAND:
            // Esc gives IDCANCEL.
            if (LOWORD(wParam) == Id::SaveButton && HIWORD(wParam) == BN_CLICKED) {
                events_.SaveButton_Click();
            } else if (LOWORD(wParam) == Id::CloseButton || LOWORD(wParam) == IDCANCEL) {
                Close();
            }
            return TRUE;
        case WM_CLOSE:
            Close();
            return TRUE;
        case WM_NCDESTROY:
            hwnd_ = nullptr;
            chart_ = saveButton_ = closeButton_ = nullptr;
            if (font_ != nullptr) {
                DeleteObject(font_);  // the buttons that used it have gone
                font_ = nullptr;
            }
            events_.Form_Unload();
            return FALSE;
        default:
            return FALSE;
    }
}

LRESULT CALLBACK frmHistory::ChartProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    const auto* form = reinterpret_cast<const frmHistory*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // painted whole, without flicker
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            const HDC dc = BeginPaint(window, &paint);
            if (form != nullptr) {
                form->PaintChart(dc);
            }
            EndPaint(window, &paint);
            return 0;
        }
        case WM_PRINTCLIENT:
            if (form != nullptr) {
                form->PaintChart(reinterpret_cast<HDC>(wParam));
            }
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

void frmHistory::ApplyDpi(UINT dpi)
{
    dpi_ = dpi;
    const forms::FontDesign& design = Design().font;
    const HFONT font = CreateFontW(-static_cast<int>(std::lround(design.points * dpi_ / 72.0)), 0, 0, 0,
                                   design.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                   DEFAULT_PITCH | FF_SWISS, InstalledFace(design.face).c_str());
    for (const HWND button : {saveButton_, closeButton_}) {
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
    font_ = font;
}

void frmHistory::LayOut()
{
    if (hwnd_ == nullptr || chart_ == nullptr) {
        return;  // WM_SIZE while the window is being made
    }
    RECT client{};
    GetClientRect(hwnd_, &client);
    const forms::frmHistoryLayout layout =
        forms::LayOutHistory(client.right, client.bottom, static_cast<int>(dpi_));
    Place(chart_, layout.chart);
    Place(saveButton_, layout.saveButton);
    Place(closeButton_, layout.closeButton);
}

SIZE frmHistory::ChartSize() const
{
    RECT client{};
    GetClientRect(chart_, &client);
    return {client.right, client.bottom};
}

void frmHistory::PaintChart(HDC dc) const
{
    const SIZE size = ChartSize();
    const double scale = dpi_ / static_cast<double>(USER_DEFAULT_SCREEN_DPI);
    const ChartBitmap bitmap(events_.NightChart(size.cx / scale, size.cy / scale), size.cx, size.cy, scale);
    if (bitmap.Valid()) {
        BitBlt(dc, 0, 0, size.cx, size.cy, bitmap.Dc(), 0, 0, SRCCOPY);
    }
}

std::optional<std::string> frmHistory::AskPicturePath(const std::string& suggested)
{
    if (hwnd_ == nullptr) {
        return std::nullopt;
    }
    const auto path = AskPngPath(hwnd_, WideFromUtf8(Design().saveDialogTitle),
                                 WideFromUtf8(Design().pictureTypeName), WideFromUtf8(suggested));
    if (!path) {
        return std::nullopt;
    }
    return Utf8FromWide(*path);
}

std::string frmHistory::Picture() const
{
    if (chart_ == nullptr) {
        return {};
    }
    const SIZE size = ChartSize();
    const double scale = dpi_ / static_cast<double>(USER_DEFAULT_SCREEN_DPI);
    const ChartBitmap bitmap(events_.NightChart(size.cx / scale, size.cy / scale), size.cx, size.cy, scale);
    return PngBytes(bitmap, dpi_);
}

}  // namespace nortavi::win32
