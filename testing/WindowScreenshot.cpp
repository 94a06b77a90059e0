#include "testing/WindowScreenshot.h"

#include <objbase.h>
#include <wincodec.h>

#include <cstdio>
#include <vector>

#include "core/ComPtr.h"
#include "core/UniqueResource.h"

namespace TestSupport {

namespace {

struct GdiObjectTraits {
    using Type = HGDIOBJ;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type value) { return value != nullptr; }
    static void Close(Type value) { DeleteObject(value); }
};

struct MemoryDcTraits {
    using Type = HDC;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type value) { return value != nullptr; }
    static void Close(Type value) { DeleteDC(value); }
};

using UniqueGdiObject = System::UniqueResource<GdiObjectTraits>;
using UniqueMemoryDc = System::UniqueResource<MemoryDcTraits>;

bool Fail(const char* step, unsigned long code)
{
    std::fprintf(stderr, "SaveWindowImage: %s failed (0x%08lX)\n", step, code);
    return false;
}

// A window's picture: rows from the top, three bytes per pixel (blue, green, red), each row padded
// to a multiple of four bytes.
struct Pixels {
    UINT width = 0;
    UINT height = 0;
    UINT stride = 0;
    std::vector<BYTE> bytes;
};

// Copies the area at (x, y) of the device context.
bool Capture(HDC source, int x, int y, int width, int height, Pixels& pixels)
{
    if (width <= 0 || height <= 0) return Fail("a window of non-zero size", ERROR_INVALID_WINDOW_HANDLE);
    UniqueMemoryDc memory(CreateCompatibleDC(source));
    if (!memory) return Fail("CreateCompatibleDC", GetLastError());
    UniqueGdiObject bitmap(CreateCompatibleBitmap(source, width, height));
    if (!bitmap) return Fail("CreateCompatibleBitmap", GetLastError());
    HGDIOBJ previous = SelectObject(memory.Get(), bitmap.Get());
    bool copied = previous != nullptr && BitBlt(memory.Get(), 0, 0, width, height, source, x, y, SRCCOPY);
    DWORD error = GetLastError();
    if (previous) SelectObject(memory.Get(), previous);
    if (!copied) return Fail("BitBlt", error);

    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    // Negative: rows from the top, as the encoder wants them.
    format.bmiHeader.biHeight = -height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 24;
    format.bmiHeader.biCompression = BI_RGB;
    pixels.width = static_cast<UINT>(width);
    pixels.height = static_cast<UINT>(height);
    pixels.stride = (pixels.width * 3 + 3) & ~3u;
    pixels.bytes.resize(static_cast<size_t>(pixels.stride) * pixels.height);
    int rows = GetDIBits(memory.Get(), static_cast<HBITMAP>(bitmap.Get()), 0, pixels.height, pixels.bytes.data(), &format,
                         DIB_RGB_COLORS);
    if (rows != height) return Fail("GetDIBits", GetLastError());
    return true;
}

// The window's picture, from the window itself or from the screen where the window is.
bool CaptureFrom(HWND window, bool screen, Pixels& pixels)
{
    RECT bounds;
    if (!GetWindowRect(window, &bounds)) return Fail("GetWindowRect", GetLastError());
    HDC source = screen ? GetDC(nullptr) : GetWindowDC(window);
    if (!source) return Fail(screen ? "GetDC" : "GetWindowDC", GetLastError());
    bool captured = Capture(source, screen ? bounds.left : 0, screen ? bounds.top : 0, bounds.right - bounds.left,
                            bounds.bottom - bounds.top, pixels);
    ReleaseDC(screen ? nullptr : window, source);
    return captured;
}

bool Check(const char* step, HRESULT result) { return SUCCEEDED(result) || Fail(step, static_cast<unsigned long>(result)); }

bool Encode(const Pixels& pixels, const std::wstring& path)
{
    System::ComPtr<IWICImagingFactory> factory;
    if (!Check("creating the imaging factory", CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                                                IID_PPV_ARGS(factory.Receive()))))
        return false;
    System::ComPtr<IWICStream> stream;
    if (!Check("CreateStream", factory->CreateStream(stream.Receive()))) return false;
    if (!Check("opening the file", stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE))) return false;

    System::ComPtr<IWICBitmapEncoder> encoder;
    System::ComPtr<IWICBitmapFrameEncode> frame;
    System::ComPtr<IPropertyBag2> options;
    WICPixelFormatGUID pixelFormat = GUID_WICPixelFormat24bppBGR;
    bool written = Check("creating the PNG encoder", factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Receive())) &&
                   Check("starting the encoder", encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) &&
                   Check("CreateNewFrame", encoder->CreateNewFrame(frame.Receive(), options.Receive())) &&
                   Check("starting the frame", frame->Initialize(options.Get())) &&
                   Check("SetSize", frame->SetSize(pixels.width, pixels.height)) &&
                   Check("SetPixelFormat", frame->SetPixelFormat(&pixelFormat)) &&
                   (IsEqualGUID(pixelFormat, GUID_WICPixelFormat24bppBGR) ||
                    Fail("taking 24-bit pixels", static_cast<unsigned long>(WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT))) &&
                   Check("WritePixels", frame->WritePixels(pixels.height, pixels.stride, static_cast<UINT>(pixels.bytes.size()),
                                                           const_cast<BYTE*>(pixels.bytes.data()))) &&
                   Check("committing the frame", frame->Commit()) && Check("committing the file", encoder->Commit());
    return written;
}

// Makes every folder of the file's path that does not exist yet.
bool MakeFolders(const std::wstring& filePath)
{
    for (size_t separator = filePath.find_first_of(L"\\/", 1); separator != std::wstring::npos;
         separator = filePath.find_first_of(L"\\/", separator + 1)) {
        std::wstring folder = filePath.substr(0, separator);
        DWORD attributes = GetFileAttributesW(folder.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return Fail("creating the folder", GetLastError());
    }
    return true;
}

bool Save(HWND window, bool screen, const std::wstring& pngPath)
{
    if (!IsWindow(window)) return Fail("finding the window", ERROR_INVALID_WINDOW_HANDLE);
    if (!RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN))
        return Fail("RedrawWindow", GetLastError());
    Pixels pixels;
    if (!CaptureFrom(window, screen, pixels) || !MakeFolders(pngPath)) return false;

    HRESULT initialised = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // A thread already in the other apartment kind can still use the encoder.
    if (FAILED(initialised) && initialised != RPC_E_CHANGED_MODE)
        return Fail("CoInitializeEx", static_cast<unsigned long>(initialised));
    bool written = Encode(pixels, pngPath);
    if (SUCCEEDED(initialised)) CoUninitialize();
    if (!written) DeleteFileW(pngPath.c_str());
    return written;
}

}  // namespace

bool SaveWindowImage(HWND window, const std::wstring& pngPath) { return Save(window, false, pngPath); }

bool SaveScreenImage(HWND window, const std::wstring& pngPath) { return Save(window, true, pngPath); }

}  // namespace TestSupport
