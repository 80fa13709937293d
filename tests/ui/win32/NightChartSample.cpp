// SPDX-License-Identifier: MIT
// The Win32 night history window over a sample night's log, for the
// screenshots (tools/screenshots-win32.sh).
#include "SampleNight.h"
#include "frmHistory.h"

#include <commctrl.h>

namespace {

class SampleEvents final : public nortavi::behaviour::frmHistoryEvents {
public:
    nortavi::history::ChartDrawing NightChart(double width, double height) override
    {
        return nortavi::test::SampleNight(width, height);
    }
    void SaveButton_Click() override {}
    void Form_Unload() override { PostQuitMessage(0); }
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    SampleEvents events;
    nortavi::win32::frmHistory window(events);
    window.Show(nullptr);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!window.PreTranslateMessage(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return 0;
}
