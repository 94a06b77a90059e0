#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>

namespace Html {

class ResourceLoader;

// A decoded picture: a top-down 32-bit DIB section with premultiplied alpha, ready for AlphaBlend.
struct Image {
    int width = 0;
    int height = 0;
    HBITMAP bitmap = nullptr;
    const BYTE* pixels = nullptr;

    Image() = default;
    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
};

// Decodes a page's images (GIF, PNG, BMP, JPEG) once through WIC. COM must be initialised on the
// calling thread.
class ImageCache {
public:
    explicit ImageCache(ResourceLoader& loader) : loader_(loader) {}

    // The image at a resolved address, or null when it is missing or cannot be decoded (traced).
    const Image* Get(const std::wstring& url);

    // Decodes bytes; null when they are not an image WIC can read. Throws COMException when WIC
    // itself is unavailable.
    static std::unique_ptr<Image> Decode(const std::string& bytes);

private:
    ResourceLoader& loader_;
    std::map<std::wstring, std::unique_ptr<Image>> images_;
};

}  // namespace Html
