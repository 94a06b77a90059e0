#include "html/FontCache.h"

#include <cwctype>

#include "core/UniqueResource.h"
#include "core/Win32Exception.h"

namespace Html {

namespace {

int CALLBACK FoundFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

std::wstring Generic(const std::wstring& name)
{
    if (name == L"serif") return L"Times New Roman";
    if (name == L"sans-serif") return L"Arial";
    if (name == L"monospace") return L"Courier New";
    if (name == L"cursive" || name == L"fantasy") return L"Comic Sans MS";
    return std::wstring();
}

}  // namespace

FontCache::FontCache() : dc_(CreateCompatibleDC(nullptr))
{
    if (!dc_) Microsoft::Win32::Win32Exception::ThrowLastError(L"CreateCompatibleDC for text measurement");
}

FontCache::~FontCache()
{
    for (auto& entry : fonts_) DeleteObject(entry.second->handle);
    DeleteDC(dc_);
}

bool FontCache::FaceExists(const std::wstring& face)
{
    auto known = faces_.find(face);
    if (known != faces_.end()) return known->second;
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(query.lfFaceName, face.c_str(), LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExW(dc_, &query, FoundFace, reinterpret_cast<LPARAM>(&found), 0);
    if (!found) {
        // Faces the system maps to another one (돋움 to an installed Korean face) count as present.
        System::UniqueRegistryKey key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes", 0,
                          KEY_QUERY_VALUE, key.Receive()) == ERROR_SUCCESS) {
            found = RegQueryValueExW(key.Get(), face.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
        }
    }
    faces_[face] = found;
    return found;
}

std::wstring FontCache::PickFace(const std::wstring& families)
{
    auto known = families_.find(families);
    if (known != families_.end()) return known->second;
    std::wstring first;
    std::wstring chosen;
    size_t position = 0;
    while (position <= families.size() && chosen.empty()) {
        size_t comma = families.find(L',', position);
        if (comma == std::wstring::npos) comma = families.size();
        std::wstring name = families.substr(position, comma - position);
        size_t begin = name.find_first_not_of(L" \t\"'");
        size_t end = name.find_last_not_of(L" \t\"'");
        name = begin == std::wstring::npos ? std::wstring() : name.substr(begin, end - begin + 1);
        position = comma + 1;
        if (name.empty()) continue;
        std::wstring lower = name;
        for (wchar_t& c : lower) c = static_cast<wchar_t>(towlower(c));
        std::wstring generic = Generic(lower);
        std::wstring face = generic.empty() ? name : generic;
        if (first.empty()) first = face;
        if (!generic.empty() || FaceExists(face)) chosen = face;
    }
    if (chosen.empty()) chosen = first.empty() ? L"Times New Roman" : first;
    families_[families] = chosen;
    return chosen;
}

const Font* FontCache::Get(const std::wstring& families, int size, int weight, bool italic)
{
    std::wstring face = PickFace(families);
    auto key = std::make_tuple(face, size, weight, italic);
    auto found = fonts_.find(key);
    if (found != fonts_.end()) return found->second.get();

    LOGFONTW description{};
    description.lfHeight = -size;
    description.lfWeight = weight;
    description.lfItalic = italic ? TRUE : FALSE;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfQuality = ANTIALIASED_QUALITY;
    lstrcpynW(description.lfFaceName, face.c_str(), LF_FACESIZE);
    auto font = std::make_unique<Font>();
    font->handle = CreateFontIndirectW(&description);
    if (!font->handle) Microsoft::Win32::Win32Exception::ThrowLastError(L"CreateFontIndirect " + face);
    font->face = face;
    HGDIOBJ previous = SelectObject(dc_, font->handle);
    TEXTMETRICW metrics{};
    if (!GetTextMetricsW(dc_, &metrics)) {
        SelectObject(dc_, previous);
        DeleteObject(font->handle);
        Microsoft::Win32::Win32Exception::ThrowLastError(L"GetTextMetrics " + face);
    }
    font->ascent = metrics.tmAscent;
    font->descent = metrics.tmDescent;
    font->lineGap = metrics.tmExternalLeading;
    font->averageWidth = metrics.tmAveCharWidth;
    GLYPHMETRICS glyph{};
    MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    font->xHeight = GetGlyphOutlineW(dc_, L'x', GGO_METRICS, &glyph, 0, nullptr, &identity) != GDI_ERROR
                        ? static_cast<int>(glyph.gmptGlyphOrigin.y)
                        : font->ascent / 2;
    SelectObject(dc_, previous);
    const Font* result = font.get();
    fonts_.emplace(key, std::move(font));
    return result;
}

void FontCache::Measure(const Font* font, const std::wstring& text, std::vector<int>& ends)
{
    ends.assign(text.size(), 0);
    if (text.empty()) return;
    HGDIOBJ previous = SelectObject(dc_, font->handle);
    SIZE size;
    BOOL measured = GetTextExtentExPointW(dc_, text.c_str(), static_cast<int>(text.size()), 0, nullptr, ends.data(), &size);
    SelectObject(dc_, previous);
    if (!measured) Microsoft::Win32::Win32Exception::ThrowLastError(L"GetTextExtentExPoint");
}

}  // namespace Html
