#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Html {

class ResourceLoader;

// A decoded picture: a top-down 32-bit DIB section with premultiplied alpha, ready for AlphaBlend.
// An animated GIF keeps every frame composed at full size and shows one of them in the bitmap.
struct Image {
    struct Frame {
        std::vector<BYTE> pixels;
        // How long the frame stays, in milliseconds.
        DWORD delay = 0;
    };

    int width = 0;
    int height = 0;
    HBITMAP bitmap = nullptr;
    // The pixels of the bitmap: the frame on show.
    const BYTE* pixels = nullptr;
    // Empty for a still picture.
    std::vector<Frame> frames;
    size_t current = 0;

    Image() = default;
    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    bool IsAnimated() const { return frames.size() > 1; }
    // Moves on to the frame due at now (GetTickCount milliseconds); true when another frame shows.
    // The first call after Pause starts the clock with the frame on show.
    bool Advance(DWORD now);
    // Milliseconds from now until the next frame is due; only meaningful after Advance.
    DWORD Remaining(DWORD now) const;
    // Stops the clock while the picture is not on the page.
    void Pause() { running_ = false; }

private:
    void Show(size_t index);

    bool running_ = false;
    DWORD due_ = 0;
};

// Decodes a page's images (GIF, PNG, BMP, JPEG) once through WIC. COM must be initialised on the
// calling thread.
class ImageCache {
public:
    explicit ImageCache(ResourceLoader& loader) : loader_(loader) {}

    // The image at a resolved address, or null when it is missing or cannot be decoded (traced).
    Image* Get(const std::wstring& url);
    // The animated images decoded so far: a page without one has nothing to animate.
    const std::vector<Image*>& Animated() const { return animated_; }

    // Decodes bytes; null when they are not an image WIC can read. Throws COMException when WIC
    // itself is unavailable. A GIF of several frames becomes an animation looping forever.
    static std::unique_ptr<Image> Decode(const std::string& bytes);

private:
    ResourceLoader& loader_;
    std::map<std::wstring, std::unique_ptr<Image>> images_;
    std::vector<Image*> animated_;
};

}  // namespace Html
