#include "core/FileInfo.h"

#include <windows.h>

#include "core/UniqueResource.h"
#include "core/Win32Exception.h"

namespace System {
namespace IO {

FileInfo::FileInfo(const String& path) : FileSystemInfo(path) {}

FileInfo::FileInfo(const String& fullPath, uint32_t attributes, int64_t length)
    : FileSystemInfo(fullPath, attributes, length)
{
}

bool FileInfo::Exists() const { return IsPresent() && !IsDirectory(); }

int64_t FileInfo::GetLength() const
{
    if (!Exists()) ThrowNotFound(L"Cannot read the length of the file");
    return GetCachedLength();
}

String FileInfo::GetDirectoryName() const { return GetParentPath(GetFullName()); }

namespace {

using Microsoft::Win32::Win32Exception;

String FinalPath(HANDLE handle, const String& path)
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetFinalPathNameByHandleW(handle, &buffer[0], static_cast<DWORD>(buffer.size()), FILE_NAME_NORMALIZED);
        if (length == 0) Win32Exception::ThrowLastError(String::Format(L"Cannot resolve \"%s\"", path.GetBuffer()));
        if (length < buffer.size()) return String(buffer.substr(0, length));
        buffer.resize(length);
    }
}

String FolderFinalPath(const String& folder)
{
    UniqueHandle handle(CreateFileW(folder.GetBuffer(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) Win32Exception::ThrowLastError(String::Format(L"Cannot open the folder \"%s\"", folder.GetBuffer()));
    return FinalPath(handle.Get(), folder);
}

}  // namespace

void FileInfo::Delete()
{
    Invalidate();
    const String& path = GetFullName();
    // The file is deleted through the very handle that was checked, so nothing can swap it meanwhile.
    UniqueHandle file(CreateFileW(path.GetBuffer(), DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) {
        DWORD error = GetLastError();
        // With its folder gone the file is gone too.
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return;
        Win32Exception::Throw(error, String::Format(L"Cannot delete \"%s\"", path.GetBuffer()));
    }
    FILE_BASIC_INFO basic;
    if (!GetFileInformationByHandleEx(file.Get(), FileBasicInfo, &basic, sizeof basic))
        Win32Exception::ThrowLastError(String::Format(L"Cannot read \"%s\"", path.GetBuffer()));
    // A link that shows as one (Windows) is opened as itself above; deleting it leaves its target.
    // Some platforms (Wine) show a link to a file as an ordinary file and resolve it on every open,
    // even this one: its final path then names the target elsewhere, which must not be deleted.
    if (!(basic.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        String ownPlace = Combine(FolderFinalPath(GetDirectoryName()), GetName());
        if (!FinalPath(file.Get(), path).Equals(ownPlace, true)) {
            Win32Exception::Throw(ERROR_NOT_SUPPORTED,
                                  String::Format(L"Cannot delete the file link \"%s\" without its target", path.GetBuffer()));
        }
    }
    FILE_DISPOSITION_INFO disposition = {TRUE};
    if (!SetFileInformationByHandle(file.Get(), FileDispositionInfo, &disposition, sizeof disposition))
        Win32Exception::ThrowLastError(String::Format(L"Cannot delete \"%s\"", path.GetBuffer()));
}

}  // namespace IO
}  // namespace System
