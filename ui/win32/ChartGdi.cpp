// SPDX-License-Identifier: MIT
#include "ChartGdi.h"

#include "ChartPixels.h"
#include "FormControls.h"
#include "WideText.h"

#include <cmath>
#include <map>
#include <string>
#include <utility>

namespace nortavi::win32 {

namespace {

// The core's colours are COLORREFs already: red in the low byte.
COLORREF ToColorRef(Colour colour)
{
    return static_cast<COLORREF>(colour & 0xFFFFFFu);
}

RECT ToRect(const forms::PixelBox& box)
{
    return {box.left, box.top, box.right, box.bottom};
}

POINT ToPoint(double x, double y)
{
    return {static_cast<LONG>(std::lround(x)), static_cast<LONG>(std::lround(y))};
}

void Fill(HDC dc, const forms::PixelBox& box, Colour colour)
{
    SetDCBrushColor(dc, ToColorRef(colour));
    const RECT rect = ToRect(box);
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// Arial where Windows has it; faces of the same widths where it does not.
const std::wstring& ChartFace()
{
    static const std::wstring face = [] {
        for (const wchar_t* candidate :
             {L"Arial", L"Liberation Sans", L"Microsoft Sans Serif", L"Tahoma"}) {
            if (FaceInstalled(candidate)) {
                return std::wstring(candidate);
            }
        }
        return std::wstring(L"MS Shell Dlg");
    }();
    return face;
}

// The fonts of one drawing, by pixel height and weight.
class ChartFonts {
public:
    ChartFonts() = default;
    ChartFonts(const ChartFonts&) = delete;
    ChartFonts& operator=(const ChartFonts&) = delete;
    ~ChartFonts()
    {
        for (const auto& [key, font] : fonts_) {
            DeleteObject(font);
        }
    }

    HFONT Get(int pixels, bool bold)
    {
        const auto key = std::make_pair(pixels, bold);
        if (const auto known = fonts_.find(key); known != fonts_.end()) {
            return known->second;
        }
        // Smoothed in grey rather than ClearType's colours: the same pixels
        // go into a picture that may be seen on any screen.
        const HFONT font = CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                       DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                                       ANTIALIASED_QUALITY, VARIABLE_PITCH | FF_SWISS, ChartFace().c_str());
        fonts_.emplace(key, font);
        return font;
    }

private:
    std::map<std::pair<int, bool>, HFONT> fonts_;
};

UINT TextAlignment(history::DrawText::Anchor anchor)
{
    switch (anchor) {
        case history::DrawText::Anchor::Middle:
            return TA_BASELINE | TA_CENTER | TA_NOUPDATECP;
        case history::DrawText::Anchor::End:
            return TA_BASELINE | TA_RIGHT | TA_NOUPDATECP;
        case history::DrawText::Anchor::Start:
            break;
    }
    return TA_BASELINE | TA_LEFT | TA_NOUPDATECP;
}

}  // namespace

ChartBitmap::ChartBitmap(const history::ChartDrawing& drawing, int width, int height, double scale)
    : width_(width), height_(height)
{
    if (width <= 0 || height <= 0) {
        return;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    if (dc_ == nullptr || bitmap_ == nullptr) {
        bits_ = nullptr;
        return;
    }
    oldBitmap_ = SelectObject(dc_, bitmap_);
    Draw(drawing, scale);
    GdiFlush();  // before anyone reads the bits
}

ChartBitmap::~ChartBitmap()
{
    if (oldBitmap_ != nullptr) {
        SelectObject(dc_, oldBitmap_);
    }
    if (bitmap_ != nullptr) {
        DeleteObject(bitmap_);
    }
    if (dc_ != nullptr) {
        DeleteDC(dc_);
    }
}

void ChartBitmap::Draw(const history::ChartDrawing& drawing, double scale)
{
    Fill(dc_, {0, 0, width_, height_}, drawing.background);
    for (const history::DrawRect& rect : drawing.rects) {
        Fill(dc_, forms::RectPixels(rect, scale), rect.fill);
    }

    for (const history::DrawLine& line : drawing.lines) {
        if (const auto box = forms::StraightLinePixels(line, scale)) {
            Fill(dc_, *box, line.colour);
            continue;
        }
        LOGBRUSH brush{BS_SOLID, ToColorRef(line.colour), 0};
        const HPEN pen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT,
                                      static_cast<DWORD>(forms::LinePixels(line.width, scale)), &brush, 0,
                                      nullptr);
        const HGDIOBJ oldPen = SelectObject(dc_, pen);
        const POINT from = ToPoint(line.x1 * scale, line.y1 * scale);
        const POINT to = ToPoint(line.x2 * scale, line.y2 * scale);
        MoveToEx(dc_, from.x, from.y, nullptr);
        LineTo(dc_, to.x, to.y);
        SelectObject(dc_, oldPen);
        DeleteObject(pen);
    }

    // The outline in the fill's colour: GDI leaves a polygon's right and
    // bottom edges unfilled.
    const HGDIOBJ oldPen = SelectObject(dc_, GetStockObject(DC_PEN));
    const HGDIOBJ oldBrush = SelectObject(dc_, GetStockObject(DC_BRUSH));
    for (const history::DrawMark& mark : drawing.marks) {
        SetDCPenColor(dc_, ToColorRef(mark.fill));
        SetDCBrushColor(dc_, ToColorRef(mark.fill));
        POINT corners[3];
        int i = 0;
        for (const forms::PointF corner : forms::MarkCorners(mark, scale)) {
            corners[i++] = ToPoint(corner.x, corner.y);
        }
        Polygon(dc_, corners, 3);
    }
    SelectObject(dc_, oldBrush);
    SelectObject(dc_, oldPen);

    ChartFonts fonts;
    SetBkMode(dc_, TRANSPARENT);
    const HGDIOBJ oldFont = SelectObject(dc_, GetStockObject(DEFAULT_GUI_FONT));
    for (const history::DrawText& text : drawing.texts) {
        const std::wstring words = WideFromUtf8(text.text);
        SelectObject(dc_, fonts.Get(forms::TextPixels(text.size, scale), text.bold));
        SetTextColor(dc_, ToColorRef(text.colour));
        SetTextAlign(dc_, TextAlignment(text.anchor));
        TextOutW(dc_, forms::ScaledPixels(text.x, scale), forms::ScaledPixels(text.y, scale), words.c_str(),
                 static_cast<int>(words.size()));
    }
    SelectObject(dc_, oldFont);
}

}  // namespace nortavi::win32
