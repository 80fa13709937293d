// SPDX-License-Identifier: MIT
#pragma once

#include "frmHistoryEvents.h"

#include <windows.h>

#include <optional>
#include <string>

namespace nortavi::win32 {

// The night history window: the chart filling a resizable window above
// its Save as PNG and Close buttons, at its monitor's DPI and again when
// that changes. It asks frmHistoryEvents for the chart at its size whenever
// it paints, and tells it of the button and the close. A window of its own,
// owned by none: the main window, with the alarm, must be able to come on
// top of it. Closing destroys the window; this object stays for the next
// opening.
class frmHistory {
public:
    explicit frmHistory(behaviour::frmHistoryEvents& events);
    frmHistory(const frmHistory&) = delete;
    frmHistory& operator=(const frmHistory&) = delete;
    ~frmHistory();

    // Opens the window beside `mainWindow`, or brings the open one back.
    void Show(HWND mainWindow);
    void Close();
    // Paints the chart anew once the message loop runs.
    void Redraw();

    HWND hWnd() const { return hwnd_; }
    HWND Control(int id) const;
    UINT Dpi() const { return dpi_; }

    // The dialog manager's turn at a message (Tab, Enter, Esc, Alt+S); true
    // when it took it.
    bool PreTranslateMessage(MSG& message);

    // Modal over this window only (the main window stays at hand): the file
    // to save the picture to, as UTF-8; none when cancelled.
    std::optional<std::string> AskPicturePath(const std::string& suggested);
    // The chart as the window shows it, at its size and DPI, as PNG bytes.
    std::string Picture() const;

private:
    template <typename Form>
    friend INT_PTR CALLBACK FormDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ChartProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    void Create();
    void PlaceBeside(HWND mainWindow);
    void ApplyDpi(UINT dpi);
    void LayOut();
    void PaintChart(HDC dc) const;
    SIZE ChartSize() const;

    behaviour::frmHistoryEvents& events_;
    HWND hwnd_ = nullptr;
    HWND chart_ = nullptr;
    HWND saveButton_ = nullptr;
    HWND closeButton_ = nullptr;
    HFONT font_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
};

}  // namespace nortavi::win32
