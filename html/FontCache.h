#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "html/HtmlApi.h"

namespace Html {

// A GDI font and the metrics layout needs.
struct Font {
    HFONT handle = nullptr;
    int ascent = 0;
    int descent = 0;
    int lineGap = 0;
    int averageWidth = 0;
    int xHeight = 0;
    std::wstring face;
};

// Fonts by family list, size, weight and slant, created once and kept for the page's life; text is
// measured with them on a memory device context.
class HTML_API FontCache {
public:
    FontCache();
    ~FontCache();
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    // The first family of the CSS list that the system has (generic names map to common faces).
    const Font* Get(const std::wstring& families, int size, int weight, bool italic);
    // ends[i] = advance from the start to the end of character i.
    void Measure(const Font* font, const std::wstring& text, std::vector<int>& ends);
    HDC MeasuringDC() const { return dc_; }

private:
    bool FaceExists(const std::wstring& face);
    std::wstring PickFace(const std::wstring& families);

    HDC dc_;
    std::map<std::tuple<std::wstring, int, int, bool>, std::unique_ptr<Font>> fonts_;
    std::map<std::wstring, bool> faces_;
    std::map<std::wstring, std::wstring> families_;
};

}  // namespace Html
