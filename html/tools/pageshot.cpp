#include <windows.h>
#include <wincodec.h>

#include <cstdio>

#include "core/ComPtr.h"
#include "core/Exception.h"
#include "core/String.h"
#include "html/Page.h"
#include "html/tools/ToolOptions.h"

namespace {

// Writes a top-down 32-bit DIB's pixels as a PNG file.
HRESULT SavePng(const std::wstring& path, const void* pixels, int width, int height)
{
    System::ComPtr<IWICImagingFactory> factory;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(factory.Receive()));
    if (FAILED(hr)) return hr;
    System::ComPtr<IWICStream> stream;
    if (FAILED(hr = factory->CreateStream(stream.Receive()))) return hr;
    if (FAILED(hr = stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE))) return hr;
    System::ComPtr<IWICBitmapEncoder> encoder;
    if (FAILED(hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Receive()))) return hr;
    if (FAILED(hr = encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache))) return hr;
    System::ComPtr<IWICBitmapFrameEncode> frame;
    if (FAILED(hr = encoder->CreateNewFrame(frame.Receive(), nullptr))) return hr;
    if (FAILED(hr = frame->Initialize(nullptr))) return hr;
    if (FAILED(hr = frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height)))) return hr;
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGR;
    if (FAILED(hr = frame->SetPixelFormat(&format))) return hr;
    if (FAILED(hr = frame->WritePixels(static_cast<UINT>(height), static_cast<UINT>(width * 4),
                                       static_cast<UINT>(width * height * 4),
                                       static_cast<BYTE*>(const_cast<void*>(pixels))))) {
        return hr;
    }
    if (FAILED(hr = frame->Commit())) return hr;
    return encoder->Commit();
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    ToolOptions options;
    if (!options.Parse(argc, argv, 2, L"usage: pageshot [--width W] [--height H] FILE.xhtml OUT.png")) return 2;
    ComApartment com;
    if (!com.Ok()) {
        fwprintf(stderr, L"COM could not be initialised\n");
        return 1;
    }
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) {
        fwprintf(stderr, L"CreateCompatibleDC failed (%lu)\n", GetLastError());
        return 1;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = options.width;
    info.bmiHeader.biHeight = -options.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!bitmap) {
        fwprintf(stderr, L"CreateDIBSection failed (%lu)\n", GetLastError());
        DeleteDC(dc);
        return 1;
    }
    HGDIOBJ previous = SelectObject(dc, bitmap);
    int result = 0;
    try {
        Html::Page page;
        page.LoadFromFile(options.files[0]);
        page.SetViewport(options.width, options.height);
        RECT all{0, 0, options.width, options.height};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        page.Paint(dc, Html::Rect{0, 0, options.width, options.height});
        GdiFlush();
        HRESULT hr = SavePng(options.files[1], pixels, options.width, options.height);
        if (FAILED(hr)) {
            fwprintf(stderr, L"Writing %ls failed (0x%08lX)\n", options.files[1].c_str(), static_cast<unsigned long>(hr));
            result = 1;
        }
    } catch (System::Exception* error) {
        fwprintf(stderr, L"%ls\n", error->ToString().GetStdString().c_str());
        delete error;
        result = 1;
    }
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return result;
}
