// SPDX-License-Identifier: MIT
// The Win32 night history window: its GDI drawing checked by pixels at
// 100 % and 150 %, its picture, and its ways in from the main window.
#include "ChartProbe.h"
#include "Win32FormFixture.h"
#include "frmHistory.h"
#include "frmHistoryDesign.h"

#include <objbase.h>
#include <wincodec.h>

#include <cmath>
#include <vector>

namespace {

using namespace nortavi::test;
using HistoryId = nortavi::forms::frmHistoryId;

class ProbeEvents final : public nortavi::behaviour::frmHistoryEvents {
public:
    nortavi::history::ChartDrawing NightChart(double, double) override { return ProbeDrawing(); }
    void SaveButton_Click() override {}
    void Form_Unload() override {}
};

// Pixels as 0x00BBGGRR colours, rows from the top.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb;

    nortavi::Colour At(double x, double y, double scale) const
    {
        const auto column = static_cast<int>(std::floor(x * scale));
        const auto row = static_cast<int>(std::floor(y * scale));
        const std::uint32_t bgr = rgb.at(static_cast<std::size_t>(row) * width + column);
        return (bgr & 0xFF) << 16 | (bgr & 0xFF00) | (bgr >> 16 & 0xFF);
    }
};

// What the chart window paints, asked as a print of its client area.
Pixels Printed(HWND chart)
{
    RECT client{};
    GetClientRect(chart, &client);
    Pixels pixels{client.right, client.bottom, {}};
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, pixels.width, -pixels.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HDC dc = CreateCompatibleDC(nullptr);
    const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(chart, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();
    const auto* words = static_cast<const std::uint32_t*>(bits);
    pixels.rgb.assign(words, words + static_cast<std::size_t>(pixels.width) * pixels.height);
    for (std::uint32_t& pixel : pixels.rgb) {
        pixel &= 0xFFFFFF;
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return pixels;
}

// A PNG file's pixels and dots per inch, read back through the imaging
// component.
struct Decoded {
    Pixels pixels;
    double dpi = 0;
};

Decoded DecodePng(const std::string& png)
{
    Decoded decoded;
    IWICImagingFactory* factory = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    std::string bytes = png;
    UINT width = 0;
    UINT height = 0;
    double dpiY = 0;
    const bool read =
        !bytes.empty() &&
        SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                   reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateStream(&stream)) &&
        SUCCEEDED(stream->InitializeFromMemory(reinterpret_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()))) &&
        SUCCEEDED(factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnLoad, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(frame->GetSize(&width, &height)) &&
        SUCCEEDED(frame->GetResolution(&decoded.dpi, &dpiY)) &&
        SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
        SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0,
                                        WICBitmapPaletteTypeCustom));
    if (read) {
        decoded.pixels = {static_cast<int>(width), static_cast<int>(height),
                          std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
        if (FAILED(converter->CopyPixels(nullptr, width * 4,
                                         static_cast<UINT>(decoded.pixels.rgb.size() * 4),
                                         reinterpret_cast<BYTE*>(decoded.pixels.rgb.data())))) {
            decoded.pixels = {};
        }
        for (std::uint32_t& pixel : decoded.pixels.rgb) {
            pixel &= 0xFFFFFF;
        }
    }
    for (IUnknown* held : std::initializer_list<IUnknown*>{converter, frame, decoder, stream, factory}) {
        if (held != nullptr) {
            held->Release();
        }
    }
    return decoded;
}

int InkedPixels(const Pixels& pixels, const ProbeInk& box, double scale)
{
    int inked = 0;
    const auto from = [scale](double at) { return static_cast<int>(std::floor(at * scale)); };
    for (int y = from(box.y); y < from(box.y + box.height); ++y) {
        for (int x = from(box.x); x < from(box.x + box.width); ++x) {
            inked += pixels.At(x / scale, y / scale, scale) != kProbeBackground ? 1 : 0;
        }
    }
    return inked;
}

SIZE ClientSize(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

class frmHistoryWin32PixelsTest : public testing::TestWithParam<UINT> {
protected:
    frmHistoryWin32PixelsTest() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
};

}  // namespace

