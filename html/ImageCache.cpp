#include "html/ImageCache.h"

#include <wincodec.h>

#include <algorithm>
#include <cstring>

#include "core/ComPtr.h"
#include "core/Exception.h"
#include "core/ExceptionGuard.h"
#include "core/String.h"
#include "core/Trace.h"
#include "html/ResourceLoader.h"

namespace Html {

namespace {

const UINT kMaxSide = 16384;
// An animation keeps every frame; a huge one keeps the frames that fit here and loops over those.
const size_t kAnimationBudget = 32u * 1024 * 1024;
// Browsers run frames that ask for less no faster than this.
const DWORD kMinFrameDelay = 10;

// The picture as premultiplied BGRA; false when it cannot be read or would take more than maxBytes.
bool ReadPixels(IWICBitmapSource* source, size_t maxBytes, UINT& width, UINT& height, std::vector<BYTE>& pixels)
{
    System::ComPtr<IWICBitmapSource> converted;
    if (FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppPBGRA, source, converted.Receive()))) return false;
    if (FAILED(converted->GetSize(&width, &height)) || width == 0 || height == 0 || width > kMaxSide ||
        height > kMaxSide || static_cast<unsigned long long>(width) * height * 4 > maxBytes) {
        return false;
    }
    pixels.resize(static_cast<size_t>(width) * height * 4);
    return SUCCEEDED(converted->CopyPixels(nullptr, width * 4, static_cast<UINT>(pixels.size()), pixels.data()));
}

std::unique_ptr<Image> NewImage(UINT width, UINT height, const std::vector<BYTE>& pixels)
{
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
    if (!image->bitmap) {
        System::Diagnostics::Trace::WriteLine(
            System::String::Format(L"CreateDIBSection for a page image failed (%lu)", GetLastError()));
        return nullptr;
    }
    memcpy(bits, pixels.data(), pixels.size());
    image->width = static_cast<int>(width);
    image->height = static_cast<int>(height);
    image->pixels = static_cast<const BYTE*>(bits);
    return image;
}

// A number of the GIF's metadata ("/grctlext/Delay"); false when the picture does not say.
bool ReadNumber(IWICMetadataQueryReader* reader, const wchar_t* name, UINT& value)
{
    PROPVARIANT variant;
    PropVariantInit(&variant);
    if (FAILED(reader->GetMetadataByName(name, &variant))) return false;
    bool known = true;
    switch (variant.vt) {
    case VT_UI1: value = variant.bVal; break;
    case VT_UI2: value = variant.uiVal; break;
    case VT_UI4: value = variant.ulVal; break;
    default: known = false;
    }
    PropVariantClear(&variant);
    return known;
}

// Draws a frame's opaque pixels (GIF pixels are either transparent or opaque) onto the canvas.
void Compose(std::vector<BYTE>& canvas, UINT canvasWidth, UINT canvasHeight, const std::vector<BYTE>& pixels,
             UINT left, UINT top, UINT width, UINT height)
{
    for (UINT row = 0; row < height && top + row < canvasHeight; ++row) {
        for (UINT column = 0; column < width && left + column < canvasWidth; ++column) {
            const BYTE* source = &pixels[(static_cast<size_t>(row) * width + column) * 4];
            if (source[3] == 0) continue;
            memcpy(&canvas[(static_cast<size_t>(top + row) * canvasWidth + left + column) * 4], source, 4);
        }
    }
}

void ClearArea(std::vector<BYTE>& canvas, UINT canvasWidth, UINT canvasHeight, UINT left, UINT top, UINT width,
               UINT height)
{
    for (UINT row = top; row < top + height && row < canvasHeight; ++row) {
        if (left >= canvasWidth) break;
        UINT count = std::min(width, canvasWidth - left);
        memset(&canvas[(static_cast<size_t>(row) * canvasWidth + left) * 4], 0, static_cast<size_t>(count) * 4);
    }
}

