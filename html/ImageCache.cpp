#include "html/ImageCache.h"

#include <wincodec.h>

#include <cstring>

#include "core/ComPtr.h"
#include "core/Exception.h"
#include "core/Trace.h"
#include "html/ResourceLoader.h"

namespace Html {

Image::~Image()
{
    if (bitmap) DeleteObject(bitmap);
}

std::unique_ptr<Image> ImageCache::Decode(const std::string& bytes)
{
    System::ComPtr<IWICImagingFactory> factory;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(factory.Receive()));
    if (FAILED(hr)) throw new System::COMException(L"Creating the WIC imaging factory", hr);
    System::ComPtr<IWICStream> stream;
    if (FAILED(factory->CreateStream(stream.Receive()))) return nullptr;
    if (FAILED(stream->InitializeFromMemory(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())),
                                            static_cast<DWORD>(bytes.size())))) {
        return nullptr;
    }
    System::ComPtr<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnLoad,
                                                decoder.Receive()))) {
        return nullptr;
    }
    System::ComPtr<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, frame.Receive()))) return nullptr;
    System::ComPtr<IWICBitmapSource> converted;
    if (FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppPBGRA, frame.Get(), converted.Receive()))) {
        return nullptr;
    }
    UINT width = 0, height = 0;
    if (FAILED(converted->GetSize(&width, &height)) || width == 0 || height == 0 || width > 16384 ||
        height > 16384) {
        return nullptr;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    auto image = std::make_unique<Image>();
    void* bits = nullptr;
    image->bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!image->bitmap) return nullptr;
    if (FAILED(converted->CopyPixels(nullptr, width * 4, width * height * 4, static_cast<BYTE*>(bits)))) {
        return nullptr;
    }
    image->width = static_cast<int>(width);
    image->height = static_cast<int>(height);
    image->pixels = static_cast<const BYTE*>(bits);
    return image;
}

const Image* ImageCache::Get(const std::wstring& url)
{
    if (url.empty()) return nullptr;
    auto found = images_.find(url);
    if (found != images_.end()) return found->second.get();
    std::unique_ptr<Image> image;
    std::string bytes;
    if (!LoadUrl(loader_, url, bytes)) {
        System::Diagnostics::Trace::WriteLine(L"Page image not found: " + std::wstring(url));
    } else {
        image = Decode(bytes);
        if (!image) System::Diagnostics::Trace::WriteLine(L"Page image not decodable: " + std::wstring(url));
    }
    const Image* result = image.get();
    images_[url] = std::move(image);
    return result;
}

}  // namespace Html