TEST_P(frmHistoryWin32PixelsTest, EachShapeLandsWhereTheDrawingPutsItAndThePictureIsWhatIsShown)
{
    const UINT dpi = GetParam();
    ProbeEvents events;
    nortavi::win32::frmHistory window(events);
    window.Show(nullptr);
    ASSERT_NE(window.hWnd(), nullptr);
    if (window.Dpi() != dpi) {
        RECT suggested{40, 30, 40 + MulDiv(760, static_cast<int>(dpi), 96), 30 + MulDiv(420, static_cast<int>(dpi), 96)};
        SendMessageW(window.hWnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    }
    const double scale = dpi / 96.0;
    const Pixels shown = Printed(window.Control(HistoryId::Chart));
    // The chart takes the client area's width and all of its height but the
    // row of buttons: 8 + 25 + 8 pixels at 96 dots per inch.
    const SIZE client = ClientSize(window.hWnd());
    EXPECT_EQ(shown.width, client.cx);
    EXPECT_EQ(shown.height, client.cy - MulDiv(41, static_cast<int>(dpi), 96));

    for (const ProbeSpot& spot : ProbeSpots()) {
        EXPECT_EQ(shown.At(spot.x, spot.y, scale), spot.colour) << spot.what;
    }
    for (const ProbeSeam& seam : ProbeSeams()) {
        for (double x = seam.fromX; x < seam.toX; x += 1 / scale) {
            const auto colour = shown.At(x, seam.y, scale);
            EXPECT_TRUE(colour == kProbeGreen || colour == kProbeRed) << "a seam at " << x;
        }
    }
    for (const ProbeInk& box : ProbeInks()) {
        EXPECT_EQ(InkedPixels(shown, box, scale) > 0, box.inked) << box.what;
    }

    const Decoded picture = DecodePng(window.Picture());
    EXPECT_EQ(picture.pixels.width, shown.width);
    EXPECT_EQ(picture.pixels.height, shown.height);
    EXPECT_TRUE(picture.pixels.rgb == shown.rgb) << "the picture is what the window shows";
    EXPECT_NEAR(picture.dpi, dpi, 0.5);
}

INSTANTIATE_TEST_SUITE_P(Dpi, frmHistoryWin32PixelsTest, testing::Values(96U, 144U),
                         [](const testing::TestParamInfo<UINT>& param) {
                             return "At" + std::to_string(param.param * 100 / 96) + "Percent";
                         });

using frmHistoryFromMainWin32Test = Win32FormFixture;

// The system menu's item and Ctrl+H (even in a text box, where it would be
// a backspace) open one window beside the main one, which goes with it;
// Save as PNG writes the chart at the window's size.
TEST_F(frmHistoryFromMainWin32Test, TheSystemMenuAndCtrlHOpenOneWindowThatSavesAndClosesWithTheMainWindow)
{
    WriteConfig();
    WriteStatus("CLEAR");
    Open();
    ShowWindow(Main(), SW_SHOWNORMAL);

    const HMENU systemMenu = GetSystemMenu(Main(), FALSE);
    UINT item = 0;
    for (int i = 0; i < GetMenuItemCount(systemMenu); ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(systemMenu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        if (std::wstring(text) == L"Night history...\tCtrl+H") {
            item = GetMenuItemID(systemMenu, i);
        }
    }
    ASSERT_NE(item, 0U) << "no Night history... in the system menu";
    SendMessageW(Main(), WM_SYSCOMMAND, item, 0);
    ASSERT_NE(form_->HistoryForm(), nullptr);
    const HWND history = form_->HistoryForm()->hWnd();
    ASSERT_NE(history, nullptr);
    EXPECT_TRUE(IsWindowVisible(history));
    EXPECT_EQ(Text(history), "Night history");
    EXPECT_EQ(GetWindow(history, GW_OWNER), nullptr) << "the main window must be able to come on top";
    RECT mainRect{};
    RECT historyRect{};
    RECT overlap{};
    GetWindowRect(Main(), &mainRect);
    GetWindowRect(history, &historyRect);
    EXPECT_FALSE(IntersectRect(&overlap, &mainRect, &historyRect)) << "placed beside the main window";
    // Made as small as can be, it keeps its least size: 480 x 241 at 96 DPI.
    SetWindowPos(history, nullptr, 0, 0, 50, 50, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_GE(ClientSize(history).cx, MulDiv(480, static_cast<int>(form_->HistoryForm()->Dpi()), 96));
    EXPECT_GE(ClientSize(history).cy, MulDiv(241, static_cast<int>(form_->HistoryForm()->Dpi()), 96));

    const HWND field = MainControl(MainId::MinsSinceClearField);
    const std::string before = Text(field);
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    const BYTE control = keys[VK_CONTROL];
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    MSG ctrlH{field, WM_KEYDOWN, 'H', 1, GetTickCount(), {}};
    const bool taken = form_->PreTranslateMessage(ctrlH);
    keys[VK_CONTROL] = control;
    SetKeyboardState(keys);
    EXPECT_TRUE(taken);
    Pump();
    EXPECT_EQ(Text(field), before);
    EXPECT_EQ(form_->HistoryForm()->hWnd(), history) << "the same window";
    EXPECT_EQ(FindWindowExW(nullptr, history, L"frmHistory", nullptr), nullptr) << "a second window";

    const std::string path = folder_.File("night.png");
    AnswerNextModal([&](HWND dialog) {
        // The file name box: a combo box in the Explorer-style dialog.
        const HWND name = GetDlgItem(dialog, 0x47C) != nullptr ? GetDlgItem(dialog, 0x47C) : GetDlgItem(dialog, 0x480);
        SetText(name, path);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    });
    SendMessageW(form_->HistoryForm()->Control(HistoryId::SaveButton), BM_CLICK, 0, 0);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const Decoded saved = DecodePng(ReadFile("night.png"));
    const SIZE chart = ClientSize(form_->HistoryForm()->Control(HistoryId::Chart));
    EXPECT_EQ(saved.pixels.width, chart.cx);
    EXPECT_EQ(saved.pixels.height, chart.cy);

    SendMessageW(Main(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(history));
}
