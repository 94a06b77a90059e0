#include "html/ResourceLoader.h"

#include <vector>

#include "core/UniqueResource.h"
#include "core/Win32Exception.h"

namespace Html {

namespace {

bool LoadResource(HMODULE module, LPCWSTR name, std::string& bytes)
{
    HRSRC found = FindResourceW(module, name, MAKEINTRESOURCEW(23));
    if (!found) return false;
    HGLOBAL loaded = ::LoadResource(module, found);
    if (!loaded) Microsoft::Win32::Win32Exception::ThrowLastError(L"LoadResource");
    DWORD size = SizeofResource(module, found);
    const void* data = LockResource(loaded);
    if (!data && size) Microsoft::Win32::Win32Exception::ThrowLastError(L"LockResource");
    bytes.assign(static_cast<const char*>(data), size);
    return true;
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix)
{
    return _wcsnicmp(text.c_str(), prefix, wcslen(prefix)) == 0;
}

}  // namespace

bool ModuleResourceLoader::Load(const std::wstring& path, std::string& bytes)
{
    return LoadResource(module_, path.c_str(), bytes);
}

bool ModuleResourceLoader::LoadPage(UINT id, std::string& bytes) const
{
    return LoadResource(module_, MAKEINTRESOURCEW(id), bytes);
}

bool FileResourceLoader::Load(const std::wstring& path, std::string& bytes)
{
    std::wstring full = folder_;
    if (!full.empty() && full.back() != L'\\' && full.back() != L'/') full += L'\\';
    for (wchar_t c : path) full += c == L'/' ? L'\\' : c;
    return ReadWholeFile(full, bytes);
}

bool ReadWholeFile(const std::wstring& path, std::string& bytes)
{
    System::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return false;
        Microsoft::Win32::Win32Exception::Throw(error, L"Opening " + std::wstring(path));
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size)) Microsoft::Win32::Win32Exception::ThrowLastError(L"GetFileSizeEx");
    bytes.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
        if (!ReadFile(file.Get(), &bytes[done], chunk, &read, nullptr)) {
            Microsoft::Win32::Win32Exception::ThrowLastError(L"Reading " + std::wstring(path));
        }
        if (read == 0) break;
        done += read;
    }
    bytes.resize(done);
    return true;
}

std::wstring ResolveUrl(const std::wstring& base, const std::wstring& reference)
{
    if (StartsWith(reference, L"file:") || reference.find(L"://") != std::wstring::npos) return reference;
    if (reference.size() > 1 && reference[1] == L':') return reference;
    std::wstring combined;
    if (!reference.empty() && reference[0] == L'/') {
        combined = reference.substr(1);
    } else {
        size_t slash = base.find_last_of(L"/\\");
        combined = (slash == std::wstring::npos ? std::wstring() : base.substr(0, slash + 1)) + reference;
    }
    std::vector<std::wstring> parts;
    size_t position = 0;
    while (position <= combined.size()) {
        size_t end = combined.find_first_of(L"/\\", position);
        if (end == std::wstring::npos) end = combined.size();
        std::wstring part = combined.substr(position, end - position);
        if (part == L"..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != L".") {
            parts.push_back(part);
        }
        position = end + 1;
    }
    std::wstring out;
    for (const auto& part : parts) {
        if (!out.empty()) out += L'/';
        out += part;
    }
    return out;
}

bool LoadUrl(ResourceLoader& loader, const std::wstring& url, std::string& bytes)
{
    if (StartsWith(url, L"file:")) {
        std::wstring path = url.substr(5);
        size_t slashes = path.find_first_not_of(L"/\\");
        path.erase(0, slashes == std::wstring::npos ? path.size() : slashes);
        // Without a drive letter the address names a share: file://server/share/file.
        if (!(path.size() >= 2 && path[1] == L':')) path = L"\\\\" + path;
        return ReadWholeFile(path, bytes);
    }
    return loader.Load(url, bytes);
}

}  // namespace Html