// Every frame of an animated GIF composed on its logical screen, as browsers show them: each frame's
// disposal (keep, clear to transparent, restore what was there before) applies before the next
// frame. Null when fewer than two frames could be read.
std::unique_ptr<Image> DecodeAnimation(IWICBitmapDecoder* decoder, UINT count)
{
    UINT screenWidth = 0, screenHeight = 0;
    System::ComPtr<IWICMetadataQueryReader> screen;
    if (SUCCEEDED(decoder->GetMetadataQueryReader(screen.Receive()))) {
        ReadNumber(screen.Get(), L"/logscrdesc/Width", screenWidth);
        ReadNumber(screen.Get(), L"/logscrdesc/Height", screenHeight);
    }
    std::vector<Image::Frame> frames;
    std::vector<BYTE> canvas, previous;
    size_t maxFrames = count;
    for (UINT index = 0; index < count; ++index) {
        System::ComPtr<IWICBitmapFrameDecode> frame;
        if (FAILED(decoder->GetFrame(index, frame.Receive()))) break;
        UINT left = 0, top = 0, delay = 0, disposal = 0;
        System::ComPtr<IWICMetadataQueryReader> metadata;
        if (SUCCEEDED(frame->GetMetadataQueryReader(metadata.Receive()))) {
            ReadNumber(metadata.Get(), L"/imgdesc/Left", left);
            ReadNumber(metadata.Get(), L"/imgdesc/Top", top);
            ReadNumber(metadata.Get(), L"/grctlext/Delay", delay);
            ReadNumber(metadata.Get(), L"/grctlext/Disposal", disposal);
        }
        UINT width = 0, height = 0;
        std::vector<BYTE> pixels;
        if (!ReadPixels(frame.Get(), kAnimationBudget, width, height, pixels)) break;
        if (index == 0) {
            if (screenWidth == 0 || screenHeight == 0 || screenWidth > kMaxSide || screenHeight > kMaxSide) {
                screenWidth = width;
                screenHeight = height;
            }
            size_t frameBytes = static_cast<size_t>(screenWidth) * screenHeight * 4;
            // A screen too large to animate shows as its first frame.
            if (frameBytes > kAnimationBudget) return nullptr;
            canvas.assign(frameBytes, 0);
            maxFrames = std::max<size_t>(1, std::min<size_t>(count, kAnimationBudget / frameBytes));
        }
        if (frames.size() >= maxFrames) {
            System::Diagnostics::Trace::WriteLine(
                System::String::Format(L"Animated page image too large: showing %u of its %u frames",
                                       static_cast<unsigned>(maxFrames), count));
            break;
        }
        if (disposal == 3) previous = canvas;
        Compose(canvas, screenWidth, screenHeight, pixels, left, top, width, height);
        frames.push_back(Image::Frame{canvas, std::max<DWORD>(kMinFrameDelay, delay * 10)});
        if (disposal == 2) ClearArea(canvas, screenWidth, screenHeight, left, top, width, height);
        if (disposal == 3) canvas.swap(previous);
    }
    if (frames.size() < 2) return nullptr;
    std::unique_ptr<Image> image = NewImage(screenWidth, screenHeight, frames[0].pixels);
    if (!image) return nullptr;
    image->frames = std::move(frames);
    return image;
}

}  // namespace

Image::~Image()
{
    if (bitmap) DeleteObject(bitmap);
}

void Image::Show(size_t index)
{
    // Drawing calls may still be queued against the bitmap: finish them before its pixels change.
    GdiFlush();
    // The bitmap's own memory, which pixels shows read-only to the page.
    memcpy(const_cast<BYTE*>(pixels), frames[index].pixels.data(), frames[index].pixels.size());
    current = index;
}

bool Image::Advance(DWORD now)
{
    if (!IsAnimated()) return false;
    if (!running_) {
        running_ = true;
        due_ = now + frames[current].delay;
        return false;
    }
    if (static_cast<LONG>(now - due_) < 0) return false;
    // Frames that fell due while nobody asked are passed over, up to one loop; after a longer
    // pause the clock starts again.
    size_t next = current;
    for (size_t step = 0; step < frames.size() && static_cast<LONG>(now - due_) >= 0; ++step) {
        next = (next + 1) % frames.size();
        due_ += frames[next].delay;
    }
    if (static_cast<LONG>(now - due_) >= 0) due_ = now + frames[next].delay;
    if (next == current) return false;
    Show(next);
    return true;
}

DWORD Image::Remaining(DWORD now) const
{
    LONG left = static_cast<LONG>(due_ - now);
    return left > 0 ? static_cast<DWORD>(left) : 0;
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
    UINT count = 0;
    GUID container{};
    if (SUCCEEDED(decoder->GetFrameCount(&count)) && count > 1 && SUCCEEDED(decoder->GetContainerFormat(&container)) &&
        container == GUID_ContainerFormatGif) {
        if (std::unique_ptr<Image> animation = DecodeAnimation(decoder.Get(), count)) return animation;
    }
    System::ComPtr<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, frame.Receive()))) return nullptr;
    UINT width = 0, height = 0;
    std::vector<BYTE> pixels;
    if (!ReadPixels(frame.Get(), static_cast<size_t>(kMaxSide) * kMaxSide * 4, width, height, pixels)) return nullptr;
    return NewImage(width, height, pixels);
}

Image* ImageCache::Get(const std::wstring& url)
{
    if (url.empty()) return nullptr;
    auto found = images_.find(url);
    if (found != images_.end()) return found->second.get();
    std::unique_ptr<Image> image;
    std::string bytes;
    bool loaded = false;
    // An unreadable source (a folder, a locked file) shows no picture, like a missing one.
    System::TraceExceptions([&] { loaded = LoadUrl(loader_, url, bytes); });
    if (!loaded) {
        System::Diagnostics::Trace::WriteLine(L"Page image not found: " + std::wstring(url));
    } else {
        image = Decode(bytes);
        if (!image) System::Diagnostics::Trace::WriteLine(L"Page image not decodable: " + std::wstring(url));
    }
    Image* result = image.get();
    if (result && result->IsAnimated()) animated_.push_back(result);
    images_[url] = std::move(image);
    return result;
}

}  // namespace Html
