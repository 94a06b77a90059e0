#include "core/FileSystemInfo.h"

#include <windows.h>

#include <string>
#include <vector>

#include "core/Exception.h"
#include "core/UniqueResource.h"
#include "core/Win32Exception.h"

namespace System {
namespace IO {

namespace {

// Length of the root of a full path: "C:\", "\\?\C:\", "\\server\share\", "\\?\UNC\server\share\".
size_t RootLength(const std::wstring& path)
{
    size_t start = 0;
    bool unc = false;
    if (path.compare(0, 4, L"\\\\?\\") == 0 || path.compare(0, 4, L"\\\\.\\") == 0) {
        start = 4;
        if (path.compare(4, 4, L"UNC\\") == 0) {
            start = 8;
            unc = true;
        }
    } else if (path.compare(0, 2, L"\\\\") == 0) {
        start = 2;
        unc = true;
    }
    if (!unc) {
        if (path.size() < start + 2 || path[start + 1] != L':') return start;
        return path.size() > start + 2 && path[start + 2] == L'\\' ? start + 3 : start + 2;
    }
    size_t server = path.find(L'\\', start);
    if (server == std::wstring::npos) return path.size();
    size_t share = path.find(L'\\', server + 1);
    return share == std::wstring::npos ? path.size() : share + 1;
}

String GetFullPath(const String& path)
{
    if (path.IsEmpty()) throw new ArgumentException(L"path: the path is empty.");
    // An extended-length path is full and names each item as written; Wine's GetFullPathNameW
    // would still drop trailing dots and spaces and so name another item.
    if (path.StartsWith(L"\\\\?\\")) {
        std::wstring full = path.GetStdString();
        size_t root = RootLength(full);
        while (full.size() > root && full.back() == L'\\') full.pop_back();
        return String(std::move(full));
    }
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = GetFullPathNameW(path.GetBuffer(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
        if (length == 0)
            Microsoft::Win32::Win32Exception::ThrowLastError(
                String::Format(L"Cannot make a full path of \"%s\"", path.GetBuffer()));
        if (length < buffer.size()) {
            std::wstring full(buffer.data(), length);
            size_t root = RootLength(full);
            while (full.size() > root && full.back() == L'\\') full.pop_back();
            return String(std::move(full));
        }
        buffer.resize(length);
    }
}

}  // namespace

FileSystemInfo::FileSystemInfo(const String& path) : fullPath_(GetFullPath(path)) {}

FileSystemInfo::FileSystemInfo(const String& fullPath, uint32_t attributes, int64_t length)
    : fullPath_(fullPath), loaded_(true), attributes_(attributes), length_(length)
{
}

String FileSystemInfo::GetName() const
{
    const std::wstring& path = fullPath_.GetStdString();
    if (path.size() <= RootLength(path)) return fullPath_;
    return String(path.substr(path.rfind(L'\\') + 1));
}

uint32_t FileSystemInfo::GetAttributes() const
{
    if (!IsPresent()) ThrowNotFound(L"Cannot read the attributes of");
    return attributes_;
}

bool FileSystemInfo::IsReparsePoint() const { return IsPresent() && (attributes_ & FILE_ATTRIBUTE_REPARSE_POINT); }

void FileSystemInfo::Refresh()
{
    loaded_ = false;
    Load();
}

bool FileSystemInfo::IsPresent() const
{
    if (!loaded_) Load();
    return error_ == 0;
}

bool FileSystemInfo::IsDirectory() const { return IsPresent() && (attributes_ & FILE_ATTRIBUTE_DIRECTORY); }

int64_t FileSystemInfo::GetCachedLength() const
{
    if (!loaded_) Load();
    return length_;
}

void FileSystemInfo::ThrowNotFound(const wchar_t* what) const
{
    uint32_t error = IsPresent() ? ERROR_FILE_NOT_FOUND : error_;
    Microsoft::Win32::Win32Exception::Throw(error, String::Format(L"%s \"%s\"", what, fullPath_.GetBuffer()));
}

String FileSystemInfo::GetParentPath(const String& fullPath)
{
    const std::wstring& path = fullPath.GetStdString();
    size_t root = RootLength(path);
    if (path.size() <= root) return String();
    size_t separator = path.rfind(L'\\');
    if (separator == std::wstring::npos || separator < root) return String(path.substr(0, root));
    return String(path.substr(0, separator));
}

String FileSystemInfo::Combine(const String& folder, const String& name)
{
    if (folder.EndsWith(L"\\")) return folder + name;
    return folder + L"\\" + name;
}

void FileSystemInfo::Load() const
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    DWORD error = 0;
    if (GetFileAttributesExW(fullPath_.GetBuffer(), GetFileExInfoStandard, &data)) {
        attributes_ = data.dwFileAttributes;
        length_ = static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    } else {
        error = GetLastError();
        // Files held open by the system (the paging file) refuse the attribute query, but their
        // folder's listing still describes them.
        bool wildcard = fullPath_.IndexOf(L'*') >= 0 || fullPath_.IndexOf(L'?') >= 0;
        if ((error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) && !wildcard) {
            WIN32_FIND_DATAW found;
            UniqueFindHandle find(FindFirstFileW(fullPath_.GetBuffer(), &found));
            if (find) {
                attributes_ = found.dwFileAttributes;
                length_ = static_cast<int64_t>((static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow);
                error = 0;
            }
        }
        if (error) {
            attributes_ = 0;
            length_ = 0;
        }
    }
    error_ = error;
    loaded_ = true;
}

}  // namespace IO
}  // namespace System
