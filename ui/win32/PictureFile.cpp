// SPDX-License-Identifier: MIT
#include "PictureFile.h"

#include <commdlg.h>
#include <objbase.h>
#include <wincodec.h>

#include <cstring>
#include <vector>

namespace nortavi::win32 {

namespace {

HMODULE SystemLibrary(const wchar_t* name)
{
    return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

template <typename Function>
Function Look(HMODULE library, const char* name)
{
    return library != nullptr
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)))
               : nullptr;
}

struct Ole32 {
    using CoInitializeExFunction = HRESULT(WINAPI*)(void*, DWORD);
    using CoCreateInstanceFunction = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
    using CreateStreamOnHGlobalFunction = HRESULT(WINAPI*)(HGLOBAL, BOOL, IStream**);
    using GetHGlobalFromStreamFunction = HRESULT(WINAPI*)(IStream*, HGLOBAL*);

    HMODULE library = SystemLibrary(L"ole32.dll");
    CoInitializeExFunction coInitializeEx = Look<CoInitializeExFunction>(library, "CoInitializeEx");
    CoCreateInstanceFunction coCreateInstance = Look<CoCreateInstanceFunction>(library, "CoCreateInstance");
    CreateStreamOnHGlobalFunction createStreamOnHGlobal =
        Look<CreateStreamOnHGlobalFunction>(library, "CreateStreamOnHGlobal");
    GetHGlobalFromStreamFunction getHGlobalFromStream =
        Look<GetHGlobalFromStreamFunction>(library, "GetHGlobalFromStream");
    // The window's thread joins a single-threaded apartment once, as the
    // file dialog and the imaging component expect; it stays for the run.
    bool ready = coInitializeEx != nullptr && coCreateInstance != nullptr &&
                 createStreamOnHGlobal != nullptr && getHGlobalFromStream != nullptr &&
                 SUCCEEDED(coInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
};

const Ole32& Com()
{
    static const Ole32 ole32;
    return ole32;
}

// An interface pointer released when it goes.
template <typename Interface>
class Held {
public:
    Held() = default;
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    ~Held()
    {
        if (pointer_ != nullptr) {
            pointer_->Release();
        }
    }
    Interface** Out() { return &pointer_; }
    void** OutVoid() { return reinterpret_cast<void**>(&pointer_); }
    Interface* operator->() const { return pointer_; }
    Interface* get() const { return pointer_; }

private:
    Interface* pointer_ = nullptr;
};

// Opaque rows of blue, green and red: the bitmap's fourth byte is no alpha.
std::vector<BYTE> BgrRows(const ChartBitmap& bitmap, UINT stride)
{
    std::vector<BYTE> rows(static_cast<std::size_t>(stride) * bitmap.Height());
    for (int y = 0; y < bitmap.Height(); ++y) {
        const std::uint32_t* from = bitmap.Pixels() + static_cast<std::size_t>(y) * bitmap.Width();
        BYTE* to = rows.data() + static_cast<std::size_t>(y) * stride;
        for (int x = 0; x < bitmap.Width(); ++x) {
            to[3 * x] = static_cast<BYTE>(from[x]);
            to[3 * x + 1] = static_cast<BYTE>(from[x] >> 8);
            to[3 * x + 2] = static_cast<BYTE>(from[x] >> 16);
        }
    }
    return rows;
}

}  // namespace

std::optional<std::wstring> AskPngPath(HWND owner, const std::wstring& title, const std::wstring& typeName,
                                       const std::wstring& suggested)
{
    using GetSaveFileNameFunction = BOOL(WINAPI*)(OPENFILENAMEW*);
    static const auto getSaveFileName =
        Look<GetSaveFileNameFunction>(SystemLibrary(L"comdlg32.dll"), "GetSaveFileNameW");
    if (getSaveFileName == nullptr || !Com().ready) {
        return std::nullopt;
    }
    // The type's name and its pattern, each ended by a null, then one more.
    const std::wstring filter = typeName + L" (*.png)" + L'\0' + L"*.png" + L'\0';
    std::vector<wchar_t> file(32768, L'\0');
    suggested.copy(file.data(), file.size() - 1);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = L"png";
    dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN |
                   OFN_HIDEREADONLY;
    if (!getSaveFileName(&dialog)) {
        return std::nullopt;
    }
    return std::wstring(file.data());
}

std::string PngBytes(const ChartBitmap& bitmap, UINT dpi)
{
    const Ole32& com = Com();
    if (!bitmap.Valid() || !com.ready) {
        return {};
    }
    Held<IWICImagingFactory> factory;
    Held<IStream> stream;
    Held<IWICBitmapEncoder> encoder;
    Held<IWICBitmapFrameEncode> frame;
    Held<IPropertyBag2> options;
    const auto width = static_cast<UINT>(bitmap.Width());
    const auto height = static_cast<UINT>(bitmap.Height());
    const UINT stride = (width * 3 + 3) & ~3u;
    std::vector<BYTE> rows = BgrRows(bitmap, stride);
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    const bool encoded =
        SUCCEEDED(com.coCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IWICImagingFactory, factory.OutVoid())) &&
        SUCCEEDED(com.createStreamOnHGlobal(nullptr, TRUE, stream.Out())) &&
        SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Out())) &&
        SUCCEEDED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(frame.Out(), options.Out())) &&
        SUCCEEDED(frame->Initialize(options.get())) && SUCCEEDED(frame->SetSize(width, height)) &&
        SUCCEEDED(frame->SetResolution(dpi, dpi)) && SUCCEEDED(frame->SetPixelFormat(&format)) &&
        IsEqualGUID(format, GUID_WICPixelFormat24bppBGR) &&
        SUCCEEDED(frame->WritePixels(height, stride, static_cast<UINT>(rows.size()), rows.data())) &&
        SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    HGLOBAL memory = nullptr;
    STATSTG about{};
    if (!encoded || FAILED(com.getHGlobalFromStream(stream.get(), &memory)) ||
        FAILED(stream->Stat(&about, STATFLAG_NONAME))) {
        return {};
    }
    const void* bytes = GlobalLock(memory);
    if (bytes == nullptr) {
        return {};
    }
    std::string png(static_cast<const char*>(bytes), static_cast<std::size_t>(about.cbSize.QuadPart));
    GlobalUnlock(memory);
    return png;
}

}  // namespace nortavi::win32
